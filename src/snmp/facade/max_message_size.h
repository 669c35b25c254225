// The largest message a request object lets its target send.
#pragma once

#include <cstdint>

namespace orv::facade {

// UDP (IPv4, IPv6) allows kMaxMessageSizeIp, every other protocol
// kMaxMessageSizeIpx. 0 asks for the limit, a larger size is cut to it, a
// smaller one is kept.
uint32_t effective_max_message_size(int32_t protocol, uint32_t requested);

}  // namespace orv::facade
