#include "log/stdout_sink.h"

#include <cstdio>

#include "result_codes.h"

namespace orv::log {

int32_t CQelStdoutSink::query_interface(const char* interface_id, void** out) {
  return query_sink_interface(interface_id, out, this, nullptr);
}

int32_t CQelStdoutSink::write_line(const char* line) {
  if (line == nullptr) return kErrInvalidArg;
  // One stdio lock around line and newline: loggers sharing this sink from
  // different threads never split each other's lines.
  flockfile(stdout);
  fputs_unlocked(line, stdout);
  fputc_unlocked('\n', stdout);
  int failed = fflush_unlocked(stdout);
  funlockfile(stdout);
  return failed != 0 ? kErrPlatform : kOk;
}

}  // namespace orv::log
