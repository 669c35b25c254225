// Our codec against Net-SNMP's over a generated corpus: Net-SNMP parses what
// we encode, we decode what Net-SNMP builds, field by field, and where both
// encode the same message the bytes are equal.
#include <gtest/gtest.h>

#include "message_corpus.h"
#include "netsnmp_peer.h"

namespace orv {
namespace {

using namespace orv::testing;

TEST(NetSnmpDifferential, NetSnmpReadsWhatWeEncode) {
  for (const MessageSpec& m : corpus()) {
    SnmpPacketPtr packet = our_packet_of(m);
    RawPacketPtr raw(qes_create_raw_packet(65536));
    ASSERT_EQ(CQesCodecService::instance().encode_packet(packet.get(), raw.get()), kOk) << m;
    MessageSpec parsed;
    ASSERT_TRUE(netsnmp_parse(bytes_of(raw.get()), &parsed)) << m;
    EXPECT_EQ(parsed, m);
  }
}

TEST(NetSnmpDifferential, WeDecodeWhatNetSnmpBuilds) {
  for (const MessageSpec& m : corpus()) {
    Bytes theirs = netsnmp_build(m);
    ASSERT_FALSE(theirs.empty()) << m;
    SnmpPacketPtr packet(qes_create_snmp_packet());
    ASSERT_EQ(decode(theirs, packet.get()), kOk) << m;
    EXPECT_EQ(our_spec_of(packet.get()), m);
  }
}

TEST(NetSnmpDifferential, BothEncodeTheSameBytes) {
  for (const MessageSpec& m : corpus()) {
    SnmpPacketPtr packet = our_packet_of(m);
    RawPacketPtr raw(qes_create_raw_packet(65536));
    ASSERT_EQ(CQesCodecService::instance().encode_packet(packet.get(), raw.get()), kOk) << m;
    EXPECT_EQ(bytes_of(raw.get()), netsnmp_build(m)) << m;
  }
}

TEST(NetSnmpDifferential, StandardTrapsFromAnotherEnterpriseKeepTheirNumber) {
  // Agents send coldStart with their own enterprise; the trap OID names the
  // standard trap and the enterprise is not kept.
  MessageSpec t;
  t.version = 0;
  t.type = 4;
  t.generic = 0;
  t.enterprise = {1, 3, 6, 1, 4, 1, 253, 8, 62};
  t.time = 5;
  SnmpPacketPtr packet(qes_create_snmp_packet());
  ASSERT_EQ(decode(netsnmp_build(t), packet.get()), kOk);
  EXPECT_STREQ(packet->pdu()->trap_oid()->text(), "1.3.6.1.6.3.1.1.5.0.1");
  EXPECT_EQ(packet->pdu()->time_stamp()->get_uint32(), 5u);
}

TEST(NetSnmpDifferential, OidsOurEncoderRefusesAndTheEmptyOid) {
  // One arc cannot be encoded (Net-SNMP would multiply it into a first pair).
  MessageSpec one;
  one.vars = {var({1}, empty(kSmiNull))};
  SnmpPacketPtr packet = our_packet_of(one);
  RawPacketPtr raw(qes_create_raw_packet(512));
  EXPECT_EQ(CQesCodecService::instance().encode_packet(packet.get(), raw.get()), kErrInvalidArg);
  // The empty OID goes out as 06 00; Net-SNMP reads it as its null OID "0".
  MessageSpec empty_oid;
  empty_oid.vars = {var({1, 3, 6}, object({}))};
  packet = our_packet_of(empty_oid);
  ASSERT_EQ(CQesCodecService::instance().encode_packet(packet.get(), raw.get()), kOk);
  const Bytes tail = {0x06, 0x00};
  EXPECT_EQ(Bytes(raw->data() + raw->length() - 2, raw->data() + raw->length()), tail);
  MessageSpec parsed;
  ASSERT_TRUE(netsnmp_parse(bytes_of(raw.get()), &parsed));
  ASSERT_EQ(parsed.vars.size(), 1u);
  EXPECT_EQ(parsed.vars[0].value.tag, kSmiOid);
  EXPECT_EQ(parsed.vars[0].value.arcs, Arcs{0});
  // And our decoder gives the empty OID back.
  SnmpPacketPtr back(qes_create_snmp_packet());
  ASSERT_EQ(decode(bytes_of(raw.get()), back.get()), kOk);
  EXPECT_STREQ(as_oid(back->pdu()->var_bind_list()->at(0)->value())->text(), "");
}

}  // namespace
}  // namespace orv
