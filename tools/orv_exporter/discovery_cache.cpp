#include "discovery_cache.h"

#include <algorithm>
#include <utility>
#include <future>
#include <nlohmann/json.hpp>

#include "broadcast_targets.h"
#include "printer_text.h"

namespace orv_exporter {

std::string http_sd_json(const std::vector<ListedPrinter>& printers) {
  nlohmann::json groups = nlohmann::json::array();
  for (const auto& [p, last_seen] : printers) {
    // An IPv6 target is written as Prometheus writes one with a port.
    const bool v6 = p.address.find(':') != std::string::npos;
    const auto seen =
        std::chrono::duration_cast<std::chrono::seconds>(last_seen.time_since_epoch()).count();
    // The search knows no character set: the model is checked as UTF-8.
    groups.push_back(
        {{"targets", {v6 ? "[" + p.address + "]" : p.address}},
         {"labels",
          {{"__meta_orv_model", orvctl::printer_text_utf8(p.model, orvctl::kMibEnumUtf8)},
           {"__meta_orv_last_seen_seconds", std::to_string(seen)}}}});
  }
  return groups.dump();
}

std::vector<ListedPrinter> keep_listed(std::vector<ListedPrinter> listed,
                                       const std::vector<orvctl::FoundPrinter>& found,
                                       std::chrono::system_clock::time_point now,
                                       std::chrono::milliseconds retention) {
  for (const orvctl::FoundPrinter& printer : found) {
    const auto same = std::find_if(listed.begin(), listed.end(), [&](const ListedPrinter& l) {
      return l.printer.address == printer.address;
    });
    if (same != listed.end()) {
      *same = {printer, now};
    } else {
      listed.push_back({printer, now});
    }
  }
  std::erase_if(listed, [&](const ListedPrinter& l) { return now - l.last_seen > retention; });
  std::sort(listed.begin(), listed.end(), [](const ListedPrinter& a, const ListedPrinter& b) {
    return orvctl::address_less(a.printer.address, b.printer.address);
  });
  return listed;
}

SearchPlan search_plan(const DiscoverySettings& settings) {
  SearchPlan plan;
  if (!settings.addresses.empty()) {
    for (const std::string& address : settings.addresses) {
      (address.find(':') != std::string::npos ? plan.ipv6 : plan.ipv4).emplace_back(address);
    }
    return plan;
  }
  plan.ipv4.emplace_back(std::nullopt);
  for (const std::string& address : orvctl::local_directed_broadcasts()) {
    plan.ipv4.emplace_back(address);
  }
  if (settings.ipv6) {
    for (const std::string& group : orvctl::local_all_nodes_per_link())
      plan.ipv6.emplace_back(group);
    if (plan.ipv6.empty()) plan.ipv6.emplace_back(std::nullopt);
  }
  return plan;
}

DiscoveryCache::DiscoveryCache(
    const Config& config, ModelBook& models,
    std::function<void(const std::vector<orvctl::FindOutcome>&)> on_search)
    : config_(config), models_(models), on_search_(std::move(on_search)) {}

orvctl::RequestSettings DiscoveryCache::view() const {
  const Auth* auth = config_.find_auth(config_.discovery.auth);
  return auth != nullptr ? auth->request : orvctl::RequestSettings{};
}

std::vector<orvctl::FindOutcome> DiscoveryCache::search() const {
  const DiscoverySettings& settings = config_.discovery;
  orvctl::SearchRequest request;
  request.settings = view();
  request.settings.timeout_ms = static_cast<uint32_t>(settings.timeout.count());
  // One lost answer must not drop a printer: each search is sent twice.
  request.settings.retries = 1;
  const SearchPlan plan = search_plan(settings);
  orvctl::SearchRequest v6_request = request;
  v6_request.settings.ipv6 = true;
  // Both families at once: each search lasts its whole time-out.
  auto v6 = std::async(std::launch::async,
                       [&] { return orvctl::find_everywhere(plan.ipv6, v6_request); });
  std::vector<orvctl::FindOutcome> outcomes = orvctl::find_everywhere(plan.ipv4, request);
  for (orvctl::FindOutcome& outcome : v6.get()) outcomes.push_back(std::move(outcome));
  return outcomes;
}

std::vector<ListedPrinter> DiscoveryCache::printers() {
  std::lock_guard search_lock(search_mutex_);
  {
    std::lock_guard lock(mutex_);
    if (searched_at_ && Clock::now() - *searched_at_ < config_.discovery.interval) return printers_;
  }
  const std::vector<orvctl::FindOutcome> outcomes = search();
  if (on_search_) on_search_(outcomes);
  std::lock_guard lock(mutex_);
  // When no search could be made (no interface up yet, say), the last list
  // stands and the next request searches again.
  const bool any_made = std::any_of(outcomes.begin(), outcomes.end(),
                                    [](const orvctl::FindOutcome& o) { return o.result == ORV_OK; });
  if (!any_made) return printers_;
  const std::vector<orvctl::FoundPrinter> found = orvctl::merge_printers(outcomes);
  printers_ = keep_listed(std::move(printers_), found, std::chrono::system_clock::now(),
                          config_.discovery.retention);
  for (const orvctl::FoundPrinter& p : found) models_.remember(p, view());
  searched_at_ = Clock::now();
  return printers_;
}

std::vector<ListedPrinter> DiscoveryCache::last_printers() {
  std::lock_guard lock(mutex_);
  return printers_;
}

void DiscoveryCache::adopt(std::vector<ListedPrinter> printers) {
  std::lock_guard lock(mutex_);
  printers_ = std::move(printers);
}

}  // namespace orv_exporter
