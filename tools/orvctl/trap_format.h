// Pure helpers of `orvctl traps`: the SNMPv1 fields behind a trap OID, the
// names of value types and a printable form of octets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvctl {

struct V1TrapFields {
  std::string enterprise;
  int32_t generic = 0;
  uint32_t specific = 0;
};

// The generic-trap and specific-trap that an SNMPv1 trap's OID in the
// standard form stands for, with `enterprise` (its snmpTrapEnterprise.0):
// "1.3.6.1.6.3.1.1.5.N" is generic N-1 (N 1..6), "E.0.S" is generic 6
// (enterpriseSpecific) with specific S. Nothing for any other text.
std::optional<V1TrapFields> v1_trap_fields(const std::string& trap_oid, const std::string& enterprise);

// "coldStart" .. "egpNeighborLoss" for generic-trap 0..5,
// "enterpriseSpecific" for 6.
const char* generic_trap_name(int32_t generic);

// "Integer", "OctetString", ... for a BER tag; "0x47" for one not known.
std::string value_type_name(int32_t tag);

// Text (valid UTF-8 without control characters) as it is; other octets as
// lower-case hex pairs joined by blanks ("00 ff 10 80").
std::string printable_octets(const std::vector<uint8_t>& octets);

// TimeTicks (hundredths of a second) as a duration: "3d 04:05:06.78",
// without the days when there are none.
std::string uptime_text(uint32_t ticks);

}  // namespace orvctl
