#include "snmp/message/ber_oid.h"

#include <bit>
#include <cstring>
#include <new>
#include <vector>

namespace orv {

namespace {

// Arcs of most OIDs fit on the stack; longer texts go to the heap.
constexpr size_t kInlineArcs = 128;

// The arcs of dotted text, read forwards.
OidPutStatus parse_arcs(const char* text, size_t length, uint32_t* arcs, size_t* count) {
  const char* p = text;
  const char* end = text + length;
  size_t n = 0;
  while (true) {
    const char* start = p;
    uint32_t value = 0;
    for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - '0') <= 9; ++p) value = value * 10 + digit;
    size_t digits = static_cast<size_t>(p - start);
    if (digits == 0) return OidPutStatus::kNotNumeric;  // an empty arc or another character
    if (digits > 9) {  // may not fit 32 bits: count again in 64
      uint64_t wide = 0;
      for (const char* q = start; q < p && wide <= UINT32_MAX; ++q) wide = wide * 10 + static_cast<unsigned>(*q - '0');
      if (wide > UINT32_MAX) return OidPutStatus::kNotNumeric;
    }
    arcs[n++] = value;
    if (p == end) break;
    if (*p != '.' || ++p == end) return OidPutStatus::kNotNumeric;  // not a dot, or a trailing one
  }
  *count = n;
  return OidPutStatus::kOk;
}

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

constexpr size_t kMaxSubidBytes = 5;

// Writes the sub-identifiers arcs[first .. end) in front of `p`; returns the
// first byte written. Most arcs are below 128 and take one byte each, so
// runs of four such arcs are packed into one 32-bit store.
uint8_t* put_subids_before(uint8_t* p, const uint32_t* first, const uint32_t* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kHighBits = 0xFFFFFF80FFFFFF80ull;  // set in two arcs of 128 or more
    while (end - first >= 4) {
      uint64_t low_pair, high_pair;  // arcs end-4, end-3 and end-2, end-1
      std::memcpy(&low_pair, end - 4, sizeof low_pair);
      std::memcpy(&high_pair, end - 2, sizeof high_pair);
      if (((low_pair | high_pair) & kHighBits) != 0) {
        for (int i = 0; i < 4; ++i) p = put_subid_before(p, *--end);
        continue;
      }
      // Each pair's second arc moves up next to its first: two bytes.
      const auto low = static_cast<uint32_t>(low_pair | (low_pair >> 24));
      const auto high = static_cast<uint32_t>(high_pair | (high_pair >> 24));
      const uint32_t four = low | (high << 16);
      p -= 4;
      std::memcpy(p, &four, sizeof four);
      end -= 4;
    }
  }
  while (end != first) p = put_subid_before(p, *--end);
  return p;
}

}  // namespace

OidPutStatus ber_put_oid_arcs(BerWriter& writer, const uint32_t* arcs, size_t count, size_t* content) {
  *content = 0;
  if (count == 0) return OidPutStatus::kOk;
  if (count == 1) return OidPutStatus::kOneArc;
  const uint32_t first = arcs[0], second = arcs[1];
  if (first > 2 || (first < 2 && second >= 40) || second > UINT32_MAX - 80) return OidPutStatus::kBadFirstArcs;
  const uint32_t head = first * 40 + second;
  if (writer.has_room(kMaxSubidBytes * (count - 1))) {
    // Room for the longest form: no check per byte.
    uint8_t* end = writer.cursor();
    uint8_t* p = end;
    p = put_subids_before(p, arcs + 2, arcs + count);
    p = put_subid_before(p, head);
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

OidPutStatus ber_put_oid_text(BerWriter& writer, const char* text, size_t length, size_t* content) {
  *content = 0;
  if (length == 0) return OidPutStatus::kOk;
  uint32_t inline_arcs[kInlineArcs];
  std::vector<uint32_t> heap_arcs;
  uint32_t* arcs = inline_arcs;
  size_t most = length / 2 + 1;
  if (most > kInlineArcs) {
    try {
      heap_arcs.resize(most);
    } catch (const std::bad_alloc&) {
      return OidPutStatus::kNotNumeric;
    }
    arcs = heap_arcs.data();
  }
  size_t count = 0;
  OidPutStatus status = parse_arcs(text, length, arcs, &count);
  if (status != OidPutStatus::kOk) return status;
  return ber_put_oid_arcs(writer, arcs, count, content);
}

OidContentStatus ber_get_oid_arcs(const uint8_t* data, size_t count, uint32_t* arcs, size_t* arc_count) {
  const uint8_t* p = data;
  const uint8_t* const end = data + count;
  uint32_t* out = arcs;
  while (p < end) {
    uint32_t subid = *p++;
    if (subid & 0x80) {  // more than one byte
      subid &= 0x7Fu;
      uint8_t byte;
      do {
        if (p == end) return OidContentStatus::kOpenEnd;
        if (subid > (UINT32_MAX >> 7)) return OidContentStatus::kTooLarge;
        byte = *p++;
        subid = (subid << 7) | (byte & 0x7Fu);
      } while (byte & 0x80);
    }
    if (out == arcs) {  // the first sub-identifier holds two arcs
      const uint32_t head = subid < 40 ? 0 : subid < 80 ? 1 : 2;
      *out++ = head;
      subid -= head * 40;
    }
    *out++ = subid;
  }
  *arc_count = static_cast<size_t>(out - arcs);
  return OidContentStatus::kOk;
}

}  // namespace orv
