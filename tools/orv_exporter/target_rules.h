// Which addresses a probe may be sent to. The exporter sends communities
// and SNMPv3 credentials to whatever a client names, so broadcast,
// multicast and unspecified addresses are refused always, and the
// configuration may narrow the rest with allow and deny lists of networks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv_exporter {

// A network in CIDR notation: "192.168.10.0/24", "fd00::/8", or one
// address (a /32 or /128).
struct Network {
  bool ipv6 = false;
  std::array<uint8_t, 16> bytes{};  // IPv4 in the first four
  unsigned prefix = 0;
};

std::optional<Network> parse_network(const std::string& text);

struct TargetRules {
  std::vector<Network> allow;  // empty: every address not denied
  std::vector<Network> deny;   // checked first
};

// Why the numeric `address` (a scope allowed) may not be probed, in words;
// nullopt when it may.
std::optional<std::string> target_refusal(const std::string& address, const TargetRules& rules);

}  // namespace orv_exporter
