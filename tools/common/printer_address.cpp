#include "printer_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstdio>
#include <memory>

namespace orvctl {
namespace {

constexpr int32_t kNoSuchAddress = -1;  // the library's failed lookup
constexpr int32_t kOtherFamily = -2;    // the library's refusal of another family

struct AddrInfoFree {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoFree>;

// The dotted quad as the library reads it: four numbers below 256, nothing
// behind them (so 192.168.001.010 is accepted, as the library accepts it).
bool is_ipv4_text(const std::string& text) {
  unsigned parts[4];
  char rest = 0;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &parts[0], &parts[1], &parts[2], &parts[3],
                  &rest) != 4) {
    return false;
  }
  for (unsigned part : parts) {
    if (part > 255) return false;
  }
  return true;
}

// getaddrinfo in one family; the first result as numeric text, or empty.
std::string lookup(const std::string& text, int family, int flags, int* error) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = flags;
  addrinfo* found = nullptr;
  *error = getaddrinfo(text.c_str(), nullptr, &hints, &found);
  AddrInfoPtr list(found);
  if (*error != 0 || !list) return {};
  char host[NI_MAXHOST] = "";
  *error = getnameinfo(list->ai_addr, list->ai_addrlen, host, sizeof host, nullptr, 0,
                       NI_NUMERICHOST);
  return *error == 0 ? std::string(host) : std::string();
}

bool is_ipv6_text(const std::string& text) {
  int error = 0;
  return !lookup(text, AF_INET6, AI_NUMERICHOST, &error).empty();
}

// No host name is made of digits and dots alone, and none holds a colon:
// such a text is judged as a number and never sent to the name service.
bool looks_numeric(const std::string& text) {
  if (text.find(':') != std::string::npos) return true;
  return text.find_first_not_of("0123456789.") == std::string::npos;
}

PrinterAddress refused(int32_t code, const std::string& meaning, const std::string& hint) {
  return {{}, code, meaning + " (" + std::to_string(code) + "): " + hint};
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string canonical_address(const std::string& text) {
  unsigned parts[4];
  char rest = 0;
  if (is_ipv4_text(text) && std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &parts[0], &parts[1],
                                        &parts[2], &parts[3], &rest) == 4) {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
  }
  const size_t scope = text.find('%');
  const std::string bare = text.substr(0, scope);
  unsigned char bytes[16];
  char spelled[INET6_ADDRSTRLEN] = "";
  if (inet_pton(AF_INET6, bare.c_str(), bytes) != 1 ||
      inet_ntop(AF_INET6, bytes, spelled, sizeof spelled) == nullptr) {
    return text;
  }
  return std::string(spelled) + (scope == std::string::npos ? "" : text.substr(scope));
}

PrinterAddress resolve_printer_address(const std::string& text, bool ipv6) {
  const char* family = ipv6 ? "IPv6" : "IPv4";
  const char* switch_hint = ipv6 ? "leave out --ipv6 for an IPv4 address"
                                 : "add --ipv6 for an IPv6 address";
  if (text.empty()) {
    return refused(kNoSuchAddress, "no printer address was given",
                   "give the printer's IPv4 address, or --ipv6 with an IPv6 one");
  }
  const bool v4 = is_ipv4_text(text);
  const bool v6 = !v4 && is_ipv6_text(text);
  if (v4 || v6) {
    if (v6 == ipv6) return {text, 0, {}};
    return refused(kOtherFamily, quoted(text) + " is not an " + family + " address", switch_hint);
  }
  if (looks_numeric(text)) {
    return refused(kNoSuchAddress, quoted(text) + " is not an " + family + " address",
                   ipv6 ? "check the address"
                        : "an IPv4 address is four numbers from 0 to 255 joined by dots");
  }
  int error = 0;
  const std::string found = lookup(text, ipv6 ? AF_INET6 : AF_INET, 0, &error);
  if (!found.empty()) return {found, 0, {}};
  int other_error = 0;
  if (!lookup(text, ipv6 ? AF_INET : AF_INET6, 0, &other_error).empty()) {
    return refused(kNoSuchAddress, "host " + quoted(text) + " has no " + family + " address",
                   ipv6 ? "leave out --ipv6 to use its IPv4 address"
                        : "add --ipv6 to use its IPv6 address");
  }
  const bool unanswered = error == EAI_AGAIN || other_error == EAI_AGAIN;
  return refused(kNoSuchAddress, "no such host " + quoted(text),
                 unanswered ? "the name service did not answer; give the printer's IP address"
                            : "check the name, or give the printer's IP address");
}

}  // namespace orvctl
