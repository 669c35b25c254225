// The one logging call every layer uses: category, level, printf format.
// Lines are written only when the category logger's mask has the level's bit;
// the root logger "All" starts with mask 0, so by default nothing is written.
#pragma once

#include <cstdarg>
#include <cstdint>

namespace orv::log {

enum Level : uint32_t {
  kError = 1,
  kWarn = 2,
  kInfo = 4,
  kDebug = 8,
  kTrace = 16,
  kAll = 31,
};

// Returns 0, the last failing sink's code, or the manager's error.
int32_t qel_log(const char* category, uint32_t level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int32_t qel_vlog(const char* category, uint32_t level, const char* format, va_list args);

}  // namespace orv::log
