// Host-name lookups that give up at a deadline: a resolver that never
// answers must not hold a probe worker past its scrape.
#pragma once

#include <chrono>
#include <string>

namespace orv_exporter {

enum class LookupEnd { kFound, kFailed, kLate };

// The first address of `name` (IPv4 before IPv6) as numeric text in
// `address`. kLate when the resolver has not answered by `deadline` (the
// lookup then ends on its own thread), or when 16 lookups are already under
// way.
LookupEnd lookup_before(const std::string& name, std::chrono::steady_clock::time_point deadline,
                        std::string& address);

}  // namespace orv_exporter
