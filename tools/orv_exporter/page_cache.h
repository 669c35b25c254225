// The fleet page's readings: each printer's last probe, kept for the page's
// maximum age, so that browsers left open on the page, however many and
// however often they reload, never read a printer more often than that.
// Scrapes of /probe are kept too, so that the page shows the printers
// Prometheus scrapes without asking them again.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "printer_probe.h"

namespace orv_exporter {

struct Reading {
  std::string target;
  ProbeData data;
  std::chrono::system_clock::time_point read_at;  // for the page's "read at"
};

class PageCache {
 public:
  // Probes `target` with the auth of that name ("" the default one).
  using Probe = std::function<ProbeData(const std::string& target, const std::string& auth)>;
  using Clock = std::chrono::steady_clock;
  // How long a printer no one discovers stays on the page after its last
  // reading.
  static constexpr std::chrono::hours kRemembered{1};
  // Printers probed at once for one page.
  static constexpr size_t kParallelReadings = 32;

  PageCache(std::chrono::milliseconds max_age, Probe probe);

  // A probe made elsewhere (a scrape with `auth`), kept as the target's
  // reading; the page's own probes of it then use that auth too.
  void record(const std::string& target, const std::string& auth, const ProbeData& data);
  // The target's reading, probed now when the last one is older than the
  // maximum age. A caller that comes while the target is probed waits for
  // that probe instead of starting another.
  Reading reading(const std::string& target);
  // The readings of `targets` and of every target read within kRemembered,
  // sorted by target; the stale ones are probed, kParallelReadings at once.
  std::vector<Reading> readings(const std::vector<std::string>& targets);

 private:
  struct Entry {
    std::optional<Reading> last;
    Clock::time_point at{};
    std::shared_future<Reading> pending;  // valid while a probe runs
    std::string auth;                     // the last scrape's
  };
  void keep(const std::string& target, Reading reading);

  std::chrono::milliseconds max_age_;
  Probe probe_;
  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
};

}  // namespace orv_exporter
