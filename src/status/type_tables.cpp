#include "status/type_tables.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace orv::status {

namespace {

// The code of `oid_text` when it is `prefix` followed by one arc from
// `arcs` (the arc is the code), else 0.
int32_t arc_code(const char* oid_text, const char* prefix, std::initializer_list<int32_t> arcs) {
  if (oid_text == nullptr) return 0;
  const size_t n = std::strlen(prefix);
  if (std::strncmp(oid_text, prefix, n) != 0 || oid_text[n] != '.') return 0;
  for (const int32_t arc : arcs) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", arc);
    if (std::strcmp(oid_text + n + 1, text) == 0) return arc;
  }
  return 0;
}

}  // namespace

int32_t storage_type_code(const char* oid_text) {
  return arc_code(oid_text, "1.3.6.1.2.1.25.2.1", {1, 2, 3, 4, 5, 6, 7, 8});
}

int32_t device_type_code(const char* oid_text) {
  const int32_t standard = arc_code(oid_text, "1.3.6.1.2.1.25.3.1",
                                    {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21});
  if (standard != 0) return standard;
  return arc_code(oid_text, "1.3.6.1.4.1.253.8.52.2",
                  {101, 102, 103, 104, 105, 106, 107, 108, 109, 151, 152, 153, 154, 201, 202, 203,
                   204, 205, 206, 207});
}

int32_t job_type_code(const char* oid_text) {
  return arc_code(oid_text, "1.3.6.1.4.1.253.8.58.2", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
}

}  // namespace orv::status
