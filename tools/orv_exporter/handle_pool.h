// Opened library handles kept between probes of the same printer: a kept
// handle spares the next probe its open (one exchange), and its walks ask
// each table for as many rows as it had last time.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

#include "printer_session.h"

namespace orv_exporter {

class HandlePool {
 public:
  using Clock = std::chrono::steady_clock;
  // The most handles kept for all printers together (a handle holds its
  // status tables: a few kB).
  static constexpr size_t kMaxKept = 4096;
  // The most kept for one printer and settings: what one probe uses, so
  // that probes of one printer at once do not pile handles up.
  static constexpr size_t kMaxKeptPerPrinter = 3;

  struct Kept {
    orvctl::HandlePtr handle;
    Clock::time_point opened;
  };

  // A handle opened on `address` with exactly `settings` no longer than
  // max_age ago, taken out of the pool; an empty handle when there is none.
  Kept take(const std::string& address, const orvctl::RequestSettings& settings,
            std::chrono::milliseconds max_age);
  // Keeps a handle that a probe used without failure; `opened` is when it
  // was opened.
  void give_back(const std::string& address, const orvctl::RequestSettings& settings,
                 orvctl::HandlePtr handle, Clock::time_point opened);

 private:
  static std::string key(const std::string& address, const orvctl::RequestSettings& settings);

  std::mutex mutex_;
  std::multimap<std::string, Kept> kept_;
};

}  // namespace orv_exporter
