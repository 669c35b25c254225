// OBJECT IDENTIFIER contents from and to arcs: the encoder writes an OID's
// arcs backwards as it goes, the decoder reads sub-identifiers straight
// into arcs. Dotted text that has no arc form is parsed on the way out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "snmp/message/ber_writer.h"

namespace orv {

enum class OidPutStatus {
  kOk,
  kOneArc,         // a single arc has no BER form
  kBadFirstArcs,   // first above 2, second of 40 or more under 0 or 1, or beyond 32 bits
  kNotNumeric,     // an empty arc, a character other than digits and dots, an arc beyond 32 bits
};

// Writes the contents for `count` arcs (none for the empty OID) backwards
// and stores their size in `*content`. Nothing is guaranteed about the
// writer's bytes unless kOk is returned.
OidPutStatus ber_put_oid_arcs(BerWriter& writer, const uint32_t* arcs, size_t count, size_t* content);
// The same for dotted text (length `length`, "" for the empty OID).
OidPutStatus ber_put_oid_text(BerWriter& writer, const char* text, size_t length, size_t* content);

// Room ber_get_oid_arcs() may need for `count` content bytes: each byte
// ends at most one sub-identifier, and the first stands for two arcs.
inline size_t ber_oid_arcs_room(size_t count) { return count + 1; }

enum class OidContentStatus {
  kOk,
  kOpenEnd,      // the last sub-identifier runs past the contents
  kTooLarge,     // a sub-identifier beyond 32 bits
};

// Reads the contents into `arcs` (room ber_oid_arcs_room) and stores their
// number in `*arc_count`; empty contents give no arcs.
OidContentStatus ber_get_oid_arcs(const uint8_t* data, size_t count, uint32_t* arcs, size_t* arc_count);

}  // namespace orv
