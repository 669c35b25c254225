#include "handle_pool.h"

#include <functional>

namespace orv_exporter {

std::string HandlePool::key(const std::string& address, const orvctl::RequestSettings& s) {
  // Everything the open handed the library; the address first, so that one
  // printer's handles lie together.
  std::string k = address;
  for (const std::string& part : {s.community, s.v3.user, s.v3.context, s.v3.level, s.v3.auth,
                                  s.v3.priv}) {
    k += '\0' + part;
  }
  // The pass phrases only as a digest: the key outlives the probe.
  k += '\0' + std::to_string(std::hash<std::string>{}(s.v3.auth_pass + '\0' + s.v3.priv_pass));
  return k + '\0' + std::to_string(s.ipv6) + '\0' + std::to_string(s.timeout_ms) + '\0' +
         std::to_string(s.retries) + '\0' + std::to_string(s.bulk_repetitions);
}

HandlePool::Kept HandlePool::take(const std::string& address,
                                   const orvctl::RequestSettings& settings,
                                   std::chrono::milliseconds max_age) {
  std::lock_guard lock(mutex_);
  const std::string k = key(address, settings);
  for (auto it = kept_.find(k); it != kept_.end() && it->first == k;) {
    if (Clock::now() - it->second.opened >= max_age) {
      it = kept_.erase(it);
      continue;
    }
    Kept found = std::move(it->second);
    kept_.erase(it);
    return found;
  }
  return {};
}

void HandlePool::give_back(const std::string& address, const orvctl::RequestSettings& settings,
                           orvctl::HandlePtr handle, Clock::time_point opened) {
  std::lock_guard lock(mutex_);
  const std::string k = key(address, settings);
  if (kept_.size() >= kMaxKept || kept_.count(k) >= kMaxKeptPerPrinter || !handle) {
    return;  // the handle closes here
  }
  kept_.emplace(k, Kept{std::move(handle), opened});
}

}  // namespace orv_exporter
