// Sink printing each line and a newline to standard output.
#pragma once

#include <string>

#include "log/log_sink.h"

namespace orv::log {

class CQelStdoutSink final : public IQelLogSink {
 public:
  explicit CQelStdoutSink(std::string name) : name_(std::move(name)) {}
  int32_t query_interface(const char* interface_id, void** out) override;
  const char* get_type_name() const override { return kStdoutSinkType; }
  const char* get_name() const override { return name_.c_str(); }
  int32_t write_line(const char* line) override;

 private:
  std::string name_;
};

}  // namespace orv::log
