// OBJECT IDENTIFIER contents straight from and to the dotted text that OID
// values keep, with no arc array in between: the encoder parses the text
// backwards while it writes, the decoder prints the arcs as it reads them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "snmp/message/ber_writer.h"

namespace orv {

enum class OidTextStatus {
  kOk,
  kOneArc,         // a single arc has no BER form
  kBadFirstArcs,   // first above 2, second of 40 or more under 0 or 1, or beyond 32 bits
  kNotNumeric,     // an empty arc, a character other than digits and dots, an arc beyond 32 bits
};

// Writes the contents for `text` (length `length`, "" for the empty OID)
// backwards and stores their size in `*content`. Nothing is guaranteed about
// the writer's bytes unless kOk is returned.
OidTextStatus ber_put_oid_text(BerWriter& writer, const char* text, size_t length, size_t* content);

// Text room that ber_oid_text() may need for `count` content bytes.
inline size_t ber_oid_text_room(size_t count) { return 4 * count + 16; }

enum class OidContentStatus {
  kOk,
  kOpenEnd,      // the last sub-identifier runs past the contents
  kTooLarge,     // a sub-identifier beyond 32 bits
};

// Prints the contents as dotted text into `text` (room ber_oid_text_room)
// and stores its length in `*length`; empty contents give "".
OidContentStatus ber_oid_text(const uint8_t* data, size_t count, char* text, size_t* length);

}  // namespace orv
