// The fixed layout of one log line, as a pure function of its inputs:
// "<time stamp>, <process id>, <thread id>, <category>, <level text><indent><message>"
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "orv/orv_log.hpp"

namespace orv::log {

inline constexpr size_t kMaxLineLength = 1024;
inline constexpr size_t kIndentWidth = 4;
inline constexpr uint32_t kDefaultIdRadix = 10;
inline constexpr uint32_t kHexIdRadix = 16;
inline constexpr char kNullFormatText[] = "(client was about to output null message...)";

// When and where a line is written; filled from the clock and the process.
struct LineStamp {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  uint32_t process_id = 0;
  uint32_t thread_id = 0;
};

// What the logger contributes to a line.
struct LineHeader {
  uint32_t flags = kLineAllFields;
  uint32_t radix = kDefaultIdRadix;
  const char* category = "";
  uint32_t level = 0;
  const char* indent = "";  // the indentation text itself
};

// "Error, ", "Warn , ", ... for a single level (or All); "" for any other value.
const char* level_text(uint32_t level);

// Indentation text for a nesting level: four spaces per level, never longer
// than a line can hold.
std::string indent_text(uint32_t indent);

// Builds the line into out (room for kMaxLineLength characters and the
// terminator) and returns its length; longer text is cut. A null format
// writes kNullFormatText as the message.
size_t format_log_line(char (&out)[kMaxLineLength + 1], const LineStamp& stamp,
                       const LineHeader& header, const char* format, va_list args);

// The local time and the calling process and thread.
LineStamp current_line_stamp();

}  // namespace orv::log
