// The generated message corpus that our codec and Net-SNMP are held against
// each other with, and that seeds the decoder fuzzer: every value kind,
// boundary numbers, long lengths (0x81, 0x82), PDU types, error fields and
// SNMPv1 traps.
#pragma once

#include "message_spec.h"

namespace orv::testing {

inline VarSpec var(Arcs name, ValueSpec value) { return {std::move(name), std::move(value)}; }
inline ValueSpec value(uint8_t tag) {
  ValueSpec v;
  v.tag = tag;
  return v;
}
inline ValueSpec integer(int64_t i) {
  ValueSpec v = value(kSmiInteger);
  v.integer = i;
  return v;
}
inline ValueSpec number(uint8_t tag, uint64_t n) {
  ValueSpec v = value(tag);
  v.number = n;
  return v;
}
inline ValueSpec octets(uint8_t tag, Bytes b) {
  ValueSpec v = value(tag);
  v.bytes = std::move(b);
  return v;
}
inline ValueSpec object(Arcs a) {
  ValueSpec v = value(kSmiOid);
  v.arcs = std::move(a);
  return v;
}
inline ValueSpec empty(uint8_t tag) { return value(tag); }
inline Bytes text(size_t n, char c) { return Bytes(n, static_cast<uint8_t>(c)); }
inline const Arcs kPrtName = {1, 3, 6, 1, 2, 1, 43, 11, 1, 1, 6, 1, 1};

// Every value kind, boundary numbers, long lengths, PDU types and traps.
inline std::vector<MessageSpec> corpus() {
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
  for (uint8_t tag : {kSmiCounter32, kSmiGauge32, kSmiTimeTicks})
    for (uint64_t v : {0ULL, 127ULL, 128ULL, 255ULL, 65535ULL, 0x7FFFFFFFULL, 0x80000000ULL, 0xFFFFFFFFULL})
      unsigned_kinds.push_back(var({1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 1}, number(tag, v)));
  request(0, 2, unsigned_kinds, 0x7FFFFFFF);
  std::vector<VarSpec> big;
  for (uint64_t v : {0ULL, 1ULL, 0x80ULL, 0xFFFFFFFFULL, 0x100000000ULL, 0x80000000ULL, 0x7FFFFFFFFFFFFFFFULL,
                     0x8000000000000000ULL, 0xFFFFFFFFFFFFFFFFULL})
    big.push_back(var({1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 1}, number(kSmiCounter64, v)));
  request(1, 2, big);
  request(0, 3,
          {var(kPrtName, octets(kSmiOctetString, {})), var(kPrtName, octets(kSmiOctetString, {'a', 0, 'b'})),
           var(kPrtName, octets(kSmiOctetString, text(127, 'x'))), var(kPrtName, octets(kSmiOctetString, text(128, 'y'))),
           var(kPrtName, octets(kSmiOctetString, text(200, 'z'))), var(kPrtName, octets(kSmiOctetString, text(300, 'w'))),
           var(kPrtName, octets(kSmiOpaque, {0x04, 0x02, 0x41, 0x42})),
           var(kPrtName, octets(kSmiIpAddress, {192, 168, 1, 255}))});
  request(1, 1,
          {var({1, 3, 6, 1, 2, 1, 1, 2, 0}, object({1, 3, 6, 1, 4, 1, 119, 1, 40, 297, 93, 1, 38, 8, 6})),
           var({2, 999, 4294967295u}, object({0, 0})), var({1, 3, 128, 16383, 16384, 2097151, 2097152}, object({2, 39})),
           var({1, 3, 6, 1, 2, 1, 1, 1, 0}, empty(kSmiNull))});
  request(1, 2,
          {var({1, 3, 6, 1, 2, 1, 1, 9, 0}, empty(kSmiNoSuchObject)),
           var({1, 3, 6, 1, 2, 1, 1, 9, 1}, empty(kSmiNoSuchInstance)),
           var({1, 3, 6, 1, 2, 1, 1, 9, 2}, empty(kSmiEndOfMibView))});
  MessageSpec* err = request(0, 2, {var({1, 3, 6, 1, 2, 1, 1, 5, 0}, empty(kSmiNull))});
  err->error_status = 2;
  err->error_index = 1;
  err = request(1, 2, {var({1, 3, 6, 1, 2, 1, 1, 5, 0}, integer(4))});
  err->error_status = 18;
  err->error_index = 1;
  MessageSpec* bulk = request(1, 5, {var({1, 3, 6, 1, 2, 1, 2, 2, 1, 1}, empty(kSmiNull))});
  bulk->error_status = 1;  // non-repeaters
  bulk->error_index = 25;  // max-repetitions
  request(1, 6, {var({1, 3, 6, 1, 2, 1, 1, 3, 0}, number(kSmiTimeTicks, 99))});
  MessageSpec* community = request(1, 0, {var({1, 3, 6, 1, 2, 1, 1, 1, 0}, empty(kSmiNull))});
  community->community = std::string(200, 'c');
  community = request(0, 0, {});
  community->community = "";
  // A Printer-MIB style table answer past 0x82 lengths.
  std::vector<VarSpec> rows;
  for (uint32_t i = 1; i <= 40; ++i) {
    rows.push_back(var({1, 3, 6, 1, 2, 1, 43, 11, 1, 1, 6, 1, i}, octets(kSmiOctetString, text(30, 'a' + i % 26))));
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

}  // namespace orv::testing
