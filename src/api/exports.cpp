// The exported functions: argument checks, protocol mapping, and
// forwarding to the handle and its parts; no exception leaves them
// (boundary.h). Checks run in this order:
// handle and the export's required pointers, then the protocol or selector,
// then "is a device open".
#include <cstring>
#include <memory>
#include <new>

#include "api/boundary.h"
#include "api/plugin_handle.h"
#include "device/text_copy.h"
#include "net/address_resolver.h"
#include "orv/orv.h"
#include "orv/orv_ext.h"
#include "result_codes.h"

using orv::kErrInvalidArg;
using orv::kErrNoDevice;
using orv::kErrNoMemory;
using orv::kErrNotSupported;
using orv::kInitHandleNoMemory;
using orv::kOk;
using orv::api::at_boundary;
using orv::api::COrvPluginHandle;
using orv::api::guarded;
using orv::api::guarded_void;
using orv::api::map_protocol;

namespace {

COrvPluginHandle* as_handle(OrvHandle handle) { return static_cast<COrvPluginHandle*>(handle); }

// The option getters: pointers first, then the option object.
template <typename Out>
int32_t get_option_value(OrvHandle handle, const char* key, uint16_t index, Out* out) {
  if (handle == nullptr || key == nullptr) return kErrInvalidArg;
  COrvPluginHandle* h = as_handle(handle);
  if (h->m_pOption == nullptr) return kErrNoDevice;
  // The unsigned 16-bit index widens to the class's signed index.
  return static_cast<int32_t>(h->m_pOption->get_option(key, out, static_cast<int>(index)));
}

// The status exports: pointers checked by the caller, then the status reader.
orv::status::COrvDeviceStatus* status_of(OrvHandle handle) {
  return as_handle(handle)->m_pStatus.get();
}

// Whether the process-wide address resolver reports a usable local
// interface for the internal protocol code: status 0 and "yes"; any failure
// answers false.
bool transport_usable(int32_t internal_code) {
  return orv::qel_transport_available(static_cast<orv::IQelNetworkAddress::EProtocol>(internal_code));
}

}  // namespace

extern "C" {

// ---------------------------------------------------------------------------
// Handle life and commands.

int32_t OrvInit(OrvHandle* out) {
  return guarded([&]() -> int32_t {
    if (out == nullptr) return kErrInvalidArg;
    // Released with whatever it holds unless it is handed out.
    std::unique_ptr<COrvPluginHandle> h(new (std::nothrow) COrvPluginHandle());
    if (h == nullptr) return kInitHandleNoMemory;
    if (h->create_parts() != kOk) return kErrNoMemory;
    *out = h.release();
    return kOk;
  });
}

void OrvUnInit(OrvHandle handle) {
  guarded_void([&] {
    if (handle == nullptr) return;
    delete as_handle(handle);
  });
}

int32_t OrvCommandString(OrvHandle handle, const char* command, const char* value) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || command == nullptr || value == nullptr) return kErrInvalidArg;
    COrvPluginHandle* h = as_handle(handle);
    char* field = nullptr;
    if (std::strcmp(command, "CmdSetCommunityGetOption") == 0) {
      field = h->m_getOptionCommunity;
    } else if (std::strcmp(command, "CmdSetCommunityFind") == 0) {
      field = h->m_findCommunity;
    } else if (std::strcmp(command, "CmdSetCommunityWrite") == 0) {
      field = h->m_writeCommunity;
    } else {
      return kErrNotSupported;
    }
    // The field holds 255 characters; a longer value is refused.
    if (strnlen(value, ORV_COMMUNITY_SIZE) >= ORV_COMMUNITY_SIZE) return kErrInvalidArg;
    orv::device::copy_text(field, ORV_COMMUNITY_SIZE, value);
    return kOk;
  });
}

int32_t OrvCommandInteger(OrvHandle handle, int32_t /*command*/, int32_t* value) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || value == nullptr) return kErrInvalidArg;
    return kErrNotSupported;  // no integer command exists
  });
}

// ---------------------------------------------------------------------------
// Device opening and options.

int32_t OrvInitDeviceEx(OrvHandle handle, const char* address, int32_t protocol,
                        int32_t security_model, const OrvUSMParameters* usm, uint32_t timeout_ms,
                        uint32_t retries) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || address == nullptr) return kErrInvalidArg;
    const int32_t code = map_protocol(protocol);
    if (code < 0) return kErrInvalidArg;
    return as_handle(handle)->open(address, code, security_model, usm, timeout_ms, retries, 0);
  });
}

int32_t OrvInitDevice(OrvHandle handle, const char* address, int32_t protocol,
                      uint32_t timeout_ms, uint32_t retries) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || address == nullptr) return kErrInvalidArg;
    if (map_protocol(protocol) < 0) return kErrInvalidArg;
    OrvUSMParameters zero;
    std::memset(&zero, 0, sizeof zero);
    return OrvInitDeviceEx(handle, address, protocol, 0, &zero, timeout_ms, retries);
  });
}

int16_t OrvIsSupportedOID(OrvHandle handle, const char* oid) {
  return at_boundary<int16_t>(0, 0, [&]() -> int16_t {
    if (handle == nullptr) return -2;
    COrvPluginHandle* h = as_handle(handle);
    if (h->m_pOption == nullptr) return 0;
    return h->m_pOption->is_supported_OID(oid) ? 1 : 0;
  });
}

int32_t OrvRefreshOptions(OrvHandle handle) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr) return kErrInvalidArg;
    COrvPluginHandle* h = as_handle(handle);
    if (h->m_pOption == nullptr) return kErrNoDevice;
    return static_cast<int32_t>(h->m_pOption->refresh_options());
  });
}

int32_t OrvGetOptionValueBoolean(OrvHandle handle, const char* key, uint16_t index, int16_t* out) {
  return guarded([&]() -> int32_t {
    if (out == nullptr) return kErrInvalidArg;
    bool value = false;
    const int32_t rc = get_option_value(handle, key, index, &value);
    if (rc == kOk) *out = value ? 1 : 0;
    return rc;
  });
}

int32_t OrvGetOptionValueInteger(OrvHandle handle, const char* key, uint16_t index, int32_t* out) {
  return guarded([&]() -> int32_t {
    if (out == nullptr) return kErrInvalidArg;
    long value = 0;
    const int32_t rc = get_option_value(handle, key, index, &value);
    if (rc == kOk) *out = static_cast<int32_t>(value);
    return rc;
  });
}

int32_t OrvGetOptionValueUInteger(OrvHandle handle, const char* key, uint16_t index,
                                  uint32_t* out) {
  return guarded([&]() -> int32_t {
    if (out == nullptr) return kErrInvalidArg;
    unsigned long value = 0;
    const int32_t rc = get_option_value(handle, key, index, &value);
    if (rc == kOk) *out = static_cast<uint32_t>(value);
    return rc;
  });
}

int32_t OrvGetOptionValueString(OrvHandle handle, const char* key, uint16_t index, char* out) {
  return guarded([&]() -> int32_t {
    if (out == nullptr) return kErrInvalidArg;
    const char* text = nullptr;
    const int32_t rc = get_option_value(handle, key, index, &text);
    if (rc == kOk) std::strcpy(out, text != nullptr ? text : "");
    return rc;
  });
}

// ---------------------------------------------------------------------------
// Discovery.

int32_t OrvFindDeviceSNMPEx(OrvHandle handle, const char* broadcast, int32_t protocol,
                            int32_t security_model, const OrvUSMParameters* usm,
                            uint32_t timeout_ms, uint32_t retries, int32_t* count) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || count == nullptr) return kErrInvalidArg;
    const int32_t code = map_protocol(protocol);
    if (code < 0) return kErrInvalidArg;
    return as_handle(handle)->find(broadcast, code, security_model, usm, timeout_ms, retries, 0,
                                   count);
  });
}

int32_t OrvFindDeviceSNMP(OrvHandle handle, const char* broadcast, int32_t protocol,
                          uint32_t timeout_ms, uint32_t retries, int32_t* count) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || count == nullptr) return kErrInvalidArg;
    if (map_protocol(protocol) < 0) return kErrInvalidArg;
    OrvUSMParameters zero;
    std::memset(&zero, 0, sizeof zero);
    return OrvFindDeviceSNMPEx(handle, broadcast, protocol, 0, &zero, timeout_ms, retries, count);
  });
}

int32_t OrvFindAddFilter(OrvHandle handle, const char* filter) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || filter == nullptr) return kErrInvalidArg;
    as_handle(handle)->m_pFinder->add_filter(filter);
    return kOk;
  });
}

void OrvFindClearFilter(OrvHandle handle) {
  guarded_void([&] {
    if (handle == nullptr) return;
    as_handle(handle)->m_pFinder->clear_filters();
  });
}

void OrvFindResetPosition(OrvHandle handle) {
  guarded_void([&] {
    if (handle == nullptr) return;
    as_handle(handle)->m_pFinder->reset_position();
  });
}

int16_t OrvGetDeviceNext(OrvHandle handle, char* address, char* model, char* reserved,
                         char* sys_object_id) {
  return at_boundary<int16_t>(0, 0, [&]() -> int16_t {
    if (handle == nullptr || address == nullptr || model == nullptr || reserved == nullptr ||
        sys_object_id == nullptr) {
      return 0;
    }
    return as_handle(handle)->m_pFinder->next_device(address, model, reserved, sys_object_id) ? 1
                                                                                            : 0;
  });
}

// ---------------------------------------------------------------------------
// Status.

#define ORV_COUNT_EXPORT(name, operation)                               \
  int32_t name(OrvHandle handle, int32_t* count) {                      \
    return guarded([&]() -> int32_t {                                   \
      if (handle == nullptr || count == nullptr) return kErrInvalidArg; \
      orv::status::COrvDeviceStatus* s = status_of(handle);             \
      if (s == nullptr) return kErrNoDevice;                            \
      return s->operation(count);                                       \
    });                                                                 \
  }

#define ORV_RECORD_EXPORT(name, Record, operation)                       \
  int32_t name(OrvHandle handle, uint32_t index, Record* record) {       \
    return guarded([&]() -> int32_t {                                    \
      if (handle == nullptr || record == nullptr) return kErrInvalidArg; \
      orv::status::COrvDeviceStatus* s = status_of(handle);              \
      if (s == nullptr) return kErrNoDevice;                             \
      return s->operation(index, record);                                \
    });                                                                  \
  }

ORV_COUNT_EXPORT(OrvGetNumberOfStorageInfo, count_storage)
ORV_COUNT_EXPORT(OrvGetNumberOfDeviceInfo, count_devices)
ORV_COUNT_EXPORT(OrvGetNumberOfInputTrayInfo, count_input_trays)
ORV_COUNT_EXPORT(OrvGetNumberOfOutputTrayInfo, count_output_trays)
ORV_COUNT_EXPORT(OrvGetNumberOfTonerInfo, count_toners)
ORV_COUNT_EXPORT(OrvGetNumberOfAlertInfo, count_alerts)

int32_t OrvGetNumberOfJobInfo(OrvHandle handle, uint32_t kind, int32_t* count) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || count == nullptr || kind > 2) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = status_of(handle);
    if (s == nullptr) return kErrNoDevice;
    return s->count_jobs(kind, count);
  });
}

ORV_RECORD_EXPORT(OrvGetStorageInfo, OrvStorageInfo, get_storage)
ORV_RECORD_EXPORT(OrvGetDeviceInfo, OrvDeviceInfo, get_device)
ORV_RECORD_EXPORT(OrvGetInputTrayInfo, OrvInputTrayInfo, get_input_tray)
ORV_RECORD_EXPORT(OrvGetOutputTrayInfo, OrvOutputTrayInfo, get_output_tray)
ORV_RECORD_EXPORT(OrvGetTonerInfo, OrvTonerInfo, get_toner)
ORV_RECORD_EXPORT(OrvGetAlertInfo, OrvAlertInfo, get_alert)
ORV_RECORD_EXPORT(OrvGetJobInfo, OrvJobInfo, get_job)

#undef ORV_COUNT_EXPORT
#undef ORV_RECORD_EXPORT

int32_t OrvGetPrinterInfo(OrvHandle handle, OrvPrinterInfo* out) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || out == nullptr) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = status_of(handle);
    if (s == nullptr) return kErrNoDevice;
    return s->printer_status(out);
  });
}

int32_t OrvCancelJob(OrvHandle handle, const char* job_id) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || job_id == nullptr) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = status_of(handle);
    if (s == nullptr) return kErrNoDevice;
    return s->cancel_job(job_id);
  });
}

int32_t OrvGetCharSet(OrvHandle handle, uint32_t kind, int32_t* out) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || out == nullptr || kind > 1) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = status_of(handle);
    if (s == nullptr) return kErrNoDevice;
    return s->char_set(kind, out);
  });
}

int32_t OrvGetJobIdentifier(OrvHandle handle, uint32_t index, char* buffer, uint32_t size) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || buffer == nullptr) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = status_of(handle);
    if (s == nullptr) return kErrNoDevice;
    return s->get_job_identifier(index, buffer, size);
  });
}

// ---------------------------------------------------------------------------
// Transport check.

int16_t OrvTransportAvailable(int32_t protocol) {
  return at_boundary<int16_t>(0, 0, [&]() -> int16_t {
    const int32_t code = map_protocol(protocol);
    if (code < 0 || code == 3) return 0;  // unmapped, or no transport in this library
    return transport_usable(code) ? 1 : 0;
  });
}

}  // extern "C"
