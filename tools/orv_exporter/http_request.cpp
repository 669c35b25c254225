#include "http_request.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace orv_exporter {
namespace {

constexpr double kMaxMarginSeconds = 0.5;

}  // namespace

std::optional<std::string> listening_ports(const std::string& listen_address, bool have_ipv6) {
  const size_t colon = listen_address.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  std::string host = listen_address.substr(0, colon);
  const std::string port = listen_address.substr(colon + 1);
  if (port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos || std::stoul(port) > 65535) {
    return std::nullopt;
  }
  if (host.empty()) return (have_ipv6 ? "+" : "") + port;
  if (host == "localhost") host = "127.0.0.1";
  unsigned char bytes[16];
  if (inet_pton(AF_INET, host.c_str(), bytes) == 1) return host + ":" + port;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']' && have_ipv6 &&
      inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), bytes) == 1) {
    return host + ":" + port;
  }
  return std::nullopt;
}

std::chrono::milliseconds probe_budget(const char* header, std::chrono::milliseconds fallback,
                                       std::chrono::milliseconds cap) {
  if (header == nullptr) return std::min(fallback, cap);
  char* end = nullptr;
  const double seconds = std::strtod(header, &end);
  if (end == header || *end != '\0' || !std::isfinite(seconds) || seconds <= 0) {
    return std::min(fallback, cap);
  }
  // Compared as seconds before any conversion: a huge header must not
  // overflow the count of milliseconds.
  const double budget = seconds - std::min(kMaxMarginSeconds, seconds / 4);
  const double cap_seconds = std::chrono::duration<double>(cap).count();
  if (budget >= cap_seconds) return cap;
  return std::chrono::milliseconds(static_cast<int64_t>(budget * 1000));
}

std::string bare_target(std::string target) {
  if (target.size() > 2 && target.front() == '[' && target.back() == ']') {
    return target.substr(1, target.size() - 2);
  }
  return target;
}

}  // namespace orv_exporter
