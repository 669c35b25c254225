#include "log/line_format.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace orv::log {
namespace {

constexpr char kBlankTimeStamp[] = "                       ";  // as wide as a stamp
constexpr char kBlankId[] = "        ";
constexpr char kSeparator[] = ", ";

// Appends into the fixed line, silently cutting at kMaxLineLength.
class LineWriter {
 public:
  explicit LineWriter(char (&out)[kMaxLineLength + 1]) : out_(out) { out_[0] = '\0'; }

  void text(const char* s) { text(s, std::strlen(s)); }
  void text(const char* s, size_t n) {
    n = std::min(n, room());
    std::memcpy(out_ + length_, s, n);
    length_ += n;
    out_[length_] = '\0';
  }
  void vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int wanted = std::vsnprintf(out_ + length_, room() + 1, format, copy);
    va_end(copy);
    if (wanted > 0) length_ += std::min(static_cast<size_t>(wanted), room());
    out_[length_] = '\0';
  }
  void format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    vformat(format, args);
    va_end(args);
  }
  size_t length() const { return length_; }

 private:
  size_t room() const { return kMaxLineLength - length_; }
  char* out_;
  size_t length_ = 0;
};

void write_id(LineWriter& line, bool shown, uint32_t radix, uint32_t id) {
  if (!shown) {
    line.text(kBlankId);
  } else if (radix == kHexIdRadix) {
    line.format("%08X", id);
  } else {
    line.format("%8d", static_cast<int>(id));
  }
  line.text(kSeparator);
}

}  // namespace

const char* level_text(uint32_t level) {
  switch (level) {
    case kMaskError: return "Error, ";
    case kMaskWarn: return "Warn , ";
    case kMaskInfo: return "Info , ";
    case kMaskDebug: return "Debug, ";
    case kMaskTrace: return "Trace, ";
    case kMaskAll: return "All  , ";
    default: return "";
  }
}

std::string indent_text(uint32_t indent) {
  size_t width = std::min<size_t>(static_cast<size_t>(indent) * kIndentWidth, kMaxLineLength);
  return std::string(width, ' ');
}

size_t format_log_line(char (&out)[kMaxLineLength + 1], const LineStamp& stamp,
                       const LineHeader& header, const char* format, va_list args) {
  LineWriter line(out);
  if (header.flags & kLineTimeStamp) {
    line.format("%04d/%02d/%02d %02d:%02d:%02d:%03d", stamp.year, stamp.month, stamp.day,
                stamp.hour, stamp.minute, stamp.second, stamp.millisecond);
  } else {
    line.text(kBlankTimeStamp);
  }
  line.text(kSeparator);
  write_id(line, header.flags & kLineProcessId, header.radix, stamp.process_id);
  write_id(line, header.flags & kLineThreadId, header.radix, stamp.thread_id);
  line.format("%-16.16s", header.category != nullptr ? header.category : "");
  line.text(kSeparator);
  line.text(level_text(header.level));
  line.text(header.indent != nullptr ? header.indent : "");
  if (format == nullptr) {
    line.text(kNullFormatText);
  } else {
    line.vformat(format, args);
  }
  return line.length();
}

LineStamp current_line_stamp() {
  LineStamp stamp;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  stamp.year = local.tm_year + 1900;
  stamp.month = local.tm_mon + 1;
  stamp.day = local.tm_mday;
  stamp.hour = local.tm_hour;
  stamp.minute = local.tm_min;
  stamp.second = local.tm_sec;
  stamp.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  stamp.process_id = static_cast<uint32_t>(getpid());
  stamp.thread_id = static_cast<uint32_t>(gettid());
  return stamp;
}

}  // namespace orv::log
