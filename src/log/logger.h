// One named logger: filters by level mask, builds the line, hands it to its
// sinks in order. Everything but the mask test runs under the logger's lock,
// so lines of one logger are never interleaved.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "log/line_format.h"
#include "log/log_sink.h"

namespace orv::log {

class CQelLogger {
 public:
  enum class Kind { kNormal, kDiscarding };
  // A discarding logger ignores mask changes and sinks: it never writes.
  explicit CQelLogger(std::string name, Kind kind = Kind::kNormal);
  CQelLogger(const CQelLogger&) = delete;
  CQelLogger& operator=(const CQelLogger&) = delete;

  const std::string& name() const { return name_; }

  // Cheap and lock-free: whether a line of this level would be written.
  bool enabled(uint32_t level) const {
    return (mask_.load(std::memory_order_relaxed) & level) != 0;
  }

  // 0 (also when filtered out), or the last non-zero result of a sink.
  int32_t log(uint32_t level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  int32_t vlog(uint32_t level, const char* format, va_list args);

  int32_t set_mask(uint32_t mask);
  int32_t set_indent(uint32_t indent);
  int32_t set_line_flags(uint32_t flags);
  // 10 or 16; anything else is refused with kErrInvalidArg.
  int32_t set_radix(uint32_t radix);
  // Appends the sink; a sink already attached is not added twice.
  int32_t attach_sink(IQelLogSink* sink);

  // Takes mask, indent, line flags, radix and sinks (in order) from another logger.
  void inherit_from(const CQelLogger& root);

  uint32_t mask() const { return mask_.load(std::memory_order_relaxed); }
  uint32_t indent() const;
  uint32_t line_flags() const;
  uint32_t radix() const;
  std::vector<IQelLogSink*> sinks() const;

 private:
  const std::string name_;
  const Kind kind_;
  mutable std::mutex mutex_;
  std::atomic<uint32_t> mask_{0};
  uint32_t indent_ = 0;
  std::string indent_text_;
  uint32_t flags_ = kLineAllFields;
  uint32_t radix_ = kDefaultIdRadix;
  std::vector<IQelLogSink*> sinks_;
};

}  // namespace orv::log
