#include "trap_format.h"

#include <charconv>
#include <cstdio>

namespace orvctl {
namespace {

constexpr const char kStandardTrapPrefix[] = "1.3.6.1.6.3.1.1.5.";
constexpr const char* kGenericTrapNames[] = {"coldStart", "warmStart", "linkDown", "linkUp",
                                             "authenticationFailure", "egpNeighborLoss", "enterpriseSpecific"};
constexpr int32_t kEnterpriseSpecific = 6;

// Well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF) without control characters.
bool is_printable_utf8(const std::vector<uint8_t>& octets) {
  for (size_t i = 0; i < octets.size();) {
    const uint8_t lead = octets[i];
    if (lead < 0x80) {
      if (lead < 0x20 || lead == 0x7F) return false;
      ++i;
      continue;
    }
    const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (extra == 0 || lead > 0xF4 || octets.size() - i <= extra) return false;
    uint32_t point = lead & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) {
      if ((octets[i + k] & 0xC0) != 0x80) return false;
      point = (point << 6) | (octets[i + k] & 0x3Fu);
    }
    constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    // Overlong, past U+10FFFF, a surrogate, or a C1 control character.
    if (point < kSmallest[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF) || point < 0xA0)
      return false;
    i += extra + 1;
  }
  return true;
}

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
  if (is_printable_utf8(octets)) return std::string(octets.begin(), octets.end());
  std::string hex;
  char pair[4];
  for (uint8_t c : octets) {
    std::snprintf(pair, sizeof pair, "%02x", c);
    if (!hex.empty()) hex += ' ';
    hex += pair;
  }
  return hex;
}

std::string uptime_text(uint32_t ticks) {
  const uint32_t days = ticks / 8640000;
  char text[32];
  if (days > 0)
    std::snprintf(text, sizeof text, "%ud %02u:%02u:%02u.%02u", days, ticks / 360000 % 24, ticks / 6000 % 60,
                  ticks / 100 % 60, ticks % 100);
  else
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%02u", ticks / 360000, ticks / 6000 % 60, ticks / 100 % 60,
                  ticks % 100);
  return text;
}

}  // namespace orvctl
