#include "log/log.h"

#include "log/category_cache.h"
#include "log/logger.h"
#include "result_codes.h"

namespace orv::log {
namespace {

constinit CategoryCache g_categories;

}  // namespace

int32_t qel_vlog(const char* category, uint32_t level, const char* format, va_list args) {
  int32_t rc = kOk;
  CQelLogger* logger = g_categories.find(category, &rc);
  if (logger == nullptr) return rc;
  return logger->vlog(level, format, args);
}

int32_t qel_log(const char* category, uint32_t level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t rc = qel_vlog(category, level, format, args);
  va_end(args);
  return rc;
}

}  // namespace orv::log
