// When a GETNEXT table walk takes a response as a row and when it ends.
#pragma once

#include <cstdint>

namespace orv::facade {

// Orders two dotted OID texts by their arc values ("1.9" before "1.10"),
// a prefix before its continuations: negative, 0 or positive.
int compare_oid_arcs(const char* a, const char* b);

// Whether `oid` lies below `root` (the root's text, a dot and more).
bool oid_lies_below(const char* oid, const char* root);

enum WalkStep : int32_t {
  kWalkRow = 0,      // the response is a row of the table: keep it, go on
  kWalkEnd = 1,      // the table is done: the walk ends with success
  kWalkRefused = 2,  // the agent refused the GETNEXT: the walk fails
};

// The most rows one walk keeps; an agent that answers more (one that keeps
// inventing increasing OIDs) fails the walk instead of growing it forever.
inline constexpr uint32_t kWalkRowLimit = 10000;

// `root` is the walked table, `asked` the first OID the GETNEXT carried
// (the previous row's, or the first column), `answered` the first OID of
// the response and `error_status` the response's. A row lies below the
// root (or is a proper prefix of it) and advances past what was asked.
// noSuchName (an SNMPv1 agent past its last object) or an answer that does
// not advance ends the walk, so it ends on every agent; any other
// error-status refuses it, so rows the agent failed to give are not taken
// for the end of the table.
WalkStep walk_row_verdict(const char* root, const char* asked, const char* answered,
                          int32_t error_status);

// SNMPv1 answers a whole GETNEXT with noSuchName when one of its columns
// reaches the end of the agent's view. When `error_index` names a binding
// other than the first of the `asked` ones, the step is repeated without
// it: its index from 0. -1 when the answer ends the walk (the first column
// ran out, or the index names no binding).
int32_t exhausted_binding(int32_t error_status, int32_t error_index, uint32_t asked);

}  // namespace orv::facade
