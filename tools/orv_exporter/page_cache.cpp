#include "page_cache.h"

#include <algorithm>
#include <exception>
#include <set>

namespace orv_exporter {

PageCache::PageCache(std::chrono::milliseconds max_age, Probe probe)
    : max_age_(max_age), probe_(std::move(probe)) {}

void PageCache::keep(const std::string& target, Reading reading) {
  const Clock::time_point now = Clock::now();
  Entry& entry = entries_[target];
  entry.last = std::move(reading);
  entry.at = now;
  // Targets scraped once and never again do not pile up.
  std::erase_if(entries_, [now](const auto& item) {
    return !item.second.pending.valid() && now - item.second.at > kRemembered;
  });
}

void PageCache::record(const std::string& target, const std::string& auth, const ProbeData& data) {
  const std::lock_guard lock(mutex_);
  entries_[target].auth = auth;
  keep(target, {target, data, std::chrono::system_clock::now()});
}

Reading PageCache::reading(const std::string& target) {
  std::unique_lock lock(mutex_);
  Entry& entry = entries_[target];
  if (entry.last && Clock::now() - entry.at < max_age_) return *entry.last;
  if (entry.pending.valid()) {
    const std::shared_future<Reading> pending = entry.pending;
    lock.unlock();
    return pending.get();
  }
  std::promise<Reading> promise;
  entry.pending = promise.get_future().share();
  const std::string auth = entry.auth;
  lock.unlock();
  try {
    Reading read{target, probe_(target, auth), std::chrono::system_clock::now()};
    lock.lock();
    entries_[target].pending = {};
    keep(target, read);
    promise.set_value(read);
    return read;
  } catch (...) {
    if (!lock.owns_lock()) lock.lock();
    entries_[target].pending = {};
    promise.set_exception(std::current_exception());
    throw;
  }
}

std::vector<Reading> PageCache::readings(const std::vector<std::string>& targets) {
  std::set<std::string> all(targets.begin(), targets.end());
  {
    const std::lock_guard lock(mutex_);
    for (const auto& [target, entry] : entries_) {
      if (entry.last) all.insert(target);
    }
  }
  // A batch at a time, so that a large fleet does not start a thread per printer.
  const std::vector<std::string> ordered(all.begin(), all.end());
  std::vector<Reading> out;
  for (size_t first = 0; first < ordered.size(); first += kParallelReadings) {
    std::vector<std::future<Reading>> batch;
    for (size_t i = first; i < std::min(ordered.size(), first + kParallelReadings); ++i) {
      batch.push_back(
          std::async(std::launch::async, [this, &ordered, i] { return reading(ordered[i]); }));
    }
    for (auto& future : batch) out.push_back(future.get());
  }
  return out;
}

}  // namespace orv_exporter
