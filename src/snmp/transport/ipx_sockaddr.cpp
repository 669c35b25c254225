#include "snmp/transport/ipx_sockaddr.h"

#include <sys/socket.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "net/address_text.h"

namespace orv::session {

Result ipx_text_to_sockaddr(const char* text, uint16_t port, QelSockaddrIpx* out) {
  std::array<uint8_t, 10> bytes{};
  if (!text || !out || !net::parse_ipx_text(text, &bytes)) return kErrInvalidArg;
  *out = QelSockaddrIpx{};
  out->family = AF_IPX;
  std::memcpy(out->network, bytes.data(), 4);
  std::memcpy(out->node, bytes.data() + 4, 6);
  const uint8_t wire[2] = {static_cast<uint8_t>(port >> 8), static_cast<uint8_t>(port & 0xff)};
  std::memcpy(&out->socket, wire, 2);
  return kOk;
}

std::string ipx_sockaddr_text(const QelSockaddrIpx& address) {
  char text[32];
  const uint8_t* n = address.network;
  const uint8_t* h = address.node;
  snprintf(text, sizeof text, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x", n[0], n[1], n[2],
           n[3], h[0], h[1], h[2], h[3], h[4], h[5]);
  return text;
}

uint16_t ipx_sockaddr_port(const QelSockaddrIpx& address) {
  uint8_t wire[2];
  std::memcpy(wire, &address.socket, 2);
  return static_cast<uint16_t>(wire[0] << 8 | wire[1]);
}

}  // namespace orv::session
