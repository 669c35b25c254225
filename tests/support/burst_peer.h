// Many SNMP agents behind one UDP socket of this process, for bursts of
// answers: when a request arrives, prebuilt answers go back to its sender in
// one sendmmsg burst, each from its own loopback source address
// 127.<block>.x.y (set per datagram with IP_PKTINFO: every 127/8 address is
// local, so nothing has to be bound and nothing collides with other users
// of the machine). The socket itself is bound to an ephemeral port on every
// address; requests go to destination(), 127.<block>.255.254 on that port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

class BurstPeer {
 public:
  // Throws when the socket cannot be made.
  explicit BurstPeer(uint8_t block);
  ~BurstPeer();
  BurstPeer(const BurstPeer&) = delete;
  BurstPeer& operator=(const BurstPeer&) = delete;

  uint16_t port() const { return port_; }
  std::string destination() const;
  // The source address of agent `index` (below 250 * 255).
  std::string agent(size_t index) const;

  // Waits up to `wait_ms` for one request, then sends every round in turn:
  // in each, agents 0 .. agents - 1 send that round's bytes. The count of
  // datagrams the kernel took (0 when no request came).
  size_t answer_once(size_t agents, const std::vector<std::vector<uint8_t>>& rounds,
                     int wait_ms = 3000);

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
  uint8_t block_;
};

}  // namespace orv::test
