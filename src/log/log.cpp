// Interim sink-less logger: formats nothing until the log manager lands.
#include "log/log.h"

namespace orv::log {

int32_t qel_vlog(const char*, uint32_t, const char*, va_list) { return 0; }

int32_t qel_log(const char* category, uint32_t level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t rc = qel_vlog(category, level, format, args);
  va_end(args);
  return rc;
}

}  // namespace orv::log
