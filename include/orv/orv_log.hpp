// Switching the library's diagnostic log on from a host program.
//
// Without any call here the library writes nothing. Two ways to turn it on:
//  - environment, read once when the library first logs or is configured:
//      ORV_LOG_MASK  level mask, decimal ("31") or hexadecimal ("0x1f")
//      ORV_LOG_FILE  path of the log file; without it lines go to standard output
//    (both ignored in a set-user-id or set-group-id process)
//  - these calls, which apply to every logger already made and to all later ones.
// Every call returns 0 or a negative result code.
#pragma once

#include <cstdint>

#include "orv/orv.h"

namespace orv::log {

// Level bits of a mask.
inline constexpr uint32_t kMaskError = 1;
inline constexpr uint32_t kMaskWarn = 2;
inline constexpr uint32_t kMaskInfo = 4;
inline constexpr uint32_t kMaskDebug = 8;
inline constexpr uint32_t kMaskTrace = 16;
inline constexpr uint32_t kMaskAll = 31;

// Line flags: which of the leading columns carry values (the others are blank).
inline constexpr uint32_t kLineTimeStamp = 1;
inline constexpr uint32_t kLineProcessId = 2;
inline constexpr uint32_t kLineThreadId = 4;
inline constexpr uint32_t kLineAllFields = 7;

inline constexpr uint32_t kDefaultMaxLogFileSize = 4194304;  // 4 MiB

// Level mask of every logger; 0 switches logging off.
ORV_EXPORT int32_t set_log_mask(uint32_t mask);
// Level mask of one category ("Orv", "snmp", "socket", ...) only.
ORV_EXPORT int32_t set_category_log_mask(const char* category, uint32_t mask);
// Line flags of every logger (kLine* bits).
ORV_EXPORT int32_t set_log_line_flags(uint32_t flags);
// Radix of process and thread ids: 10 or 16, anything else gives -2.
ORV_EXPORT int32_t set_log_id_radix(uint32_t radix);
// Sends every logger's lines to standard output as well (once, however often called).
ORV_EXPORT int32_t attach_stdout_log();
// Sends every logger's lines to the file at path as well; when the file would
// pass max_size bytes it becomes "<path>.bak" and a new file is started.
// Calling again with the same path only updates the maximum size.
ORV_EXPORT int32_t attach_file_log(const char* path, uint32_t max_size = kDefaultMaxLogFileSize);

}  // namespace orv::log
