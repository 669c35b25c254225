#include "snmp/smi/number_text.h"

#include <cstdlib>

namespace orv::smi {

uint32_t format_u64(uint64_t value, char* out) {
  char reversed[kMaxDecimalU64];
  uint32_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (uint32_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

namespace {

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

// Arcs and 32-bit numbers are printed on hot paths: two digits per division.
uint32_t format_u32(uint32_t value, char* out) {
  if (value < 10) {
    out[0] = static_cast<char>('0' + value);
    return 1;
  }
  char reversed[kMaxDecimalU32];
  uint32_t count = 0;
  while (value >= 100) {
    const uint32_t pair = value % 100;
    value /= 100;
    reversed[count++] = kTwoDigits[2 * pair + 1];
    reversed[count++] = kTwoDigits[2 * pair];
  }
  if (value >= 10) {
    reversed[count++] = kTwoDigits[2 * value + 1];
    reversed[count++] = kTwoDigits[2 * value];
  } else {
    reversed[count++] = static_cast<char>('0' + value);
  }
  for (uint32_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

uint32_t format_i32(int32_t value, char* out) {
  if (value >= 0) return format_u64(static_cast<uint64_t>(value), out);
  out[0] = '-';
  return 1 + format_u64(static_cast<uint64_t>(-static_cast<int64_t>(value)), out + 1);
}

uint32_t decimal_text_to_bits32(const char* text) {
  // 64-bit conversion so that the full unsigned 32-bit range arrives intact.
  return static_cast<uint32_t>(static_cast<uint64_t>(std::strtoll(text, nullptr, 10)));
}

uint64_t decimal_text_to_u64(const char* text) { return std::strtoull(text, nullptr, 10); }

}  // namespace orv::smi
