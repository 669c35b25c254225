// Turns the --log-mask / --log-file switches into the environment variables
// the library reads when it writes its first log line.
#pragma once

#include "command.h"

namespace orvctl {

inline constexpr const char* kLogMaskVariable = "ORV_LOG_MASK";
inline constexpr const char* kLogFileVariable = "ORV_LOG_FILE";
inline constexpr uint32_t kLogAllLevels = 31;

// Returns false (after a message on standard error) when the environment
// could not be set. Leaves the environment alone when neither switch is given,
// so a mask exported by the user still applies.
bool apply_log_settings(const CommonOptions& common);

// Whether the library, given these values of its two variables, writes its
// log lines on standard output: a mask is set (any text but zero) and no file.
bool library_logs_to_stdout(const char* mask_text, const char* file_text);

}  // namespace orvctl
