#include "log/log.h"
#include "log/log_manager.h"
#include "log/logger.h"
#include "result_codes.h"

namespace orv::log {

CQelLogger* ModuleLogger::get(int32_t* result) {
  CQelLogger* logger = logger_.load(std::memory_order_acquire);
  if (logger == nullptr) {
    std::lock_guard<std::mutex> lock(mutex_);
    logger = logger_.load(std::memory_order_relaxed);
    if (logger == nullptr) {
      int32_t rc = kOk;
      CQelLogManager* manager = CQelLogManager::instance(&rc);
      if (manager == nullptr) {
        if (result != nullptr) *result = rc;
        return nullptr;
      }
      logger = manager->get_logger(category_, &rc);
      // A stand-in logger is not kept: the next call tries again.
      if (rc != kOk) {
        if (result != nullptr) *result = rc;
        return logger;
      }
      logger_.store(logger, std::memory_order_release);
    }
  }
  if (result != nullptr) *result = kOk;
  return logger;
}

bool ModuleLogger::enabled(uint32_t level) {
  CQelLogger* logger = get();
  return logger != nullptr && logger->enabled(level);
}

int32_t ModuleLogger::log(uint32_t level, const char* format, ...) {
  // A filtered-out line returns before its arguments are taken up.
  CQelLogger* logger = logger_.load(std::memory_order_acquire);
  if (logger != nullptr && !logger->enabled(level)) return kOk;
  va_list args;
  va_start(args, format);
  int32_t rc = vlog(level, format, args);
  va_end(args);
  return rc;
}

int32_t ModuleLogger::vlog(uint32_t level, const char* format, va_list args) {
  int32_t rc = kOk;
  CQelLogger* logger = get(&rc);
  if (logger == nullptr) return rc;
  return logger->vlog(level, format, args);
}

}  // namespace orv::log
