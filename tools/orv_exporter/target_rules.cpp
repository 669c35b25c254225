#include "target_rules.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

#include "broadcast_targets.h"

namespace orv_exporter {
namespace {

constexpr unsigned kIpv4Bits = 32;
constexpr unsigned kIpv6Bits = 128;
constexpr uint8_t kMulticastNibble4 = 0xE0;  // 224.0.0.0/4
constexpr uint8_t kMulticast6 = 0xFF;        // ff00::/8
constexpr uint8_t kLoopbackNet = 127;
constexpr std::array<uint8_t, 12> kMappedPrefix = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

std::optional<Network> parse_address(const std::string& text) {
  Network n;
  const std::string bare = text.substr(0, text.find('%'));
  if (inet_pton(AF_INET, bare.c_str(), n.bytes.data()) == 1) {
    n.prefix = kIpv4Bits;
    return n;
  }
  if (inet_pton(AF_INET6, bare.c_str(), n.bytes.data()) != 1) return std::nullopt;
  n.ipv6 = true;
  n.prefix = kIpv6Bits;
  // An IPv4 address written as IPv6 is judged as the IPv4 address it is.
  if (std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), n.bytes.begin())) {
    std::array<uint8_t, 16> v4{};
    std::copy_n(n.bytes.begin() + kMappedPrefix.size(), 4, v4.begin());
    n = {false, v4, kIpv4Bits};
  }
  return n;
}

bool contains(const Network& net, const Network& address) {
  if (net.ipv6 != address.ipv6) return false;
  const unsigned whole = net.prefix / 8;
  if (!std::equal(net.bytes.begin(), net.bytes.begin() + whole, address.bytes.begin())) {
    return false;
  }
  const unsigned bits = net.prefix % 8;
  if (bits == 0) return true;
  const auto mask = static_cast<uint8_t>(0xFF00u >> bits);
  return (net.bytes[whole] & mask) == (address.bytes[whole] & mask);
}

bool is_broadcast(const Network& a, const std::string& text) {
  const uint8_t* b = a.bytes.data();
  if (b[0] == 0xFF && b[1] == 0xFF && b[2] == 0xFF && b[3] == 0xFF) return true;
  if (b[0] == kLoopbackNet && b[1] == 0xFF && b[2] == 0xFF && b[3] == 0xFF) return true;
  const std::vector<std::string> local = orvctl::local_directed_broadcasts();
  char spelled[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, b, spelled, sizeof spelled);
  return std::find(local.begin(), local.end(), spelled) != local.end() ||
         std::find(local.begin(), local.end(), text) != local.end();
}

}  // namespace

std::optional<Network> parse_network(const std::string& text) {
  const size_t slash = text.find('/');
  std::optional<Network> n = parse_address(text.substr(0, slash));
  if (!n || text.find('%') != std::string::npos) return std::nullopt;
  if (slash == std::string::npos) return n;
  const std::string digits = text.substr(slash + 1);
  if (digits.empty() || digits.size() > 3 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned prefix = static_cast<unsigned>(std::stoul(digits));
  if (prefix > (n->ipv6 ? kIpv6Bits : kIpv4Bits)) return std::nullopt;
  n->prefix = prefix;
  // Host bits set ("10.0.0.1/8") would read as a network they are not.
  Network bare = *n;
  for (unsigned bit = prefix; bit < (n->ipv6 ? kIpv6Bits : kIpv4Bits); ++bit) {
    bare.bytes[bit / 8] &= static_cast<uint8_t>(~(0x80u >> (bit % 8)));
  }
  if (bare.bytes != n->bytes) return std::nullopt;
  return n;
}

std::optional<std::string> target_refusal(const std::string& address, const TargetRules& rules) {
  const std::optional<Network> a = parse_address(address);
  if (!a) return "\"" + address + "\" is not a numeric address";
  const bool zero = std::all_of(a->bytes.begin(), a->bytes.begin() + (a->ipv6 ? 16 : 4),
                                [](uint8_t b) { return b == 0; });
  if (zero || (!a->ipv6 && a->bytes[0] == 0)) {
    return "target " + address + " is an unspecified address";
  }
  if (a->ipv6 ? a->bytes[0] == kMulticast6 : (a->bytes[0] & 0xF0) == kMulticastNibble4) {
    return "target " + address + " is a multicast address";
  }
  if (!a->ipv6 && is_broadcast(*a, address)) {
    return "target " + address + " is a broadcast address";
  }
  const auto in = [&](const Network& net) { return contains(net, *a); };
  if (std::any_of(rules.deny.begin(), rules.deny.end(), in)) {
    return "target " + address + " is in targets.deny";
  }
  if (!rules.allow.empty() && std::none_of(rules.allow.begin(), rules.allow.end(), in)) {
    return "target " + address + " is not in targets.allow";
  }
  return std::nullopt;
}

}  // namespace orv_exporter
