#include "log/null_sinks.h"

#include "result_codes.h"

namespace orv::log {

int32_t CQelNullStandardSink::query_interface(const char* interface_id, void** out) {
  return query_sink_interface(interface_id, out, this, nullptr);
}

int32_t CQelNullStandardSink::write_line(const char*) { return kOk; }

int32_t CQelNullFileSink::query_interface(const char* interface_id, void** out) {
  return query_sink_interface(interface_id, out, this, this);
}

int32_t CQelNullFileSink::write_line(const char*) { return kOk; }
int32_t CQelNullFileSink::set_max_size(uint32_t) { return kOk; }
int32_t CQelNullFileSink::set_path(const char*) { return kOk; }

// Made on first use and never destroyed: loggers borrow them until the very
// end of the process, static destructors of other modules included.
CQelNullStandardSink* null_standard_sink() {
  static CQelNullStandardSink* const sink = new CQelNullStandardSink();
  return sink;
}

CQelNullFileSink* null_file_sink() {
  static CQelNullFileSink* const sink = new CQelNullFileSink();
  return sink;
}

}  // namespace orv::log
