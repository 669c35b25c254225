#include "snmp/message/ber_writer.h"

#include <cstring>

namespace orv {

size_t ber_counter64_size(uint32_t high, uint32_t low) {
  if (high == 0) return ber_uint32_size(low);
  return 4 + ber_uint32_size(high);
}

size_t ber_length_size(size_t length) {
  if (length < 0x80) return 1;
  size_t n = 1;
  for (size_t v = length; v != 0; v >>= 8) ++n;
  return n;
}

size_t ber_subid_size(uint32_t subid) {
  size_t n = 1;
  while (subid >= 0x80) {
    subid >>= 7;
    ++n;
  }
  return n;
}

size_t BerWriter::put_length(size_t length) {
  if (length < 0x80) {
    put_byte(static_cast<uint8_t>(length));
    return 1;
  }
  size_t n = 0;
  for (size_t v = length; v != 0; v >>= 8, ++n) put_byte(static_cast<uint8_t>(v));
  put_byte(static_cast<uint8_t>(0x80 + n));
  return n + 1;
}

size_t BerWriter::put_long_subid(uint32_t subid) {
  put_byte(static_cast<uint8_t>(subid & 0x7F));
  size_t n = 1;
  for (subid >>= 7; subid != 0; subid >>= 7, ++n) put_byte(static_cast<uint8_t>(0x80 | (subid & 0x7F)));
  return n;
}

size_t BerWriter::put_int32(int32_t value) {
  size_t n = ber_int32_size(value);
  uint32_t v = static_cast<uint32_t>(value);
  for (size_t i = 0; i < n; ++i, v >>= 8) put_byte(static_cast<uint8_t>(v));
  return n;
}

size_t BerWriter::put_uint32(uint32_t value) {
  size_t n = ber_uint32_size(value);
  uint64_t v = value;  // the fifth byte of a large value is the 0x00 sign byte
  for (size_t i = 0; i < n; ++i, v >>= 8) put_byte(static_cast<uint8_t>(v));
  return n;
}

size_t BerWriter::put_counter64(uint32_t high, uint32_t low) {
  if (high == 0) return put_uint32(low);
  for (int i = 0; i < 4; ++i, low >>= 8) put_byte(static_cast<uint8_t>(low));
  return 4 + put_uint32(high);
}

}  // namespace orv
