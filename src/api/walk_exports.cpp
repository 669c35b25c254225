// The exports of orv_ext.h that save exchanges: bulk walks, job counts
// without texts, and the uptime that tells a host when its cache is stale.
#include "api/boundary.h"
#include "api/plugin_handle.h"
#include "orv/orv_ext.h"
#include "result_codes.h"
#include "status/device_status.h"

using orv::kErrInvalidArg;
using orv::kErrNoDevice;
using orv::kOk;
using orv::api::COrvPluginHandle;
using orv::api::guarded;

extern "C" {

int32_t OrvSetBulkWalk(OrvHandle handle, uint32_t max_repetitions) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr) return kErrInvalidArg;
    COrvPluginHandle* h = static_cast<COrvPluginHandle*>(handle);
    h->m_bulkRepetitions = max_repetitions;
    if (h->m_pStatus != nullptr) h->m_pStatus->set_bulk_repetitions(max_repetitions);
    return kOk;
  });
}

int32_t OrvGetNumberOfJobStates(OrvHandle handle, uint32_t kind, int32_t* count) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || count == nullptr || kind > 2) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = static_cast<COrvPluginHandle*>(handle)->m_pStatus.get();
    if (s == nullptr) return kErrNoDevice;
    return s->count_jobs(kind, count, false);
  });
}

int32_t OrvGetSysUpTime(OrvHandle handle, uint32_t* ticks) {
  return guarded([&]() -> int32_t {
    if (handle == nullptr || ticks == nullptr) return kErrInvalidArg;
    orv::status::COrvDeviceStatus* s = static_cast<COrvPluginHandle*>(handle)->m_pStatus.get();
    if (s == nullptr) return kErrNoDevice;
    return s->sys_up_time(ticks);
  });
}

}  // extern "C"
