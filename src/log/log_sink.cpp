#include "log/log_sink.h"

#include "log/interface_id.h"
#include "result_codes.h"

namespace orv::log {

int32_t query_sink_interface(const char* interface_id, void** out, IQelLogSink* sink,
                             IQelFileLogSink* file_view) {
  if (interface_id == nullptr || out == nullptr) return kErrInvalidArg;
  *out = nullptr;
  if (interface_id_matches(interface_id, kBaseObjectInterfaceId) ||
      interface_id_matches(interface_id, kLogSinkInterfaceId)) {
    *out = sink;
    return kOk;
  }
  if (file_view != nullptr && interface_id_matches(interface_id, kFileLogSinkInterfaceId)) {
    *out = file_view;
    return kOk;
  }
  return kErrNoInterface;
}

}  // namespace orv::log
