// The codes the status records carry for the type OIDs a printer answers:
// hrStorageType, hrDeviceType and the vendor job type. Exact matches of the
// whole dotted text; anything else is 0.
#pragma once

#include <cstdint>

namespace orv::status {

int32_t storage_type_code(const char* oid_text);
int32_t device_type_code(const char* oid_text);
int32_t job_type_code(const char* oid_text);

}  // namespace orv::status
