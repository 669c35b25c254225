// A destination of finished log lines. Sinks are made and owned by the log
// manager (or are shared process-wide instances); loggers only borrow them.
#pragma once

#include <cstdint>

namespace orv::log {

class IQelLogSink {
 public:
  virtual ~IQelLogSink() = default;
  // Answers the base-object and sink ids (and the file-sink id for file
  // sinks) with this object, any other id with kErrNoInterface.
  virtual int32_t query_interface(const char* interface_id, void** out) = 0;
  virtual const char* get_type_name() const = 0;
  virtual const char* get_name() const = 0;
  // Writes one finished line (without its newline); 0 or a result code.
  virtual int32_t write_line(const char* line) = 0;
};

class IQelFileLogSink : public IQelLogSink {
 public:
  virtual int32_t set_max_size(uint32_t bytes) = 0;
  virtual int32_t set_path(const char* path) = 0;
};

// Type names a sink is created by and answers with.
inline constexpr char kStdoutSinkType[] = "stdout";
inline constexpr char kFileSinkType[] = "file";
inline constexpr char kNullStandardSinkType[] = "null_standard";
inline constexpr char kNullFileSinkType[] = "null_file";

// Property naming the log file path of a file sink (used unchanged).
inline constexpr char kPropertyExtentionName[] = "ExtentionName";

}  // namespace orv::log

namespace orv::log {

// The interface-id answer every sink gives: the sink for the base-object and
// sink ids, file_view (when not null) for the file-sink id, else
// kErrNoInterface with *out cleared; kErrInvalidArg for null arguments.
int32_t query_sink_interface(const char* interface_id, void** out, IQelLogSink* sink,
                             IQelFileLogSink* file_view);

}  // namespace orv::log
