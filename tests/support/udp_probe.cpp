#include "support/udp_probe.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace orv::test {

UdpProbe::UdpProbe(bool ipv6, bool broadcast) {
  fd_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) throw std::runtime_error("socket() failed");
  int on = 1;
  if (broadcast && setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    close(fd_);
    throw std::runtime_error("SO_BROADCAST failed");
  }
}

UdpProbe::~UdpProbe() {
  if (fd_ >= 0) close(fd_);
}

void UdpProbe::send_to(const std::string& host, uint16_t port, const std::vector<uint8_t>& bytes) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
    throw std::runtime_error("not a numeric address: " + host);
  }
  ssize_t sent = sendto(fd_, bytes.data(), bytes.size(), 0, found->ai_addr, found->ai_addrlen);
  freeaddrinfo(found);
  if (sent != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("sendto " + host + " failed");
}

std::optional<UdpReply> UdpProbe::receive(int timeout_ms) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, timeout_ms) <= 0) return std::nullopt;
  sockaddr_storage from{};
  socklen_t len = sizeof from;
  std::vector<uint8_t> buf(65536);
  ssize_t got = recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
  if (got < 0) return std::nullopt;
  buf.resize(static_cast<size_t>(got));
  char host[NI_MAXHOST] = {};
  getnameinfo(reinterpret_cast<sockaddr*>(&from), len, host, sizeof host, nullptr, 0, NI_NUMERICHOST);
  return UdpReply{host, std::move(buf)};
}

std::vector<UdpReply> UdpProbe::receive_all(int window_ms) {
  std::vector<UdpReply> out;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(window_ms);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    auto r = receive(static_cast<int>(left.count()));
    if (!r) break;
    out.push_back(std::move(*r));
  }
  return out;
}

}  // namespace orv::test
