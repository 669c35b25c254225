#include "snmp/message/ber_reader.h"

namespace orv {

Result BerReader::read_length(uint32_t* length) {
  uint8_t first = read_byte();
  if (exhausted_ || first == 0x80) return kErrNotAwaited;
  if (first < 0x80) {
    *length = first;
    return kOk;
  }
  size_t count = first & 0x7Fu;
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i) {
    value = (value << 8) | read_byte();
    // Leading zero bytes are harmless; anything that wraps 32 bits is not.
    if (value > UINT32_MAX) return kErrNotAwaited;
  }
  if (exhausted_) return kErrNotAwaited;
  *length = static_cast<uint32_t>(value);
  return kOk;
}

Result ber_decode_long_int32(const uint8_t* data, size_t count, int32_t* value,
                              bool is_signed) {
  if (count == 0) {
    *value = 0;
    return kOk;
  }
  if (count > 4) {
    // Ahead of the last four bytes only sign extension may stand: 0x00 (the
    // low four then read as unsigned, as the unsigned kinds need), or, for
    // INTEGER, 0xFF before a negative 32-bit value, which some agents write
    // in five bytes (FF 80 00 00 00 for -2147483648).
    const size_t lead = count - 4;
    const uint8_t fill = data[0];
    const bool negative = is_signed && fill == 0xFF && (data[lead] & 0x80) != 0;
    if (fill != 0x00 && !negative) return kErrNotAwaited;
    for (size_t i = 0; i < lead; ++i)
      if (data[i] != fill) return kErrNotAwaited;
    data += lead;
    count = 4;
  }
  uint32_t acc = (data[0] & 0x80) ? UINT32_MAX : 0;
  for (size_t i = 0; i < count; ++i) acc = (acc << 8) | data[i];
  *value = static_cast<int32_t>(acc);
  return kOk;
}

Result ber_decode_counter64(const uint8_t* data, size_t count, uint32_t* high, uint32_t* low) {
  // Unsigned: leading zero bytes drop out, any other byte beyond 64 bits
  // would be lost and is refused.
  while (count > 8 && data[0] == 0) {
    ++data;
    --count;
  }
  if (count > 8) return kErrNotAwaited;
  uint64_t acc = 0;
  for (size_t i = 0; i < count; ++i) acc = (acc << 8) | data[i];
  *high = static_cast<uint32_t>(acc >> 32);
  *low = static_cast<uint32_t>(acc);
  return kOk;
}

}  // namespace orv
