// A plain UDP client for tests that talk to peers byte by byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::test {

struct UdpReply {
  std::string sender;  // address text without port
  std::vector<uint8_t> bytes;
};

class UdpProbe {
 public:
  // A socket of the family, with SO_BROADCAST when asked; throws on failure.
  explicit UdpProbe(bool ipv6 = false, bool broadcast = false);
  ~UdpProbe();
  UdpProbe(const UdpProbe&) = delete;
  UdpProbe& operator=(const UdpProbe&) = delete;

  // host is a numeric address, with "%if" scope for link-local and ff02::.
  void send_to(const std::string& host, uint16_t port, const std::vector<uint8_t>& bytes);
  std::optional<UdpReply> receive(int timeout_ms);
  // Everything that arrives within window_ms.
  std::vector<UdpReply> receive_all(int window_ms);

 private:
  int fd_ = -1;
};

}  // namespace orv::test
