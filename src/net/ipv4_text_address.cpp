#include "net/ipv4_text_address.h"

#include <netinet/in.h>

#include <array>
#include <cstring>

#include "net/address_text.h"
#include "net/socket_api.h"

namespace orv::net {

namespace {

// inet_addr answers the limited broadcast with its failure value; the text
// is told apart by its first 15 characters.
constexpr char kLimitedBroadcast[] = "255.255.255.255";

}  // namespace

bool ipv4_text_to_address(const char* text, uint32_t* network_order) {
  if (!text || !network_order) return false;
  std::array<uint8_t, 4> bytes{};
  if (parse_ipv4_text(text, &bytes)) {
    std::memcpy(network_order, bytes.data(), bytes.size());
    return true;
  }
  if (!NQelSocketAPI::pfn_inet_addr) return false;
  uint32_t address = NQelSocketAPI::pfn_inet_addr(text);
  if (address == INADDR_NONE &&
      std::strncmp(text, kLimitedBroadcast, sizeof kLimitedBroadcast - 1) != 0) {
    return false;
  }
  *network_order = address;
  return true;
}

}  // namespace orv::net
