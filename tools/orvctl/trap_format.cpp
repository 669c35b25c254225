#include "trap_format.h"

#include <charconv>
#include <cstdio>

namespace orvctl {
namespace {

constexpr const char kStandardTrapPrefix[] = "1.3.6.1.6.3.1.1.5.";
constexpr const char* kGenericTrapNames[] = {"coldStart", "warmStart", "linkDown", "linkUp",
                                             "authenticationFailure", "egpNeighborLoss", "enterpriseSpecific"};
constexpr int32_t kEnterpriseSpecific = 6;

bool parse_arc(const std::string& text, uint32_t* value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<V1TrapFields> v1_trap_fields(const std::string& trap_oid, const std::string& enterprise) {
  const std::string prefix = kStandardTrapPrefix;
  uint32_t last = 0;
  if (trap_oid.compare(0, prefix.size(), prefix) == 0 && parse_arc(trap_oid.substr(prefix.size()), &last)) {
    if (last < 1 || last > static_cast<uint32_t>(kEnterpriseSpecific)) return std::nullopt;
    return V1TrapFields{enterprise, static_cast<int32_t>(last) - 1, 0};
  }
  const size_t cut = trap_oid.rfind('.');
  if (cut == std::string::npos || cut < 2 || trap_oid.compare(cut - 2, 2, ".0") != 0 ||
      trap_oid.compare(0, cut - 2, enterprise) != 0 || !parse_arc(trap_oid.substr(cut + 1), &last))
    return std::nullopt;
  return V1TrapFields{enterprise, kEnterpriseSpecific, last};
}

const char* generic_trap_name(int32_t generic) {
  return generic >= 0 && generic <= kEnterpriseSpecific ? kGenericTrapNames[generic] : "";
}

std::string value_type_name(int32_t tag) {
  switch (tag) {
    case 0x02: return "Integer";
    case 0x04: return "OctetString";
    case 0x05: return "Null";
    case 0x06: return "OID";
    case 0x40: return "IpAddress";
    case 0x41: return "Counter32";
    case 0x42: return "Gauge32";
    case 0x43: return "TimeTicks";
    case 0x44: return "Opaque";
    case 0x46: return "Counter64";
    case 0x80: return "noSuchObject";
    case 0x81: return "noSuchInstance";
    case 0x82: return "endOfMibView";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(tag) & 0xFFu);
      return text;
    }
  }
}

std::string printable_octets(const std::vector<uint8_t>& octets) {
  bool printable = true;
  for (uint8_t c : octets) printable = printable && c >= 0x20 && c < 0x7F;
  if (printable) return std::string(octets.begin(), octets.end());
  std::string hex;
  char pair[4];
  for (uint8_t c : octets) {
    std::snprintf(pair, sizeof pair, "%02x", c);
    if (!hex.empty()) hex += ' ';
    hex += pair;
  }
  return hex;
}

}  // namespace orvctl
