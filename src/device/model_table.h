// The supported printer family: its sysObjectID prefix and the model table
// that discovery names found printers from.
#pragma once

#include <cstddef>

namespace orv::device {

// sysObjectID prefix of the family (36 characters).
inline constexpr const char kFamilyPrefix[] = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6";
inline constexpr std::size_t kFamilyPrefixLength = sizeof(kFamilyPrefix) - 1;
static_assert(kFamilyPrefixLength == 36);

// MIB-II sysObjectID.
inline constexpr const char kSysObjectIdOid[] = "1.3.6.1.2.1.1.2";

struct ModelRow {
  const char* prefix;  // sysObjectID prefix
  const char* model;   // model name
};

// Rows end with a row whose texts are null.
extern const ModelRow kModelTable[];

// True when `oid` begins with `prefix` and ends there or continues with ".".
bool oid_under_prefix(const char* oid, const char* prefix);

// The first row of `table` whose prefix the sysObjectID lies under, or null.
const ModelRow* match_model(const ModelRow* table, const char* sys_object_id);

}  // namespace orv::device
