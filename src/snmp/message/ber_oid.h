// OBJECT IDENTIFIER contents from and to arcs: the encoder writes an OID's
// arcs backwards as it goes, the decoder reads sub-identifiers straight
// into arcs. Dotted text that has no arc form is parsed on the way out.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "snmp/message/ber_writer.h"

namespace orv {

// Arcs that the readers keep on the stack; longer OIDs go to the heap.
inline constexpr size_t kInlineArcs = 128;

enum class OidPutStatus {
  kOk,
  kOneArc,         // a single arc has no BER form
  kBadFirstArcs,   // first above 2, second of 40 or more under 0 or 1, or beyond 32 bits
  kNotNumeric,     // an empty arc, a character other than digits and dots, an arc beyond 32 bits
};

namespace ber_detail {

// One sub-identifier in base 128, written backwards in front of `p`.
inline uint8_t* put_subid_before(uint8_t* p, uint32_t subid) {
  if (subid < 0x80) {  // most arcs
    *--p = static_cast<uint8_t>(subid);
    return p;
  }
  *--p = static_cast<uint8_t>(subid & 0x7F);
  for (subid >>= 7; subid != 0; subid >>= 7) *--p = static_cast<uint8_t>(0x80 | (subid & 0x7F));
  return p;
}

// Writes the sub-identifiers arcs[first .. end) in front of `p`; returns the
// first byte written. Most arcs are below 128 and take one byte each, so
// two such arcs read as one 64-bit word become two bytes at once.
inline uint8_t* put_subids_before(uint8_t* p, const uint32_t* first, const uint32_t* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kHighBits = 0xFFFFFF80FFFFFF80ull;  // set in a pair holding an arc of 128 or more
    while (end - first >= 2) {
      uint64_t pair;  // arc end-2 in the low half, end-1 in the high half
      std::memcpy(&pair, end - 2, sizeof pair);
      if ((pair & kHighBits) != 0) {
        p = put_subid_before(p, end[-1]);
        p = put_subid_before(p, end[-2]);
      } else {
        const auto two = static_cast<uint16_t>(pair | (pair >> 24));
        p -= 2;
        std::memcpy(p, &two, sizeof two);
      }
      end -= 2;
    }
  }
  while (end != first) p = put_subid_before(p, *--end);
  return p;
}

inline constexpr size_t kMaxSubidBytes = 5;

}  // namespace ber_detail

// Writes the contents for `count` arcs (none for the empty OID) backwards
// and stores their size in `*content`. Nothing is guaranteed about the
// writer's bytes unless kOk is returned.
inline OidPutStatus ber_put_oid_arcs(BerWriter& writer, const uint32_t* arcs, size_t count, size_t* content) {
  *content = 0;
  if (count < 2) return count == 0 ? OidPutStatus::kOk : OidPutStatus::kOneArc;
  const uint32_t first = arcs[0], second = arcs[1];
  if (first < 2 ? second >= 40 : first > 2 || second > UINT32_MAX - 80) return OidPutStatus::kBadFirstArcs;
  const uint32_t head = first * 40 + second;
  if (writer.has_room(ber_detail::kMaxSubidBytes * (count - 1))) {
    // Room for the longest form: no check per byte.
    uint8_t* end = writer.cursor();
    uint8_t* p = ber_detail::put_subids_before(end, arcs + 2, arcs + count);
    p = ber_detail::put_subid_before(p, head);
    writer.move_to(p);
    *content = static_cast<size_t>(end - p);
    return OidPutStatus::kOk;
  }
  size_t written = 0;
  for (size_t i = count - 1; i >= 2; --i) written += writer.put_subid(arcs[i]);
  written += writer.put_subid(head);
  *content = written;
  return OidPutStatus::kOk;
}
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
