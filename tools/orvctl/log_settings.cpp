#include "log_settings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace orvctl {

bool apply_log_settings(const CommonOptions& common) {
  std::optional<uint32_t> mask = common.log_mask;
  // A log file without a mask would stay empty; the user clearly wants lines.
  if (!mask && !common.log_file.empty()) mask = kLogAllLevels;
  if (mask && setenv(kLogMaskVariable, std::to_string(*mask).c_str(), 1) != 0) {
    std::perror("orvctl: setenv ORV_LOG_MASK");
    return false;
  }
  if (!common.log_file.empty() && setenv(kLogFileVariable, common.log_file.c_str(), 1) != 0) {
    std::perror("orvctl: setenv ORV_LOG_FILE");
    return false;
  }
  return true;
}

}  // namespace orvctl
