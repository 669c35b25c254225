#include <gtest/gtest.h>

#include <vector>

#include "smi_test_support.h"
#include "snmp/smi/value_visitor.h"

namespace orv::test {
namespace {

const uint32_t kAllKinds[] = {kSmiInteger,      kSmiOctetString,    kSmiNull,          kSmiOid,
                              kSmiIpAddress,    kSmiCounter32,      kSmiGauge32,       kSmiTimeTicks,
                              kSmiOpaque,       kSmiCounter64,      kSmiIpv6Address,   kSmiNoSuchObject,
                              kSmiNoSuchInstance, kSmiEndOfMibView, kSmiIpv4PortAddress, kSmiIpxAddress};

// Notes the operation number each value calls.
class RecordingVisitor : public IQesValueVisitor {
 public:
  Result visit_oid(IQelOid*) override { return note(1); }
  Result visit_octet_string(IQelSmiValue*) override { return note(2); }
  Result visit_integer(IQelSmiValue*) override { return note(3); }
  Result visit_null(IQelSmiValue*) override { return note(4); }
  Result visit_counter32(IQelSmiValue*) override { return note(5); }
  Result visit_gauge32(IQelSmiValue*) override { return note(6); }
  Result visit_timeticks(IQelSmiValue*) override { return note(7); }
  Result visit_counter64(IQelSmiValue*) override { return note(8); }
  Result visit_ip_address(IQelSmiValue*) override { return note(9); }
  Result visit_ipv6_address(IQelSmiValue*) override { return note(10); }
  Result visit_ipv4_port_address(IQelSmiValue*) override { return note(11); }
  Result visit_ipx_address(IQelSmiValue*) override { return note(12); }
  Result visit_exception(IQelSmiValue*) override { return note(13); }
  int last = 0;

 private:
  Result note(int operation) {
    last = operation;
    return 100 + operation;  // passed back unchanged by accept
  }
};

TEST(SmiFactory, CreatesEveryKindAndRefusesOthers) {
  for (uint32_t kind : kAllKinds) {
    auto value = make_value(kind);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind(), kind);
    EXPECT_EQ(value->flags(), 0u);
    EXPECT_TRUE(value->is_valid());
  }
  for (uint32_t kind : {0u, 1u, 3u, 7u, 69u, 71u, 131u, 65281u, 65284u}) {
    Result status = kOk;
    EXPECT_EQ(create_smi_value(kind, &status), nullptr);
    EXPECT_EQ(status, kErrInvalidArg) << kind;
  }
}

TEST(SmiFactory, HelpersSetTheContent) {
  Result status = -99;
  SmiValuePtr integer(create_smi_value_int32(kSmiInteger, 1414, &status));
  ASSERT_TRUE(integer);
  EXPECT_EQ(integer->get_int32(nullptr), 1414);
  SmiValuePtr ticks(create_smi_value_uint32(kSmiTimeTicks, 123, &status));
  ASSERT_TRUE(ticks);
  EXPECT_EQ(ticks->get_uint32(nullptr), 123u);
  SmiValuePtr address(create_smi_value_text(kSmiIpAddress, "10.1.2.3", &status));
  ASSERT_TRUE(address);
  EXPECT_EQ(text_of(address.get()), "10.1.2.3");

  // A setter the kind refuses, a null text and an invalid OID give no object.
  EXPECT_EQ(create_smi_value_int32(kSmiGauge32, 1, &status), nullptr);
  EXPECT_EQ(status, kErrNotSupported);
  EXPECT_EQ(create_smi_value_text(kSmiOctetString, nullptr, &status), nullptr);
  EXPECT_EQ(status, kErrInvalidArg);
  EXPECT_EQ(create_smi_value_text(kSmiOid, "1.3.", &status), nullptr);
  EXPECT_EQ(status, kErrInvalidArg);
  EXPECT_EQ(create_oid_from_text("01.3", &status), nullptr);
  EXPECT_EQ(status, kErrInvalidArg);
  EXPECT_EQ(create_oid_from_text(nullptr, &status), nullptr);
  EXPECT_EQ(status, kErrInvalidArg);
  SmiValuePtr oid(create_smi_value_text(kSmiOid, "1.3.6", &status));
  ASSERT_TRUE(oid);
  EXPECT_EQ(oid->length(), 3u);
}

TEST(SmiValue, AcceptCallsTheOperationOfItsKind) {
  const std::vector<std::pair<uint32_t, int>> expected = {
      {kSmiOid, 1},          {kSmiOctetString, 2},    {kSmiOpaque, 2},          {kSmiInteger, 3},
      {kSmiNull, 4},         {kSmiCounter32, 5},      {kSmiGauge32, 6},         {kSmiTimeTicks, 7},
      {kSmiCounter64, 8},    {kSmiIpAddress, 9},      {kSmiIpv6Address, 10},    {kSmiIpv4PortAddress, 11},
      {kSmiIpxAddress, 12},  {kSmiNoSuchObject, 13},  {kSmiNoSuchInstance, 13}, {kSmiEndOfMibView, 13}};
  for (const auto& [kind, operation] : expected) {
    auto value = make_value(kind);
    RecordingVisitor visitor;
    EXPECT_EQ(value->accept(&visitor), 100 + operation) << kind;
    EXPECT_EQ(visitor.last, operation) << kind;
    EXPECT_EQ(value->accept(nullptr), kErrInvalidArg);
  }
}

TEST(SmiValue, UnsupportedOperationsAnswerAlike) {
  for (uint32_t kind : kAllKinds) {
    SCOPED_TRACE(kind);
    auto value = make_value(kind);
    EXPECT_EQ(value->reserved(), kErrNotSupported);
    if (kind != kSmiCounter64) {
      Result status = kOk;
      EXPECT_EQ(value->get_low32(&status), 0xFFFFFFFFu);
      EXPECT_EQ(status, kErrNotSupported);
      EXPECT_EQ(value->set_low32(1), kErrNotSupported);
    }
    if (kind != kSmiInteger) {
      Result status = kOk;
      EXPECT_EQ(value->get_int32(&status), -1);
      EXPECT_EQ(status, kErrNotSupported);
      EXPECT_EQ(value->get_int32(nullptr), -1);  // no status wanted
    }
    if (kind != kSmiIpv4PortAddress && kind != kSmiIpxAddress) {
      Result status = kOk;
      EXPECT_EQ(value->get_uint16(&status), 0xFFFF);
      EXPECT_EQ(status, kErrNotSupported);
    }
  }
}

TEST(SmiValue, QueryGivesTheInterfacesAsked) {
  auto text = make_value(kSmiIpAddress);
  void* out = nullptr;
  EXPECT_EQ(text->query(kQuerySmiValue, &out), kOk);
  EXPECT_EQ(out, static_cast<void*>(text.get()));
  EXPECT_EQ(text->query(kQueryKindBase | kSmiOctetString, &out), kOk);  // derived from OCTET STRING
  EXPECT_NE(out, nullptr);
  EXPECT_EQ(text->query(kQueryKindBase | kSmiIpAddress, &out), kOk);
  EXPECT_EQ(text->query(kQueryKindBase | kSmiInteger, &out), kErrNoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(text->query(kQueryObject, &out), kOk);
  EXPECT_NE(out, nullptr);
  EXPECT_EQ(text->query(0x1234, &out), kErrNoInterface);

  auto integer = make_value(kSmiInteger);
  EXPECT_EQ(integer->query(0xF0000002u, &out), kOk);
  EXPECT_EQ(integer->query(0xF0000004u, &out), kErrNoInterface);

  auto oid = make_value(kSmiOid);
  IQelOid* as = as_oid(oid.get());
  ASSERT_NE(as, nullptr);
  EXPECT_EQ(as->append_text("1.3"), kOk);
  EXPECT_EQ(text_of(oid.get()), "1.3");
  EXPECT_EQ(as_oid(integer.get()), nullptr);
}

// One value of each kind with content that differs from the initial one.
SmiValuePtr sample(uint32_t kind) {
  auto value = make_value(kind);
  switch (kind) {
    case kSmiInteger: value->set_int32(-7); break;
    case kSmiOctetString: case kSmiOpaque: value->set_text("job-42"); break;
    case kSmiOid: value->set_text("1.3.6.1.2.1.1.2.0"); break;
    case kSmiIpAddress: value->set_text("172.16.0.9"); break;
    case kSmiCounter32: case kSmiGauge32: case kSmiTimeTicks: value->set_uint32(99); break;
    case kSmiCounter64: value->set_high32(3); value->set_low32(4); break;
    case kSmiIpv6Address: value->set_text("2001:db8:0:0:0:0:0:1"); break;
    case kSmiIpv4PortAddress: value->set_text("172.16.0.9/161"); break;
    case kSmiIpxAddress: value->set_text("00000001:000000000001/8f0f"); break;
    default: break;
  }
  return value;
}

TEST(SmiValue, CloneAssignAndEqualsStayWithinAKind) {
  for (uint32_t kind : kAllKinds) {
    SCOPED_TRACE(kind);
    auto value = sample(kind);
    Result status = -99;
    SmiValuePtr copy(value->clone(&status));
    ASSERT_TRUE(copy);
    EXPECT_EQ(status, kOk);
    EXPECT_EQ(copy->kind(), kind);
    EXPECT_TRUE(copy->equals(value.get()));
    EXPECT_TRUE(value->equals(copy.get()));

    auto fresh = make_value(kind);
    const bool has_content =
        kind != kSmiNull && kind != kSmiNoSuchObject && kind != kSmiNoSuchInstance && kind != kSmiEndOfMibView;
    EXPECT_EQ(fresh->equals(value.get()), !has_content);
    EXPECT_EQ(fresh->assign(value.get()), kOk);
    EXPECT_TRUE(fresh->equals(value.get()));
    if (has_content) {
      fresh->clear();
      EXPECT_FALSE(fresh->equals(value.get()));
    }
    EXPECT_EQ(fresh->assign(nullptr), kErrInvalidArg);
    EXPECT_FALSE(fresh->equals(nullptr));

    // No other kind is equal or assignable, even with the same class.
    for (uint32_t other_kind : kAllKinds) {
      if (other_kind == kind) continue;
      auto other = sample(other_kind);
      EXPECT_FALSE(value->equals(other.get())) << other_kind;
      EXPECT_EQ(value->assign(other.get()), kErrInvalidArg) << other_kind;
    }
    EXPECT_TRUE(copy->equals(value.get()));  // refused assigns left it alone
  }
}

TEST(SmiValue, PortAndSocketTakePartInEquality) {
  auto a = sample(kSmiIpv4PortAddress);
  auto b = sample(kSmiIpv4PortAddress);
  ASSERT_EQ(b->set_uint16(162), kOk);
  EXPECT_FALSE(a->equals(b.get()));
  auto x = sample(kSmiIpxAddress);
  auto y = sample(kSmiIpxAddress);
  ASSERT_EQ(y->set_uint16(1), kOk);
  EXPECT_FALSE(x->equals(y.get()));
  EXPECT_EQ(x->assign(y.get()), kOk);
  EXPECT_EQ(x->get_uint16(nullptr), 1);
}

}  // namespace
}  // namespace orv::test
