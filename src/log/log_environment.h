// Switching logging on from outside the program: the level mask and the log
// file come from two environment variables, read once when the process-wide
// manager is made.
#pragma once

#include <cstdint>

namespace orv::log {

class CQelLogManager;

inline constexpr char kLogMaskVariable[] = "ORV_LOG_MASK";
inline constexpr char kLogFileVariable[] = "ORV_LOG_FILE";

// Decimal ("31") or hexadecimal with "0x"/"0X" ("0x1f"); surrounding blanks
// allowed. False (and *mask untouched) for anything else or a value above 32 bits.
bool parse_log_mask(const char* text, uint32_t* mask);

// With a file path (non-empty) the root gets that file's sink; otherwise a
// usable non-zero mask gives it the standard-output sink. Then the root takes
// the mask. An unusable mask text leaves the mask at 0.
void apply_log_environment(CQelLogManager& manager, const char* mask_text, const char* file_path);

// The same steps for a host that configures logging in code; they reach the
// root and every logger made so far (later ones inherit from the root).
int32_t set_mask_everywhere(CQelLogManager& manager, uint32_t mask);
int32_t attach_stdout_everywhere(CQelLogManager& manager);
int32_t attach_file_everywhere(CQelLogManager& manager, const char* path, uint32_t max_size);

}  // namespace orv::log
