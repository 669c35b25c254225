// The model names of the printers seen so far, by address. The public
// interface names a printer's model only in discovery, so a probe of a
// printer no search has reported asks it once with a search sent to its
// own address, and the answer is kept here.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace orv_exporter {

class ModelBook {
 public:
  std::optional<std::string> find(const std::string& address) const {
    std::lock_guard lock(mutex_);
    const auto found = models_.find(address);
    if (found == models_.end()) return std::nullopt;
    return found->second;
  }
  void remember(const std::string& address, const std::string& model) {
    std::lock_guard lock(mutex_);
    models_[address] = model;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> models_;
};

}  // namespace orv_exporter
