// The model names and sysObjectIDs of the printers seen so far, by address
// and the view asked for (community, or SNMPv3 user and context: one agent
// may show another printer to each). The public interface names them only in
// discovery, so a probe of a printer no search has reported asks it once with
// a search sent to its own address, and the answer is kept here.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "printer_search.h"

namespace orv_exporter {

class ModelBook {
 public:
  std::optional<orvctl::FoundPrinter> find(const std::string& address,
                                           const orvctl::RequestSettings& view) const {
    std::lock_guard lock(mutex_);
    const auto found = printers_.find(key(address, view));
    if (found == printers_.end()) return std::nullopt;
    return found->second;
  }
  void remember(const orvctl::FoundPrinter& printer, const orvctl::RequestSettings& view) {
    std::lock_guard lock(mutex_);
    printers_[key(printer.address, view)] = printer;
  }

 private:
  using Key = std::tuple<std::string, std::string, std::string, std::string>;
  static Key key(const std::string& address, const orvctl::RequestSettings& view) {
    return {address, view.v3.enabled() ? std::string() : view.community, view.v3.user,
            view.v3.context};
  }

  mutable std::mutex mutex_;
  std::map<Key, orvctl::FoundPrinter> printers_;
};

}  // namespace orv_exporter
