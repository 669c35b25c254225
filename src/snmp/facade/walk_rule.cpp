#include "snmp/facade/walk_rule.h"

#include <cstring>

#include "snmp/message/snmp_tags.h"

namespace orv::facade {
namespace {

// One arc of a dotted text: its digits without leading zeros.
struct Arc {
  const char* digits;
  size_t length;
};

Arc next_arc(const char*& cursor) {
  while (*cursor == '0' && cursor[1] >= '0' && cursor[1] <= '9') ++cursor;
  Arc arc{cursor, 0};
  while (cursor[arc.length] != '\0' && cursor[arc.length] != '.') ++arc.length;
  cursor += arc.length;
  if (*cursor == '.') ++cursor;
  return arc;
}

int compare_arcs(const Arc& a, const Arc& b) {
  if (a.length != b.length) return a.length < b.length ? -1 : 1;
  return std::memcmp(a.digits, b.digits, a.length);
}

}  // namespace

bool oid_lies_below(const char* oid, const char* root) {
  const size_t n = std::strlen(root);
  return std::strncmp(oid, root, n) == 0 && oid[n] == '.' && oid[n + 1] != '\0';
}

int32_t exhausted_binding(int32_t error_status, int32_t error_index, uint32_t asked) {
  if (error_status != kErrorStatusNoSuchName) return -1;
  if (error_index < 2 || static_cast<uint32_t>(error_index) > asked) return -1;
  return error_index - 1;
}

int compare_oid_arcs(const char* a, const char* b) {
  while (*a != '\0' && *b != '\0') {
    const int order = compare_arcs(next_arc(a), next_arc(b));
    if (order != 0) return order;
  }
  if (*a == '\0' && *b == '\0') return 0;
  return *a == '\0' ? -1 : 1;
}

WalkStep walk_row_verdict(const char* root, const char* asked, const char* answered,
                          int32_t error_status) {
  if (error_status == kErrorStatusNoSuchName) return kWalkEnd;
  if (error_status != 0) return kWalkRefused;
  if (root == nullptr || answered == nullptr) return kWalkEnd;
  const bool in_table = oid_lies_below(answered, root) || oid_lies_below(root, answered);
  if (!in_table) return kWalkEnd;
  if (asked != nullptr && compare_oid_arcs(answered, asked) <= 0) return kWalkEnd;
  return kWalkRow;
}

}  // namespace orv::facade
