#include "snmp/message/ber_oid_text.h"

#include <new>
#include <vector>

namespace orv {

namespace {

// Arcs of most OIDs fit on the stack; longer texts go to the heap.
constexpr size_t kInlineArcs = 128;

// The arcs of dotted text, read forwards.
OidTextStatus parse_arcs(const char* text, size_t length, uint32_t* arcs, size_t* count) {
  const char* p = text;
  const char* end = text + length;
  size_t n = 0;
  while (true) {
    const char* start = p;
    uint32_t value = 0;
    for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - '0') <= 9; ++p) value = value * 10 + digit;
    size_t digits = static_cast<size_t>(p - start);
    if (digits == 0) return OidTextStatus::kNotNumeric;  // an empty arc or another character
    if (digits > 9) {  // may not fit 32 bits: count again in 64
      uint64_t wide = 0;
      for (const char* q = start; q < p && wide <= UINT32_MAX; ++q) wide = wide * 10 + static_cast<unsigned>(*q - '0');
      if (wide > UINT32_MAX) return OidTextStatus::kNotNumeric;
    }
    arcs[n++] = value;
    if (p == end) break;
    if (*p != '.' || ++p == end) return OidTextStatus::kNotNumeric;  // not a dot, or a trailing one
  }
  *count = n;
  return OidTextStatus::kOk;
}

}  // namespace

OidTextStatus ber_put_oid_text(BerWriter& writer, const char* text, size_t length, size_t* content) {
  *content = 0;
  if (length == 0) return OidTextStatus::kOk;
  uint32_t inline_arcs[kInlineArcs];
  std::vector<uint32_t> heap_arcs;
  uint32_t* arcs = inline_arcs;
  size_t most = length / 2 + 1;
  if (most > kInlineArcs) {
    try {
      heap_arcs.resize(most);
    } catch (const std::bad_alloc&) {
      return OidTextStatus::kNotNumeric;
    }
    arcs = heap_arcs.data();
  }
  size_t count = 0;
  OidTextStatus status = parse_arcs(text, length, arcs, &count);
  if (status != OidTextStatus::kOk) return status;
  if (count == 1) return OidTextStatus::kOneArc;
  uint32_t first = arcs[0], second = arcs[1];
  if (first > 2 || (first < 2 && second >= 40) || second > UINT32_MAX - 80) return OidTextStatus::kBadFirstArcs;
  size_t written = 0;
  for (size_t i = count - 1; i >= 2; --i) written += writer.put_subid(arcs[i]);
  written += writer.put_subid(first * 40 + second);
  *content = written;
  return OidTextStatus::kOk;
}

namespace {

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of `value` at `out`; returns their count.
inline size_t print_u32(uint32_t value, char* out) {
  if (value < 10) {
    out[0] = static_cast<char>('0' + value);
    return 1;
  }
  if (value < 100) {
    out[0] = kTwoDigits[2 * value];
    out[1] = kTwoDigits[2 * value + 1];
    return 2;
  }
  char digits[10];
  size_t n = 0;
  for (; value != 0; value /= 10) digits[n++] = static_cast<char>('0' + value % 10);
  for (size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  return n;
}

}  // namespace

OidContentStatus ber_oid_text(const uint8_t* data, size_t count, char* text, size_t* length) {
  size_t out = 0;
  size_t i = 0;
  while (i < count) {
    uint32_t subid = data[i++];
    if (subid & 0x80) {  // more than one byte
      subid &= 0x7Fu;
      uint8_t byte;
      do {
        if (i >= count) return OidContentStatus::kOpenEnd;
        if (subid > (UINT32_MAX >> 7)) return OidContentStatus::kTooLarge;
        byte = data[i++];
        subid = (subid << 7) | (byte & 0x7Fu);
      } while (byte & 0x80);
    }
    if (out == 0) {  // the first sub-identifier holds two arcs
      uint32_t head = subid < 40 ? 0 : subid < 80 ? 1 : 2;
      text[out++] = static_cast<char>('0' + head);
      subid -= head * 40;
    }
    text[out++] = '.';
    out += print_u32(subid, text + out);
  }
  *length = out;
  return OidContentStatus::kOk;
}

}  // namespace orv
