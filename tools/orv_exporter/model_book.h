// What is kept per printer between probes, by address and the view asked
// for (community, or SNMPv3 user and context: one agent may show another
// printer to each):
// - the model names and sysObjectIDs. The public interface names them only
//   in discovery, so a probe of a printer no search has reported asks it
//   once with a search sent to its own address, and the answer is kept here;
// - the options (memory, ROM, installed parts, the trays' media), which
//   change only when someone opens the printer, and the sysUpTime they were
//   read at.
// Both are kept for `max_age` (options_max_age); options also only until the
// printer restarted (its sysUpTime went back).
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "handle_pool.h"
#include "option_reader.h"
#include "printer_search.h"

namespace orv_exporter {

// The options part of a probe.
struct PrinterOptions {
  std::string rom_version;
  std::string sys_name;
  std::optional<int32_t> memory_kbytes;
  std::vector<std::pair<std::string, bool>> installed;  // option key, present
  std::vector<orvctl::InputTray> option_trays;
};

class ModelBook {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultMaxAge{3600000};

  void set_max_age(std::chrono::milliseconds max_age) {
    std::lock_guard lock(mutex_);
    max_age_ = max_age;
  }
  std::chrono::milliseconds max_age() const {
    std::lock_guard lock(mutex_);
    return max_age_;
  }
  // Opened handles, kept as long as the options.
  HandlePool& handles() { return handles_; }

  std::optional<orvctl::FoundPrinter> find(const std::string& address,
                                           const orvctl::RequestSettings& view) const {
    std::lock_guard lock(mutex_);
    const auto found = printers_.find(key(address, view));
    if (found == printers_.end() || stale(found->second.second)) return std::nullopt;
    return found->second.first;
  }
  void remember(const orvctl::FoundPrinter& printer, const orvctl::RequestSettings& view) {
    std::lock_guard lock(mutex_);
    printers_[key(printer.address, view)] = {printer, Clock::now()};
  }

  // The options read at most max_age ago and since the printer last
  // started: none when its `up_time` is below the last one seen (the last
  // probe's, so that a restart is seen however long the printer ran).
  std::optional<PrinterOptions> find_options(const std::string& address,
                                             const orvctl::RequestSettings& view,
                                             uint32_t up_time) {
    std::lock_guard lock(mutex_);
    const auto found = options_.find(key(address, view));
    if (found == options_.end()) return std::nullopt;
    if (stale(found->second.read_at) || up_time < found->second.up_time) {
      options_.erase(found);
      return std::nullopt;
    }
    found->second.up_time = up_time;
    return found->second.options;
  }
  void remember_options(const std::string& address, const orvctl::RequestSettings& view,
                        PrinterOptions options, uint32_t up_time) {
    std::lock_guard lock(mutex_);
    options_[key(address, view)] = {std::move(options), up_time, Clock::now()};
  }

 private:
  using Key = std::tuple<std::string, std::string, std::string, std::string>;
  struct KeptOptions {
    PrinterOptions options;
    uint32_t up_time = 0;
    Clock::time_point read_at;
  };
  static Key key(const std::string& address, const orvctl::RequestSettings& view) {
    return {address, view.v3.enabled() ? std::string() : view.community, view.v3.user,
            view.v3.context};
  }
  bool stale(Clock::time_point read_at) const { return Clock::now() - read_at >= max_age_; }

  mutable std::mutex mutex_;
  std::chrono::milliseconds max_age_{kDefaultMaxAge};
  std::map<Key, std::pair<orvctl::FoundPrinter, Clock::time_point>> printers_;
  std::map<Key, KeptOptions> options_;
  HandlePool handles_;
};

}  // namespace orv_exporter
