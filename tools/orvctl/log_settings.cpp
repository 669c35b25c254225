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

bool library_logs_to_stdout(const char* mask_text, const char* file_text) {
  if (file_text != nullptr && *file_text != '\0') return false;
  if (mask_text == nullptr || *mask_text == '\0') return false;
  // Text the library might not read as a number still counts as on: moving
  // the log aside when it is in fact off costs nothing.
  char* end = nullptr;
  const unsigned long mask = std::strtoul(mask_text, &end, 0);
  return mask != 0 || *end != '\0';
}

}  // namespace orvctl
