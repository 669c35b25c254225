#include "log/logger.h"

#include <algorithm>

#include "result_codes.h"

namespace orv::log {

CQelLogger::CQelLogger(std::string name, Kind kind) : name_(std::move(name)), kind_(kind) {}

int32_t CQelLogger::log(uint32_t level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t rc = vlog(level, format, args);
  va_end(args);
  return rc;
}

int32_t CQelLogger::vlog(uint32_t level, const char* format, va_list args) {
  if (!enabled(level)) return kOk;
  std::lock_guard<std::mutex> lock(mutex_);
  // The mask may have changed since the unlocked test.
  if ((mask_.load(std::memory_order_relaxed) & level) == 0 || sinks_.empty()) return kOk;
  LineHeader header;
  header.flags = flags_;
  header.radix = radix_;
  header.category = name_.c_str();
  header.level = level;
  header.indent = indent_text_.c_str();
  char line[kMaxLineLength + 1];
  format_log_line(line, current_line_stamp(), header, format, args);
  int32_t result = kOk;
  for (IQelLogSink* sink : sinks_) {
    int32_t rc = sink->write_line(line);
    if (rc != kOk) result = rc;
  }
  return result;
}

int32_t CQelLogger::set_mask(uint32_t mask) {
  if (kind_ == Kind::kDiscarding) return kOk;
  std::lock_guard<std::mutex> lock(mutex_);
  mask_.store(mask, std::memory_order_relaxed);
  return kOk;
}

int32_t CQelLogger::set_indent(uint32_t indent) {
  std::string text = indent_text(indent);
  std::lock_guard<std::mutex> lock(mutex_);
  indent_ = indent;
  indent_text_ = std::move(text);
  return kOk;
}

int32_t CQelLogger::set_line_flags(uint32_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  flags_ = flags;
  return kOk;
}

int32_t CQelLogger::set_radix(uint32_t radix) {
  if (radix != kDefaultIdRadix && radix != kHexIdRadix) return kErrInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  radix_ = radix;
  return kOk;
}

int32_t CQelLogger::attach_sink(IQelLogSink* sink) {
  if (sink == nullptr) return kErrInvalidArg;
  if (kind_ == Kind::kDiscarding) return kOk;
  std::lock_guard<std::mutex> lock(mutex_);
  if (std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
  return kOk;
}

void CQelLogger::inherit_from(const CQelLogger& root) {
  if (&root == this || kind_ == Kind::kDiscarding) return;
  std::scoped_lock lock(mutex_, root.mutex_);
  mask_.store(root.mask_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  indent_ = root.indent_;
  indent_text_ = root.indent_text_;
  flags_ = root.flags_;
  radix_ = root.radix_;
  sinks_ = root.sinks_;
}

uint32_t CQelLogger::indent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return indent_;
}

uint32_t CQelLogger::line_flags() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return flags_;
}

uint32_t CQelLogger::radix() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radix_;
}

std::vector<IQelLogSink*> CQelLogger::sinks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sinks_;
}

}  // namespace orv::log
