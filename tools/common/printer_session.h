// The library handle, held so that every path releases it, and the request
// settings the commands share.
#pragma once

#include "v3_settings.h"

#include <orv/orv.h>

#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace orvctl {

struct HandleCloser {
  void operator()(void* handle) const { OrvUnInit(handle); }
};
using HandlePtr = std::unique_ptr<void, HandleCloser>;

inline constexpr uint32_t kDefaultTimeoutMs = 1000;
inline constexpr uint32_t kDefaultRetries = 1;

// How one printer (or one search) is spoken to.
struct RequestSettings {
  bool ipv6 = false;
  uint32_t timeout_ms = kDefaultTimeoutMs;
  uint32_t retries = kDefaultRetries;
  std::string community;  // empty: the library's default community
  V3Settings v3;          // a user set: SNMPv3 instead of the community
  // Rows a table walk asks per GetBulkRequest (SNMPv2c for a community); 0
  // walks with GETNEXT over SNMPv1.
  uint32_t bulk_repetitions = 0;

  int32_t protocol() const { return ipv6 ? ORV_PROTOCOL_IPV6 : ORV_PROTOCOL_IPV4; }
};

// --ipv6, --timeout, --retries, --community and the --v3-* switches on a
// sub-command.
void add_request_arguments(CLI::App& sub, RequestSettings& settings);

// Creates a handle; 0 or OrvInit's code.
int32_t create_handle(HandlePtr& out);

// Creates a handle unless `out` holds one already (set up with further
// commands), hands it the get-option community when one is set, and opens
// the printer at `address` (over SNMPv3 when a user is set). Returns 0 or
// the first failing code; on failure `out` still holds the handle, which
// releases it. The address is checked first (resolve_printer_address): a
// host name is opened at its first address, a text that names no printer of
// the chosen family fails with -1 or -2 before any exchange, its words going
// to `address_problem` when given (FailureContext::address_problem).
int32_t open_printer(const std::string& address, const RequestSettings& settings, HandlePtr& out,
                     std::string* address_problem = nullptr);

}  // namespace orvctl
