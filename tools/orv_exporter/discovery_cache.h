// /discover: the supported printers on the configured networks, searched
// at most once per interval however often the scrapers ask, as the JSON of
// Prometheus' HTTP service discovery. A printer stays listed for the
// retention after the last search that found it, so that one switched off
// goes on being probed (orv_up 0) instead of vanishing with its series.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "exporter_config.h"
#include "model_book.h"
#include "printer_search.h"

namespace orv_exporter {

// A printer on the list and when a search last found it.
struct ListedPrinter {
  orvctl::FoundPrinter printer;
  std::chrono::system_clock::time_point last_seen;
};

// [{"targets":["ADDRESS"],"labels":{"__meta_orv_model":"MODEL",
//   "__meta_orv_last_seen_seconds":"UNIX TIME"}}, ...]
std::string http_sd_json(const std::vector<ListedPrinter>& printers);

// `listed` with the printers of `found` added or marked seen at `now`, and
// those not seen within `retention` dropped; ordered by address.
std::vector<ListedPrinter> keep_listed(std::vector<ListedPrinter> listed,
                                       const std::vector<orvctl::FoundPrinter>& found,
                                       std::chrono::system_clock::time_point now,
                                       std::chrono::milliseconds retention);

// The destinations of one search: the configured addresses, or else the
// limited broadcast and every local directed broadcast (IPv4) and, with
// ipv6, the all-nodes group on every link. `ipv6` of each is set.
struct SearchPlan {
  std::vector<orvctl::Destination> ipv4;
  std::vector<orvctl::Destination> ipv6;
};
SearchPlan search_plan(const DiscoverySettings& settings);

class DiscoveryCache {
 public:
  using Clock = std::chrono::steady_clock;
  // `on_search` is told the outcome of every search it makes.
  // The models of what each search finds go to `models`.
  DiscoveryCache(const Config& config, ModelBook& models,
                 std::function<void(const std::vector<orvctl::FindOutcome>&)> on_search);

  // The printers seen within the retention, searching again first when the
  // last search is older than the interval. Callers that come during a
  // search wait for it. A search whose every broadcast failed changes
  // nothing and is not kept.
  std::vector<ListedPrinter> printers();
  // The printers listed now, without searching.
  std::vector<ListedPrinter> last_printers();

  // A list to start from, so that a reloaded configuration keeps the
  // printers already seen.
  void adopt(std::vector<ListedPrinter> printers);

 private:
  // The auth discovery asks with (the built-in default when none is named).
  orvctl::RequestSettings view() const;
  std::vector<orvctl::FindOutcome> search() const;

  const Config& config_;
  ModelBook& models_;
  std::function<void(const std::vector<orvctl::FindOutcome>&)> on_search_;
  std::mutex search_mutex_;  // one search at a time
  std::mutex mutex_;         // guards the two below
  std::optional<Clock::time_point> searched_at_;
  std::vector<ListedPrinter> printers_;
};

}  // namespace orv_exporter
