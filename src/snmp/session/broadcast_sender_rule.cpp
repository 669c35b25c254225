#include "snmp/session/broadcast_sender_rule.h"

#include <cstring>

#include "net/network_address.h"

namespace orv::session {
namespace {

constexpr size_t kNetworkNumberLength = 8;
constexpr const char* kLocalNetwork = "00000000";

// The first 8 characters of both, compared without regard to the case of
// the hex digits; a shorter text never matches.
bool same_network(const char* a, const char* b) {
  for (size_t i = 0; i < kNetworkNumberLength; ++i) {
    char x = a[i];
    char y = b[i];
    if (x == '\0' || y == '\0') return false;
    if (x >= 'A' && x <= 'F') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'F') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool ipx_sender_accepted(const char* destination, const char* sender) {
  if (!destination || !sender) return false;
  if (std::strncmp(destination, kLocalNetwork, kNetworkNumberLength) == 0) return true;
  return same_network(destination, sender);
}

bool broadcast_sender_accepted(int32_t protocol, const char* destination, const char* sender) {
  if (protocol != IQelNetworkAddress::kProtocolIpx) return true;
  return ipx_sender_accepted(destination, sender);
}

}  // namespace orv::session
