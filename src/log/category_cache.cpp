#include "log/category_cache.h"

#include <cstring>

#include "log/log_manager.h"
#include "result_codes.h"

namespace orv::log {

CQelLogger* CategoryCache::search(const char* category, size_t from, size_t to) const {
  for (size_t i = from; i < to; ++i) {
    if (std::strcmp(slots_[i].name, category) == 0) return slots_[i].logger;
  }
  return nullptr;
}

CQelLogger* CategoryCache::find(const char* category, int32_t* result) {
  *result = kOk;
  if (category == nullptr) return nullptr;  // qel_log treats it as "nothing to write"
  size_t seen = count_.load(std::memory_order_acquire);
  if (CQelLogger* logger = search(category, 0, seen)) return logger;

  std::lock_guard<std::mutex> lock(mutex_);
  size_t count = count_.load(std::memory_order_relaxed);
  if (CQelLogger* logger = search(category, seen, count)) return logger;
  CQelLogManager* manager = CQelLogManager::instance(result);
  if (manager == nullptr) return nullptr;
  int32_t rc = kOk;
  CQelLogger* logger = manager->get_logger(category, &rc);
  size_t length = std::strlen(category);
  if (rc == kOk && count < kSlots && length <= kMaxNameLength) {
    std::memcpy(slots_[count].name, category, length + 1);
    slots_[count].logger = logger;
    count_.store(count + 1, std::memory_order_release);
  }
  return logger;
}

}  // namespace orv::log
