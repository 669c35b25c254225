#include "support/burst_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace orv::test {
namespace {

// sendmmsg takes at most this many messages per call.
constexpr size_t kBatch = 1024;
constexpr size_t kAgentsPerRow = 250;

struct PacketInfoControl {
  alignas(cmsghdr) char bytes[CMSG_SPACE(sizeof(in_pktinfo))];
};

in_addr block_address(uint8_t block, uint32_t low16) {
  in_addr a{};
  a.s_addr = htonl((127u << 24) | (uint32_t{block} << 16) | low16);
  return a;
}

in_addr agent_address(uint8_t block, size_t index) {
  return block_address(block, static_cast<uint32_t>((index / kAgentsPerRow) << 8 |
                                                    (index % kAgentsPerRow + 1)));
}

std::string text_of(in_addr address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

}  // namespace

BurstPeer::BurstPeer(uint8_t block) : block_(block) {
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  socklen_t length = sizeof any;
  if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&any), &length) != 0) {
    if (fd_ >= 0) close(fd_);
    throw std::runtime_error("burst peer: no socket");
  }
  port_ = ntohs(any.sin_port);
}

BurstPeer::~BurstPeer() { close(fd_); }

std::string BurstPeer::destination() const { return text_of(block_address(block_, 0xfffe)); }

std::string BurstPeer::agent(size_t index) const { return text_of(agent_address(block_, index)); }

size_t BurstPeer::answer_once(size_t agents, const std::vector<std::vector<uint8_t>>& rounds,
                              int wait_ms) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, wait_ms) != 1) return 0;
  uint8_t request[2048];
  sockaddr_in client{};
  socklen_t length = sizeof client;
  if (recvfrom(fd_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&client), &length) < 0) {
    return 0;
  }
  size_t sent = 0;
  for (const std::vector<uint8_t>& answer : rounds) {
    for (size_t first = 0; first < agents; first += kBatch) {
      const size_t count = std::min(kBatch, agents - first);
      std::vector<mmsghdr> messages(count);
      std::vector<iovec> data(count);
      std::vector<PacketInfoControl> controls(count);
      for (size_t k = 0; k < count; ++k) {
        data[k] = {const_cast<uint8_t*>(answer.data()), answer.size()};
        msghdr& m = messages[k].msg_hdr;
        m.msg_name = &client;
        m.msg_namelen = sizeof client;
        m.msg_iov = &data[k];
        m.msg_iovlen = 1;
        m.msg_control = controls[k].bytes;
        m.msg_controllen = sizeof controls[k].bytes;
        cmsghdr* c = CMSG_FIRSTHDR(&m);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst = agent_address(block_, first + k);
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
      }
      const int done = sendmmsg(fd_, messages.data(), static_cast<unsigned>(count), 0);
      if (done < 0) return sent;
      sent += static_cast<size_t>(done);
    }
  }
  return sent;
}

}  // namespace orv::test
