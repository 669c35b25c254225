// The exports of orv_ext.h for markers, supplies and the overall printer
// state: the same checks, in the same order, as the status exports of orv.h.
#include "api/boundary.h"
#include "api/plugin_handle.h"
#include "orv/orv_ext.h"
#include "result_codes.h"
#include "status/device_status.h"
#include "status/printer_state.h"

using orv::kErrInvalidArg;
using orv::kErrNoDevice;
using orv::api::at_boundary;
using orv::api::COrvPluginHandle;
using orv::api::guarded;

namespace {

// Pointers are the caller's to check; nullptr before an open.
orv::status::COrvDeviceStatus* opened_status(OrvHandle handle) {
  return static_cast<COrvPluginHandle*>(handle)->m_pStatus.get();
}

template <typename Operation>
int32_t with_status(OrvHandle handle, const void* out, Operation operation) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || out == nullptr) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = opened_status(handle);
    if (s == nullptr) return kErrNoDevice;
    return operation(*s);
  });
}

}  // namespace

extern "C" {

int32_t OrvGetNumberOfMarkerInfo(OrvHandle handle, int32_t* count) {
  return with_status(handle, count, [&](auto& s) { return s.count_markers(count); });
}

int32_t OrvGetMarkerInfo(OrvHandle handle, uint32_t index, OrvMarkerInfo* record) {
  return with_status(handle, record, [&](auto& s) { return s.get_marker(index, record); });
}

int32_t OrvGetNumberOfSupplyInfo(OrvHandle handle, int32_t* count) {
  return with_status(handle, count, [&](auto& s) { return s.count_supplies(count); });
}

int32_t OrvGetSupplyInfo(OrvHandle handle, uint32_t index, OrvSupplyInfo* record) {
  return with_status(handle, record, [&](auto& s) { return s.get_supply(index, record); });
}

int32_t OrvGetPrinterState(OrvHandle handle, OrvPrinterState* out) {
  return with_status(handle, out, [&](auto& s) { return s.printer_state(out); });
}

const char* OrvPrinterStateName(int32_t state) {
  return at_boundary<const char*>("unknown", "unknown",
                                  [&] { return orv::status::printer_state_name(state); });
}

const char* OrvPrinterConditionName(uint32_t bit) {
  return at_boundary<const char*>(nullptr, nullptr,
                                  [&] { return orv::status::printer_condition_name(bit); });
}

}  // extern "C"
