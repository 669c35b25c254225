// Our codec against Net-SNMP's over a generated corpus: Net-SNMP parses what
// we encode, we decode what Net-SNMP builds, field by field, and where both
// encode the same message the bytes are equal.
#include <gtest/gtest.h>

#include "netsnmp_peer.h"

namespace orv {
namespace {

using namespace orv::testing;

VarSpec var(Arcs name, ValueSpec value) { return {std::move(name), std::move(value)}; }
ValueSpec value(uint8_t tag) {
  ValueSpec v;
  v.tag = tag;
  return v;
}
ValueSpec integer(int64_t i) {
  ValueSpec v = value(ASN_INTEGER);
  v.integer = i;
  return v;
}
ValueSpec number(uint8_t tag, uint64_t n) {
  ValueSpec v = value(tag);
  v.number = n;
  return v;
}
ValueSpec octets(uint8_t tag, Bytes b) {
  ValueSpec v = value(tag);
  v.bytes = std::move(b);
  return v;
}
ValueSpec object(Arcs a) {
  ValueSpec v = value(ASN_OBJECT_ID);
  v.arcs = std::move(a);
  return v;
}
ValueSpec empty(uint8_t tag) { return value(tag); }
Bytes text(size_t n, char c) { return Bytes(n, static_cast<uint8_t>(c)); }
const Arcs kPrtName = {1, 3, 6, 1, 2, 1, 43, 11, 1, 1, 6, 1, 1};

// Every value kind, boundary numbers, long lengths, PDU types and traps.
std::vector<MessageSpec> corpus() {
  std::vector<MessageSpec> all;
  auto request = [&](int32_t version, int32_t type, std::vector<VarSpec> vars, int32_t id = 1234) {
    MessageSpec m;
    m.version = version;
    m.type = type;
    m.request_id = id;
    m.vars = std::move(vars);
    all.push_back(m);
    return &all.back();
  };
  std::vector<VarSpec> integers;
  for (int64_t v : {0LL, 1LL, -1LL, 127LL, 128LL, -128LL, -129LL, 255LL, 256LL, 32767LL, -32768LL, 8388608LL,
                    2147483647LL, -2147483648LL})
    integers.push_back(var({1, 3, 6, 1, 4, 1, 253, 8, 1}, integer(v)));
  request(0, 0, integers);
  request(1, 2, integers, -1);
  std::vector<VarSpec> unsigned_kinds;
  for (uint8_t tag : {ASN_COUNTER, ASN_GAUGE, ASN_TIMETICKS})
    for (uint64_t v : {0ULL, 127ULL, 128ULL, 255ULL, 65535ULL, 0x7FFFFFFFULL, 0x80000000ULL, 0xFFFFFFFFULL})
      unsigned_kinds.push_back(var({1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 1}, number(tag, v)));
  request(0, 2, unsigned_kinds, 0x7FFFFFFF);
  std::vector<VarSpec> big;
  for (uint64_t v : {0ULL, 1ULL, 0x80ULL, 0xFFFFFFFFULL, 0x100000000ULL, 0x80000000ULL, 0x7FFFFFFFFFFFFFFFULL,
                     0x8000000000000000ULL, 0xFFFFFFFFFFFFFFFFULL})
    big.push_back(var({1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 1}, number(ASN_COUNTER64, v)));
  request(1, 2, big);
  request(0, 3,
          {var(kPrtName, octets(ASN_OCTET_STR, {})), var(kPrtName, octets(ASN_OCTET_STR, {'a', 0, 'b'})),
           var(kPrtName, octets(ASN_OCTET_STR, text(127, 'x'))), var(kPrtName, octets(ASN_OCTET_STR, text(128, 'y'))),
           var(kPrtName, octets(ASN_OCTET_STR, text(200, 'z'))), var(kPrtName, octets(ASN_OCTET_STR, text(300, 'w'))),
           var(kPrtName, octets(ASN_OPAQUE, {0x04, 0x02, 0x41, 0x42})),
           var(kPrtName, octets(ASN_IPADDRESS, {192, 168, 1, 255}))});
  request(1, 1,
          {var({1, 3, 6, 1, 2, 1, 1, 2, 0}, object({1, 3, 6, 1, 4, 1, 119, 1, 40, 297, 93, 1, 38, 8, 6})),
           var({2, 999, 4294967295u}, object({0, 0})), var({1, 3, 128, 16383, 16384, 2097151, 2097152}, object({2, 39})),
           var({1, 3, 6, 1, 2, 1, 1, 1, 0}, empty(ASN_NULL))});
  request(1, 2,
          {var({1, 3, 6, 1, 2, 1, 1, 9, 0}, empty(SNMP_NOSUCHOBJECT)),
           var({1, 3, 6, 1, 2, 1, 1, 9, 1}, empty(SNMP_NOSUCHINSTANCE)),
           var({1, 3, 6, 1, 2, 1, 1, 9, 2}, empty(SNMP_ENDOFMIBVIEW))});
  MessageSpec* err = request(0, 2, {var({1, 3, 6, 1, 2, 1, 1, 5, 0}, empty(ASN_NULL))});
  err->error_status = 2;
  err->error_index = 1;
  err = request(1, 2, {var({1, 3, 6, 1, 2, 1, 1, 5, 0}, integer(4))});
  err->error_status = 18;
  err->error_index = 1;
  MessageSpec* bulk = request(1, 5, {var({1, 3, 6, 1, 2, 1, 2, 2, 1, 1}, empty(ASN_NULL))});
  bulk->error_status = 1;  // non-repeaters
  bulk->error_index = 25;  // max-repetitions
  request(1, 6, {var({1, 3, 6, 1, 2, 1, 1, 3, 0}, number(ASN_TIMETICKS, 99))});
  MessageSpec* community = request(1, 0, {var({1, 3, 6, 1, 2, 1, 1, 1, 0}, empty(ASN_NULL))});
  community->community = std::string(200, 'c');
  community = request(0, 0, {});
  community->community = "";
  // A Printer-MIB style table answer past 0x82 lengths.
  std::vector<VarSpec> rows;
  for (uint32_t i = 1; i <= 40; ++i) {
    rows.push_back(var({1, 3, 6, 1, 2, 1, 43, 11, 1, 1, 6, 1, i}, octets(ASN_OCTET_STR, text(30, 'a' + i % 26))));
    rows.push_back(var({1, 3, 6, 1, 2, 1, 43, 11, 1, 1, 9, 1, i}, integer(-3)));
  }
  request(1, 2, rows, 99);
  // SNMPv1 traps: standard ones under snmpTraps and an enterprise-specific one.
  for (int32_t generic : {0, 3, 5, 6}) {
    MessageSpec t;
    t.version = 0;
    t.type = 4;
    t.generic = generic;
    t.specific = generic == 6 ? 200 : 0;
    t.enterprise = generic == 6 ? Arcs{1, 3, 6, 1, 4, 1, 253, 8} : standard_traps();
    t.time = 0x12345678;
    if (generic == 3) t.vars = {var({1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 2}, integer(2))};
    all.push_back(t);
  }
  return all;
}

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
  one.vars = {var({1}, empty(ASN_NULL))};
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
  EXPECT_EQ(parsed.vars[0].value.tag, ASN_OBJECT_ID);
  EXPECT_EQ(parsed.vars[0].value.arcs, Arcs{0});
  // And our decoder gives the empty OID back.
  SnmpPacketPtr back(qes_create_snmp_packet());
  ASSERT_EQ(decode(bytes_of(raw.get()), back.get()), kOk);
  EXPECT_STREQ(as_oid(back->pdu()->var_bind_list()->at(0)->value())->text(), "");
}

}  // namespace
}  // namespace orv
