#include "snmp/message/ber_oid.h"

#include <cstring>
#include <new>
#include <vector>

namespace orv {

namespace {

// Arcs of most OIDs fit on the stack; longer texts go to the heap.

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

}  // namespace

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
