#include "device/model_table.h"

#include <cstring>

namespace orv::device {

const ModelRow kModelTable[] = {
    {kFamilyPrefix, "Verdane 8300"},
    {nullptr, nullptr},
};

bool oid_under_prefix(const char* oid, const char* prefix) {
  if (oid == nullptr || prefix == nullptr) return false;
  const std::size_t n = std::strlen(prefix);
  if (std::strncmp(oid, prefix, n) != 0) return false;
  return oid[n] == '\0' || oid[n] == '.';
}

const ModelRow* match_model(const ModelRow* table, const char* sys_object_id) {
  if (table == nullptr || sys_object_id == nullptr) return nullptr;
  for (const ModelRow* row = table; row->prefix != nullptr; ++row) {
    if (oid_under_prefix(sys_object_id, row->prefix)) return row;
  }
  return nullptr;
}

}  // namespace orv::device
