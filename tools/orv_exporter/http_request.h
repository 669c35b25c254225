// What the HTTP side reads from a request and from its own flags: the
// listening address and the scraper's time-out.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace orv_exporter {

// "[::1]:9470" -> civetweb's listening_ports text; ":PORT" is every address
// of both families (when IPv6 is there). nullopt when it is no
// "[HOST]:PORT" with a numeric host (or localhost) and a port up to 65535.
std::optional<std::string> listening_ports(const std::string& listen_address, bool have_ipv6);

// How long a probe may take: the scraper's time-out less a margin (a
// quarter of it, at most half a second), or `fallback` when the header is
// absent or not a positive number of seconds; never more than `cap`.
std::chrono::milliseconds probe_budget(
    const char* scrape_timeout_header, std::chrono::milliseconds fallback,
    std::chrono::milliseconds cap = std::chrono::milliseconds::max());

// Prometheus writes an IPv6 target in brackets; the library takes it bare.
std::string bare_target(std::string target);

}  // namespace orv_exporter
