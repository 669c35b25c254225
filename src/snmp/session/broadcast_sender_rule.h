// Which senders a broadcast keeps: every sender over IPv4 and IPv6; over
// IPX a sender on the destination's own network, or any sender when the
// destination is the local network (number 0).
#pragma once

#include <cstdint>

namespace orv::session {

// Texts in the IPX form "nnnnnnnn:hhhhhhhhhhhh": the first 8 characters are
// the network number.
bool ipx_sender_accepted(const char* destination, const char* sender);

// The rule for a destination of `protocol` (the codes of IQelNetworkAddress).
bool broadcast_sender_accepted(int32_t protocol, const char* destination, const char* sender);

}  // namespace orv::session
