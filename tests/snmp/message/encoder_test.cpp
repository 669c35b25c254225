// The encoder byte for byte: integer, Counter64, OID and length forms, the
// message layout, SNMPv1 Trap fields and the overflow rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "codec_fixtures.h"
#include "snmp/message/snmp_encoder.h"

namespace orv {
namespace {

using namespace orv::testing;

// The TLV a value encodes to, taken from a one-varbind GetResponse.
Bytes value_tlv(IQelSmiValue* value) {
  PduPtr pdu = make_pdu(kPduResponse);
  EXPECT_EQ(pdu->append_new(oid("1.3"), value), kOk);
  SnmpTargetPtr target = make_target(kSnmpV1, "");
  Bytes msg;
  EXPECT_EQ(encode(pdu.get(), target.get(), &msg), kOk);
  // The value follows the varbind's identifier 06 01 2B and ends the message.
  const Bytes name = {0x06, 0x01, 0x2B};
  auto at = std::search(msg.begin(), msg.end(), name.begin(), name.end());
  EXPECT_NE(at, msg.end());
  return at == msg.end() ? Bytes{} : Bytes(at + 3, msg.end());
}

TEST(Encoder, IntegerAndUnsignedKindsUseTheirMinimalForms) {
  EXPECT_EQ(value_tlv(int_value(-129)), (Bytes{0x02, 0x02, 0xFF, 0x7F}));
  EXPECT_EQ(value_tlv(int_value(0)), (Bytes{0x02, 0x01, 0x00}));
  EXPECT_EQ(value_tlv(int_value(INT32_MIN)), (Bytes{0x02, 0x04, 0x80, 0x00, 0x00, 0x00}));
  EXPECT_EQ(value_tlv(uint_value(kSmiGauge32, 128)), (Bytes{0x42, 0x02, 0x00, 0x80}));
  EXPECT_EQ(value_tlv(uint_value(kSmiCounter32, 0xFFFFFFFF)), (Bytes{0x41, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(value_tlv(uint_value(kSmiTimeTicks, 127)), (Bytes{0x43, 0x01, 0x7F}));
  EXPECT_EQ(value_tlv(counter64(1, 0)), (Bytes{0x46, 0x05, 0x01, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(value_tlv(counter64(0, 0x80)), (Bytes{0x46, 0x02, 0x00, 0x80}));
}

TEST(Encoder, OctetKindsAndEmptyKindsCarryTheirOwnTags) {
  EXPECT_EQ(value_tlv(text_value("ab")), (Bytes{0x04, 0x02, 'a', 'b'}));
  EXPECT_EQ(value_tlv(bytes_value(kSmiOpaque, {9})), (Bytes{0x44, 0x01, 9}));
  EXPECT_EQ(value_tlv(bytes_value(kSmiIpAddress, {10, 0, 0, 1})), (Bytes{0x40, 0x04, 10, 0, 0, 1}));
  EXPECT_EQ(value_tlv(value_of(kSmiNull)), (Bytes{0x05, 0x00}));
  EXPECT_EQ(value_tlv(value_of(kSmiNoSuchObject)), (Bytes{0x80, 0x00}));
  EXPECT_EQ(value_tlv(value_of(kSmiEndOfMibView)), (Bytes{0x82, 0x00}));
  EXPECT_EQ(value_tlv(create_smi_value_text(kSmiOid, "1.3.6.1.4.1.311")),
            (Bytes{0x06, 0x07, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37}));
  Bytes v6(16, 0);
  v6[15] = 1;
  Bytes tlv = value_tlv(bytes_value(kSmiIpv6Address, v6));
  EXPECT_EQ(Bytes(tlv.begin(), tlv.begin() + 2), (Bytes{0x48, 0x10}));
}

TEST(Encoder, LongLengthsTakeTheLongForm) {
  std::string s200(200, 'x');
  Bytes tlv = value_tlv(text_value(s200.c_str()));
  EXPECT_EQ(Bytes(tlv.begin(), tlv.begin() + 3), (Bytes{0x04, 0x81, 0xC8}));
  std::string s300(300, 'y');
  tlv = value_tlv(text_value(s300.c_str()));
  EXPECT_EQ(Bytes(tlv.begin(), tlv.begin() + 4), (Bytes{0x04, 0x82, 0x01, 0x2C}));
}

TEST(Encoder, MessageLayoutOfAGetRequest) {
  PduPtr pdu = make_pdu(kPduGetRequest, 0x1234);
  ASSERT_EQ(pdu->append_new(oid("1.3.6.1.2.1.1.2.0"), nullptr), kOk);
  SnmpTargetPtr target = make_target(kSnmpV2c, "public");
  Bytes msg;
  ASSERT_EQ(encode(pdu.get(), target.get(), &msg), kOk);
  const Bytes expected = {0x30, 0x27, 0x02, 0x01, 0x01, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',  'c',  0xA0,
                          0x1A, 0x02, 0x02, 0x12, 0x34, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30,
                          0x0C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x02, 0x00, 0x05, 0x00};
  EXPECT_EQ(msg, expected);
}

TEST(Encoder, AMissingListIsEncodedEmptyAndAttached) {
  PduPtr pdu = make_pdu(kPduGetRequest, 1);
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes msg;
  ASSERT_EQ(encode(pdu.get(), target.get(), &msg), kOk);
  EXPECT_EQ(Bytes(msg.end() - 2, msg.end()), (Bytes{0x30, 0x00}));
  ASSERT_NE(pdu->var_bind_list(), nullptr);
  EXPECT_EQ(pdu->var_bind_list()->count(), 0u);
}

TEST(Encoder, OidRulesForEmptyOneArcAndUnencodableFirstArcs) {
  EXPECT_EQ(value_tlv(create_smi_value(kSmiOid)), (Bytes{0x06, 0x00}));
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes msg;
  {
    SnmpLogCapture log;
    PduPtr pdu = make_pdu(kPduGetRequest);
    pdu->append_new(oid("1"), nullptr);
    EXPECT_EQ(encode(pdu.get(), target.get(), &msg), kErrInvalidArg);
    EXPECT_TRUE(log.has("Error", "encode error:oid size is 1.")) << log.text();
  }
  struct Refused {
    const char* text;
    std::string line;
  };
  const std::string first_arcs = "encode error: first arcs of oid ";
  for (const Refused& bad : {Refused{"3.1", first_arcs + "3.1 can't be encoded."},
                             Refused{"1.40", first_arcs + "1.40 can't be encoded."},
                             Refused{"0.99", first_arcs + "0.99 can't be encoded."},
                             Refused{"2.4294967295", first_arcs + "2.4294967295 can't be encoded."},
                             Refused{"1.3.six.1", "encode error: oid 1.3.six.1 is not numeric."},
                             Refused{"1.3.", "encode error: oid 1.3. is not numeric."},
                             Refused{"1.3.4294967296", "encode error: oid 1.3.4294967296 is not numeric."}}) {
    SnmpLogCapture log;
    PduPtr pdu = make_pdu(kPduGetRequest);
    IQelOid* name = as_oid(create_smi_value(kSmiOid));  // its text is taken unchecked
    ASSERT_EQ(name->set_text(bad.text), kOk);
    pdu->append_new(name, nullptr);
    EXPECT_EQ(encode(pdu.get(), target.get(), &msg), kErrInvalidArg) << bad.text;
    EXPECT_TRUE(log.has("Error", bad.line)) << bad.text << "\n" << log.text();
  }
  PduPtr pdu = make_pdu(kPduGetRequest);
  pdu->append_new(oid("2.999.3"), nullptr);  // 2.x may exceed 39
  ASSERT_EQ(encode(pdu.get(), target.get(), &msg), kOk);
  EXPECT_EQ(Bytes(msg.end() - 7, msg.end()), (Bytes{0x06, 0x03, 0x88, 0x37, 0x03, 0x05, 0x00}));
}

TEST(Encoder, InternalAddressKindsAndSnmpV2TrapsAreNotSupported) {
  SnmpTargetPtr target = make_target(kSnmpV2c, "c");
  Bytes msg;
  for (uint32_t kind : {kSmiIpv4PortAddress, kSmiIpxAddress}) {
    PduPtr pdu = make_pdu(kPduGetRequest);
    pdu->append_new(oid("1.3"), value_of(kind));
    EXPECT_EQ(encode(pdu.get(), target.get(), &msg), kErrNotSupported) << kind;
  }
  PduPtr trap = make_pdu(kPduTrap);
  trap->set_time_stamp(uint_value(kSmiTimeTicks, 5));
  trap->set_trap_oid(oid("1.3.6.1.4.1.9.0.1"));
  EXPECT_EQ(encode(trap.get(), target.get(), &msg), kErrNotSupported);
}

TEST(Encoder, RefusesWhatCannotBeAMessage) {
  Bytes msg;
  SnmpTargetPtr v3(qes_create_snmpv3_target());
  PduPtr pdu = make_pdu(kPduGetRequest);
  EXPECT_EQ(encode(pdu.get(), v3.get(), &msg), kErrNotSupported);
  SnmpTargetPtr unset = make_target(kSnmpVersionUnset, "c");
  EXPECT_EQ(encode(pdu.get(), unset.get(), &msg), kErrInvalidArg);
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  PduPtr untyped = make_pdu(kPduUnset);
  EXPECT_EQ(encode(untyped.get(), target.get(), &msg), kErrInvalidArg);
  EXPECT_EQ(encode(nullptr, target.get(), &msg), kErrInvalidArg);
  EXPECT_EQ(encode(pdu.get(), nullptr, &msg), kErrInvalidArg);
}

TEST(Encoder, TrapV1FieldsFromAStandardTrapOid) {
  PduPtr trap = make_pdu(kPduTrap);
  trap->set_time_stamp(uint_value(kSmiTimeTicks, 300));
  trap->set_trap_oid(oid("1.3.6.1.6.3.1.1.5.0.1"));
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes msg;
  ASSERT_EQ(encode(trap.get(), target.get(), &msg), kOk);
  const Bytes body = {0xA4, 0x1C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05,  // enterprise
                      0x40, 0x04, 0x00, 0x00, 0x00, 0x00,                                      // agent-addr
                      0x02, 0x01, 0x00, 0x02, 0x01, 0x00,                                      // generic, specific
                      0x43, 0x02, 0x01, 0x2C,                                                  // time-stamp
                      0x30, 0x00};
  EXPECT_EQ(Bytes(msg.end() - static_cast<ptrdiff_t>(body.size()), msg.end()), body);
}

TEST(Encoder, TrapV1FieldsFromAnEnterpriseTrapOid) {
  PduPtr trap = make_pdu(kPduTrap);
  trap->set_time_stamp(uint_value(kSmiTimeTicks, 1));
  trap->set_trap_oid(oid("1.3.6.1.4.1.253.0.200"));
  trap->append_new(oid("1.3.6.1.2.1.1.3.0"), uint_value(kSmiTimeTicks, 1));
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes msg;
  ASSERT_EQ(encode(trap.get(), target.get(), &msg), kOk);
  const Bytes fields = {0x06, 0x07, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x81, 0x7D, 0x40, 0x04, 0, 0, 0, 0,
                        0x02, 0x01, 0x06, 0x02, 0x02, 0x00, 0xC8, 0x43, 0x01, 0x01};
  auto at = std::search(msg.begin(), msg.end(), fields.begin(), fields.end());
  EXPECT_NE(at, msg.end());
}

TEST(Encoder, TrapV1NeedsItsFields) {
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes msg;
  PduPtr no_stamp = make_pdu(kPduTrap);
  no_stamp->set_trap_oid(oid("1.3.6.1.4.1.9.0.1"));
  EXPECT_EQ(encode(no_stamp.get(), target.get(), &msg), kErrInvalidArg);
  for (const char* bad : {"1.3.6.1.4.1.9.1.1", "1", "1.3.6.1.6.3.1.1.5.0.7", "1.3.6.1.6.3.1.1.5.0.0"}) {
    PduPtr trap = make_pdu(kPduTrap);
    trap->set_time_stamp(uint_value(kSmiTimeTicks, 1));
    trap->set_trap_oid(oid(bad));
    EXPECT_EQ(encode(trap.get(), target.get(), &msg), kErrInvalidArg) << bad;
  }
}

// A request of three varbinds; each varbind is 30 0A 06 06 <oid> 05 00.
PduPtr three_varbinds() {
  PduPtr pdu = make_pdu(kPduGetRequest, 7);
  for (const char* o : {"1.3.6.1.2.1.1", "1.3.6.1.2.1.2", "1.3.6.1.2.1.3"}) pdu->append_new(oid(o), nullptr);
  return pdu;
}

TEST(Encoder, OneByteShortOverflowsAndLeavesTheBufferAlone) {
  PduPtr pdu = three_varbinds();
  SnmpTargetPtr target = make_target(kSnmpV1, "public");
  Bytes exact;
  ASSERT_EQ(encode(pdu.get(), target.get(), &exact), kOk);
  const uint32_t size = static_cast<uint32_t>(exact.size());

  RawPacketPtr raw(qes_create_raw_packet(size - 1));
  ASSERT_EQ(raw->set_data_start(3), kOk);
  uint32_t count = 99;
  EXPECT_EQ(CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get(), &count), kErrTooBigToSend);
  EXPECT_EQ(raw->data_start(), 3u);
  EXPECT_EQ(count, 3u);  // all varbinds fit; the header did not

  RawPacketPtr fits(qes_create_raw_packet(size));
  EXPECT_EQ(CQesCodecService::instance().encode(pdu.get(), target.get(), fits.get(), &count), kOk);
  EXPECT_EQ(fits->data_start(), 0u);
  EXPECT_EQ(bytes_of(fits.get()), exact);
}

TEST(Encoder, CountsTheVarbindsThatFitFromTheEnd) {
  PduPtr pdu = three_varbinds();
  SnmpTargetPtr target = make_target(kSnmpV1, "public");
  for (auto [capacity, fit] : {std::pair{11u, 0u}, std::pair{12u, 1u}, std::pair{24u, 2u}, std::pair{36u, 3u}}) {
    RawPacketPtr raw(qes_create_raw_packet(capacity));
    uint32_t count = 99;
    EXPECT_EQ(CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get(), &count), kErrTooBigToSend);
    EXPECT_EQ(count, fit) << capacity;
  }
}

TEST(Encoder, HandsTheTargetsMaximumSizeToTheBuffer) {
  PduPtr pdu = three_varbinds();
  SnmpTargetPtr target = make_target(kSnmpV1, "public");
  target->set_max_message_size(484);
  RawPacketPtr raw(qes_create_raw_packet(1400));
  ASSERT_EQ(CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get()), kOk);
  EXPECT_EQ(raw->max_message_size(), 484u);
}

TEST(Encoder, FirstSubIdentifierRule) {
  uint32_t v = 0;
  EXPECT_EQ(ber_first_subid(1, 3, &v), kOk);
  EXPECT_EQ(v, 43u);
  EXPECT_EQ(ber_first_subid(2, UINT32_MAX - 80, &v), kOk);
  EXPECT_EQ(v, UINT32_MAX);
  EXPECT_EQ(ber_first_subid(2, UINT32_MAX - 79, &v), kErrInvalidArg);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

using namespace orv::testing;

// A request is encoded, its name changed in one way, and encoded again: the
// bytes must be those of a fresh request with the changed name (an encoder
// that reused what it wrote for the old name would send the wrong OID).
TEST(Encoder, ReEncodingFollowsEveryChangeOfAName) {
  struct Change {
    const char* what;
    void (*apply)(IQelOid*);
  };
  const Change changes[] = {
      {"set_text", [](IQelOid* o) { o->set_text("1.3.6.1.4.1.119.2"); }},
      {"set_text without arcs", [](IQelOid* o) { o->set_text("1.3.06.1"); }},
      {"append_arc_u32", [](IQelOid* o) { o->append_arc_u32(300); }},
      {"append_text", [](IQelOid* o) { o->append_text("5.6"); }},
      {"erase_arcs", [](IQelOid* o) { o->erase_arcs(8, 1); }},
      {"strip_prefix_text", [](IQelOid* o) { o->strip_prefix_text("1.3.6"); }},
      {"set_arcs", [](IQelOid* o) {
         const uint32_t arcs[] = {1, 3, 6, 1, 2, 1, 1, 5, 0};
         o->set_arcs(arcs, 9);
       }},
      {"assign", [](IQelOid* o) {
         OidPtr other(oid("1.3.6.1.2.1.25.3.2.1.3.1"));
         o->assign(other.get());
       }},
      {"from_oid", [](IQelOid* o) {
         OidPtr other(oid("1.3.6.1.2.1.25.3.2.1.3.1"));
         o->from_oid(other.get(), true, 4);
       }},
      {"clear", [](IQelOid* o) { o->clear(); }},
  };
  SnmpTargetPtr target = make_target(kSnmpV2c, "public");
  for (const Change& change : changes) {
    PduPtr pdu = make_pdu(kPduGetRequest, 7);
    ASSERT_EQ(pdu->append_new(oid("1.3.6.1.2.1.1.2.0"), nullptr), kOk);
    Bytes first, again, fresh;
    ASSERT_EQ(encode(pdu.get(), target.get(), &first), kOk);
    IQelOid* name = pdu->var_bind_list()->at(0)->oid();
    change.apply(name);
    PduPtr expected = make_pdu(kPduGetRequest, 7);
    IQelOid* same_name = create_oid();  // unchecked, as the changed one may be
    ASSERT_EQ(same_name->set_text(name->text()), kOk);
    ASSERT_EQ(expected->append_new(same_name, nullptr), kOk) << change.what;
    const Result fresh_rc = encode(expected.get(), target.get(), &fresh);
    EXPECT_EQ(encode(pdu.get(), target.get(), &again), fresh_rc) << change.what;
    if (fresh_rc == kOk) {
      EXPECT_EQ(again, fresh) << change.what << " -> " << name->text();
    }
    EXPECT_NE(again, first) << change.what;
  }
}

// A response decoded into its request renames a binding; the next request
// carries the new name (a walk's next step).
TEST(Encoder, ReEncodingAfterADecodedAnswerCarriesItsNames) {
  SnmpTargetPtr target = make_target(kSnmpV2c, "public");
  PduPtr request = make_pdu(kPduGetNextRequest, 9);
  ASSERT_EQ(request->append_new(oid("1.3.6.1.2.1.43.11.1.1.6"), nullptr), kOk);
  Bytes sent;
  ASSERT_EQ(encode(request.get(), target.get(), &sent), kOk);
  PduPtr answer = make_pdu(kPduResponse, 9);
  ASSERT_EQ(answer->append_new(oid("1.3.6.1.2.1.43.11.1.1.6.1.1"), text_value("black")), kOk);
  Bytes answer_bytes;
  ASSERT_EQ(encode(answer.get(), target.get(), &answer_bytes), kOk);
  RawPacketPtr raw(qes_create_raw_packet_from(answer_bytes.data(), static_cast<uint32_t>(answer_bytes.size())));
  ASSERT_EQ(CQesCodecService::instance().decode(raw.get(), request.get(), target.get(), kTranslateCommunity), kOk);
  request->set_type(kPduGetNextRequest);
  PduPtr expected = make_pdu(kPduGetNextRequest, 9);
  ASSERT_EQ(expected->append_new(oid("1.3.6.1.2.1.43.11.1.1.6.1.1"), text_value("black")), kOk);
  Bytes next, fresh;
  ASSERT_EQ(encode(request.get(), target.get(), &next), kOk);
  ASSERT_EQ(encode(expected.get(), target.get(), &fresh), kOk);
  EXPECT_EQ(next, fresh);
}

}  // namespace
}  // namespace orv
