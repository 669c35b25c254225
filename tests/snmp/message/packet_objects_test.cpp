// Varbinds, varbind lists, PDUs, packets and the owning lists: ownership,
// copies, equality and the error record.
#include <gtest/gtest.h>

#include "codec_fixtures.h"
#include "snmp/message/owning_list.h"

namespace orv {
namespace {

using namespace orv::testing;

std::vector<int32_t> statuses(IQesVarBindList* list) {
  std::vector<int32_t> s;
  for (uint32_t i = 0; i < list->count(); ++i) s.push_back(list->at(i)->status());
  return s;
}

std::vector<std::string> names(IQesVarBindList* list) {
  std::vector<std::string> n;
  for (uint32_t i = 0; i < list->count(); ++i) n.push_back(list->at(i)->oid()->text());
  return n;
}

VarBindListPtr list_of(std::initializer_list<const char*> oids) {
  VarBindListPtr list(qes_create_var_bind_list());
  for (const char* o : oids) EXPECT_EQ(list->append_new(oid(o), int_value(1)), kOk);
  return list;
}

TEST(VarBind, InitPutsNullWhereTheValueIsMissingAndDetachHandsBothOut) {
  VarBindPtr vb(qes_create_var_bind());
  ASSERT_EQ(vb->init(oid("1.3.6"), nullptr), kOk);
  ASSERT_NE(vb->value(), nullptr);
  EXPECT_EQ(vb->value()->kind(), kSmiNull);
  IQelOid* o = nullptr;
  vb->detach(&o, nullptr);  // the value has no place and is destroyed
  OidPtr owned(o);
  EXPECT_STREQ(owned->text(), "1.3.6");
  EXPECT_EQ(vb->oid(), nullptr);
  EXPECT_EQ(vb->value(), nullptr);
  EXPECT_EQ(vb->set_value(nullptr), kErrInvalidArg);
}

TEST(VarBind, CloneAndEqualsCoverIdentifierValueAndStatus) {
  VarBindPtr vb(qes_create_var_bind());
  vb->init(oid("1.3.6.1"), text_value("x"));
  VarBindPtr copy(vb->clone());
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->equals(vb.get()));
  EXPECT_NE(copy->value(), vb->value());
  copy->set_status(100);
  EXPECT_FALSE(copy->equals(vb.get()));
  copy->set_status(0);
  copy->set_oid(nullptr);
  EXPECT_FALSE(copy->equals(vb.get()));
  vb->set_oid(nullptr);
  EXPECT_TRUE(copy->equals(vb.get()));  // both identifiers missing
}

TEST(VarBindList, AddsRemovesAndTakesApart) {
  VarBindListPtr list = list_of({"1.1", "1.2"});
  SmiValuePtr refused(int_value(1));  // a refused value stays with the caller
  EXPECT_EQ(list->append_new(nullptr, refused.get()), kErrInvalidArg);
  EXPECT_EQ(list->append(nullptr), kErrInvalidArg);
  ASSERT_EQ(list->insert_new_front(oid("1.0"), nullptr), kOk);
  EXPECT_EQ(names(list.get()), (std::vector<std::string>{"1.0", "1.1", "1.2"}));
  EXPECT_EQ(list->remove_at(3), kErrInvalidArg);
  IQesVarBind* out = nullptr;
  ASSERT_EQ(list->remove_at(1, &out), kOk);
  VarBindPtr removed(out);
  EXPECT_STREQ(removed->oid()->text(), "1.1");
  IQelOid* o = nullptr;
  IQelSmiValue* v = nullptr;
  ASSERT_EQ(list->take_first_apart(&o, &v), kOk);
  OidPtr first_oid(o);
  SmiValuePtr first_value(v);
  EXPECT_STREQ(first_oid->text(), "1.0");
  EXPECT_EQ(first_value->kind(), kSmiNull);
  VarBindPtr last(list->remove_first());
  EXPECT_STREQ(last->oid()->text(), "1.2");
  EXPECT_EQ(list->remove_first(), nullptr);
  EXPECT_EQ(list->take_first_apart(nullptr, nullptr), kErrNoValue);
  EXPECT_EQ(list->at(0), nullptr);
}

TEST(VarBindList, CopyRangeAndSplitFront) {
  VarBindListPtr list = list_of({"1.1", "1.2", "1.3", "1.4"});
  Result rc = kOk;
  VarBindListPtr tail(list->copy_range(2, 10, &rc));
  ASSERT_EQ(rc, kOk);
  EXPECT_EQ(names(tail.get()), (std::vector<std::string>{"1.3", "1.4"}));
  EXPECT_EQ(list->copy_range(4, 1, &rc), nullptr);
  EXPECT_EQ(rc, kErrInvalidArg);
  VarBindListPtr front(list->split_front(3, &rc));
  EXPECT_EQ(names(front.get()), (std::vector<std::string>{"1.1", "1.2", "1.3"}));
  EXPECT_EQ(names(list.get()), (std::vector<std::string>{"1.4"}));
  VarBindListPtr rest(list->split_front(9, &rc));
  EXPECT_EQ(rest->count(), 1u);
  EXPECT_EQ(list->count(), 0u);
  VarBindListPtr empty_clone(list->clone(&rc));
  ASSERT_TRUE(empty_clone);
  EXPECT_TRUE(empty_clone->equals(list.get()));
}

TEST(VarBindList, RecordErrorMarksTheFailingBindingAndTheOthers) {
  VarBindListPtr list = list_of({"1.1", "1.2", "1.3", "1.4"});
  list->record_error(2, 3);
  EXPECT_EQ(statuses(list.get()), (std::vector<int32_t>{100, 100, 2, 100}));
  list->record_error(5, 0);
  EXPECT_EQ(statuses(list.get()), (std::vector<int32_t>{100, 100, 100, 100}));
  list->set_all_status(0);
  EXPECT_EQ(statuses(list.get()), (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(Pdu, ClearSetsErrorStatusToMinusOne) {
  PduPtr pdu = make_pdu(kPduGetRequest, 5, 2, 1);
  pdu->append_new(oid("1.3"), nullptr);
  pdu->clear();
  EXPECT_EQ(pdu->type(), kPduUnset);
  EXPECT_EQ(pdu->error_status(), -1);
  EXPECT_EQ(pdu->error_index(), 0);
  EXPECT_EQ(pdu->var_bind_list(), nullptr);
  EXPECT_EQ(pdu->take_first_apart(nullptr, nullptr), kErrNoValue);
  EXPECT_EQ(pdu->remove_first(), nullptr);
}

TEST(Pdu, TimeStampAndTrapOidMustBeOfTheirKind) {
  PduPtr pdu = make_pdu(kPduTrap);
  ASSERT_EQ(pdu->set_time_stamp(uint_value(kSmiTimeTicks, 5)), kOk);
  SmiValuePtr counter(uint_value(kSmiCounter32, 9));
  EXPECT_EQ(pdu->set_time_stamp(counter.get()), kErrInvalidArg);
  EXPECT_EQ(pdu->time_stamp()->get_uint32(), 5u);
  SmiValuePtr not_oid(int_value(1));
  EXPECT_EQ(pdu->set_trap_oid(not_oid.get()), kErrInvalidArg);
  EXPECT_EQ(pdu->trap_oid(), nullptr);
  ASSERT_EQ(pdu->set_trap_oid(oid("1.3.6.1.4.1.9.0.1")), kOk);
  SmiValuePtr stamp(pdu->detach_time_stamp());
  EXPECT_EQ(pdu->time_stamp(), nullptr);
}

TEST(Pdu, CloneEqualsAndCopyHeader) {
  PduPtr pdu = make_pdu(kPduGetRequest, 5);
  pdu->append_new(oid("1.3.6"), int_value(3));
  PduPtr copy(pdu->clone());
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->equals(pdu.get()));
  EXPECT_NE(copy->var_bind_list(), pdu->var_bind_list());
  copy->set_request_id(6);
  EXPECT_FALSE(copy->equals(pdu.get()));

  PduPtr trap = make_pdu(kPduTrap, 1);
  trap->set_time_stamp(uint_value(kSmiTimeTicks, 5));
  trap->set_trap_oid(oid("1.3.6.1.4.1.9.0.1"));
  PduPtr other = make_pdu(kPduGetRequest);
  other->append_new(oid("1.9"), nullptr);
  ASSERT_EQ(other->copy_header_from(trap.get()), kOk);
  EXPECT_EQ(other->type(), kPduTrap);
  EXPECT_STREQ(other->trap_oid()->text(), "1.3.6.1.4.1.9.0.1");
  EXPECT_EQ(other->var_bind_list()->count(), 1u);  // the list is not touched
  other->set_request_id(99);                        // traps compare without it
  other->set_var_bind_list(nullptr);
  trap->set_var_bind_list(nullptr);
  EXPECT_TRUE(other->equals(trap.get()));
  PduPtr unset_a = make_pdu(kPduUnset), unset_b = make_pdu(kPduUnset);
  EXPECT_FALSE(unset_a->equals(unset_b.get()));
}

TEST(SnmpPacket, SettersTakeOwnershipAndDetachGivesItBack) {
  SnmpPacketPtr packet(qes_create_snmp_packet());
  packet->set_pdu(make_pdu(kPduGetRequest, 4).release());
  packet->set_target(make_target(kSnmpV1, "public").release());
  SnmpPacketPtr copy(packet->clone());
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->equals(packet.get()));
  as_community_target(copy->target())->set_community("other");
  EXPECT_FALSE(copy->equals(packet.get()));
  PduPtr pdu(packet->detach_pdu());
  EXPECT_EQ(packet->pdu(), nullptr);
  EXPECT_EQ(pdu->request_id(), 4);
}

TEST(OwningList, PositionsWalkEraseAndSurviveRemovals) {
  PduListPtr list(qes_create_pdu_list());
  EXPECT_EQ(list->add_back(nullptr), kErrInvalidArg);
  for (int32_t id : {1, 2, 3}) ASSERT_EQ(list->add_back(make_pdu(kPduResponse, id).release()), kOk);
  ASSERT_EQ(list->add_front(make_pdu(kPduResponse, 0).release()), kOk);
  EXPECT_EQ(list->count(), 4u);
  EXPECT_EQ(list->at(2)->request_id(), 2);
  EXPECT_EQ(list->at(4), nullptr);

  IQesListPosition* pos = list->new_position();
  std::vector<int32_t> seen;
  for (; list->element(pos); list->advance(pos)) seen.push_back(list->element(pos)->request_id());
  EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(list->advance(pos), kErrNoValue);

  list->move_first(pos);
  list->advance(pos);
  ASSERT_EQ(list->erase(pos), kOk);  // erases 1, stands on 2
  EXPECT_EQ(list->element(pos)->request_id(), 2);
  PduPtr last(list->remove_last());
  EXPECT_EQ(last->request_id(), 3);
  PduPtr first(list->remove_first());
  EXPECT_EQ(first->request_id(), 0);
  EXPECT_EQ(list->element(pos)->request_id(), 2);
  PduPtr two(list->remove_first());  // the position moves off the removed element
  EXPECT_EQ(list->element(pos), nullptr);
  list->release_position(pos);
  EXPECT_EQ(list->list(), list.get());
}

TEST(OwningList, PacketListReleasesWhatItHolds) {
  SnmpPacketListPtr list(qes_create_snmp_packet_list());
  for (int i = 0; i < 3; ++i) {
    SnmpPacketPtr packet(qes_create_snmp_packet());
    packet->set_pdu(make_pdu(kPduResponse, i).release());
    ASSERT_EQ(list->add_back(packet.release()), kOk);
  }
  list->new_position();  // left for the list to release
  EXPECT_EQ(list->count(), 3u);
  EXPECT_EQ(list->at(1)->pdu()->request_id(), 1);
  list->remove_all();
  EXPECT_EQ(list->count(), 0u);
}

}  // namespace
}  // namespace orv
