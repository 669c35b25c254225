// Lock-free lookup of the loggers behind qel_log's category names: a short
// table filled once per name under a lock (check, lock, check again, add) and
// searched without it afterwards, so a filtered-out call costs a few string
// compares and a mask test.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace orv::log {

class CQelLogger;

class CategoryCache {
 public:
  static constexpr size_t kSlots = 32;
  static constexpr size_t kMaxNameLength = 63;

  // The category's logger, or null with the manager's error in *result.
  // Names past the table's room or length are still served, just not cached.
  CQelLogger* find(const char* category, int32_t* result);

 private:
  struct Slot {
    char name[kMaxNameLength + 1];
    CQelLogger* logger;
  };
  CQelLogger* search(const char* category, size_t from, size_t to) const;

  Slot slots_[kSlots] = {};
  std::atomic<size_t> count_{0};  // slots below it are complete and never change
  std::mutex mutex_;
};

}  // namespace orv::log
