#include "snmp/session/split_rules.h"

#include "net/network_address.h"

namespace orv::session {

uint32_t try_count(int32_t retries) {
  if (retries < 0) return 0;
  if (retries > kMaxRetries) retries = kMaxRetries;
  return static_cast<uint32_t>(retries) + 1;
}

uint64_t effective_max_message_size(uint64_t requested, int32_t protocol) {
  if (requested != 0) return requested;
  return protocol == IQelNetworkAddress::kProtocolIpx ? kDefaultMaxMessageSizeIpx
                                                      : kDefaultMaxMessageSizeIp;
}

uint32_t split_count_for_unfit(uint32_t binding_count, uint32_t fitting) {
  if (fitting == 0) return 0;
  if (fitting >= binding_count) return 2;
  return (binding_count + fitting - 1) / fitting;
}

uint32_t split_count_for_length(uint64_t length, uint64_t limit) {
  if (limit == 0) return 0;
  uint64_t pieces = (length + limit - 1) / limit;
  return pieces > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(pieces);
}

}  // namespace orv::session
