#include "snmp/facade/max_message_size.h"

#include "net/network_address.h"
#include "snmp/facade/get_data.h"

namespace orv::facade {

uint32_t effective_max_message_size(int32_t protocol, uint32_t requested) {
  const bool udp = protocol == IQelNetworkAddress::kProtocolIpv4 ||
                   protocol == IQelNetworkAddress::kProtocolIpv6;
  const uint32_t limit = udp ? kMaxMessageSizeIp : kMaxMessageSizeIpx;
  return (requested == 0 || requested > limit) ? limit : requested;
}

}  // namespace orv::facade
