// Shared sinks that discard every line; handed out where a real sink cannot
// be made (a standard-output or file sink requested without a name or path).
#pragma once

#include "log/log_sink.h"

namespace orv::log {

class CQelNullStandardSink final : public IQelLogSink {
 public:
  int32_t query_interface(const char* interface_id, void** out) override;
  const char* get_type_name() const override { return kNullStandardSinkType; }
  const char* get_name() const override { return kNullStandardSinkType; }
  int32_t write_line(const char*) override;
};

// Stands in for a file sink, so its path and size setters are accepted and ignored.
class CQelNullFileSink final : public IQelFileLogSink {
 public:
  int32_t query_interface(const char* interface_id, void** out) override;
  const char* get_type_name() const override { return kNullFileSinkType; }
  const char* get_name() const override { return kNullFileSinkType; }
  int32_t write_line(const char*) override;
  int32_t set_max_size(uint32_t) override;
  int32_t set_path(const char*) override;
};

// The one process-wide instance of each; never destroyed.
CQelNullStandardSink* null_standard_sink();
CQelNullFileSink* null_file_sink();

}  // namespace orv::log
