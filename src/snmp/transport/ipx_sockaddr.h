// The IPX socket address (family, 4-byte network number, 6-byte node
// number, socket number in network byte order: 14 bytes) and its text form
// "nnnnnnnn:hhhhhhhhhhhh".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "result_codes.h"

namespace orv::session {

struct QelSockaddrIpx {
  uint16_t family;
  uint8_t network[4];
  uint8_t node[6];
  uint16_t socket;  // network byte order
};
static_assert(sizeof(QelSockaddrIpx) == 14);
static_assert(offsetof(QelSockaddrIpx, network) == 2);
static_assert(offsetof(QelSockaddrIpx, node) == 6);
static_assert(offsetof(QelSockaddrIpx, socket) == 12);

// -2 unless the text has the IPX form.
Result ipx_text_to_sockaddr(const char* text, uint16_t port, QelSockaddrIpx* out);

// Lower-case "%02x" bytes and the socket number in host order.
std::string ipx_sockaddr_text(const QelSockaddrIpx& address);
uint16_t ipx_sockaddr_port(const QelSockaddrIpx& address);

}  // namespace orv::session
