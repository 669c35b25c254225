// Pure rules on dotted OID texts: validity, arc count, character-wise order
// and arc reading. The OID value class and the tests use them directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "snmp/smi/arc_array.h"

namespace orv::smi {

// Empty, or arcs of decimal digits separated by single dots, where a leading
// 0 stands alone ("0" is an arc, "01" is not).
bool oid_text_is_valid(const char* text, size_t length);

// 0 for the empty text, else the number of dots plus one.
uint32_t oid_text_arc_count(const char* text, size_t length);

// An OidOrder (0..4) of `a` against `b`, comparing characters.
int32_t oid_text_compare(const char* a, size_t a_length, const char* b, size_t b_length);

// Reads the arc that starts at `*position` and moves `*position` past it
// and its dot. False when the arc is empty, holds a non-digit or exceeds 32
// bits (`*arc` then holds what was read, saturated).
bool oid_text_read_arc(const char* text, size_t length, size_t* position, uint32_t* arc);

enum class OidArcsParse { kOk, kNoArcForm, kNoMemory };

// Appends the arcs of `text` to `arcs` when the text is exactly their
// decimal printing: digits and single dots, no leading zeros, every arc
// within 32 bits ("" appends nothing). Otherwise `arcs` keeps its content.
OidArcsParse oid_text_append_arcs(const char* text, size_t length, ArcArray* arcs);

// The most characters oid_arcs_print() writes for `count` arcs.
inline size_t oid_arcs_text_room(uint32_t count) { return 11 * static_cast<size_t>(count); }

// Prints `count` arcs as dotted text at `out` (no terminator), each behind
// a dot when `dot_first`, else every one but the first; returns the length.
size_t oid_arcs_print(const uint32_t* arcs, uint32_t count, bool dot_first, char* out);

}  // namespace orv::smi
