// The one logging call every layer uses: category, level, printf format.
// Lines are written only when the category logger's mask has the level's bit;
// the root logger "All" starts with mask 0, so by default nothing is written
// (ORV_LOG_MASK / ORV_LOG_FILE or the calls of orv/orv_log.hpp switch it on).
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <mutex>

namespace orv::log {

enum Level : uint32_t {
  kError = 1,
  kWarn = 2,
  kInfo = 4,
  kDebug = 8,
  kTrace = 16,
  kAll = 31,
};

class CQelLogger;

// Returns 0, the last failing sink's code, or the manager's error. Cheap when
// the category's mask filters the line out: no formatting, no allocation.
int32_t qel_log(const char* category, uint32_t level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int32_t qel_vlog(const char* category, uint32_t level, const char* format, va_list args);

// A module's handle to its category's logger, made on first use (check,
// lock, check again, create) and read without the lock afterwards. Meant as
// a static object:
//   constinit orv::log::ModuleLogger g_log("socket");
//   g_log.log(orv::log::kTrace, "[%s] enter.", __func__);
class ModuleLogger {
 public:
  explicit constexpr ModuleLogger(const char* category) : category_(category) {}
  ModuleLogger(const ModuleLogger&) = delete;
  ModuleLogger& operator=(const ModuleLogger&) = delete;

  // The logger, or null with the manager's error in *result.
  CQelLogger* get(int32_t* result = nullptr);
  // Whether a line of this level would be written.
  bool enabled(uint32_t level);
  int32_t log(uint32_t level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  int32_t vlog(uint32_t level, const char* format, va_list args);

 private:
  const char* const category_;
  std::atomic<CQelLogger*> logger_{nullptr};
  std::mutex mutex_;
};

}  // namespace orv::log
