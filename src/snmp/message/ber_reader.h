// Forward BER reader over one received datagram. Reads never leave
// [start, end): reading past the end sets the exhausted flag and yields 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result_codes.h"

namespace orv {

// Content decoders (pure). Each checks that the value fits the kind; a value
// that would lose significant bits is refused rather than cut.
// `is_signed`: INTEGER, which may carry a negative value in more than four
// bytes; else an unsigned 32-bit kind, whose bits come back in `value`.
Result ber_decode_long_int32(const uint8_t* data, size_t count, int32_t* value, bool is_signed);
inline Result ber_decode_int32(const uint8_t* data, size_t count, int32_t* value,
                               bool is_signed = true) {
  if (count - 1 < 4) {  // 1 to 4 bytes: the first one sign-extended
    uint32_t acc = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(data[0])));
    for (size_t i = 1; i < count; ++i) acc = (acc << 8) | data[i];
    *value = static_cast<int32_t>(acc);
    return kOk;
  }
  return ber_decode_long_int32(data, count, value, is_signed);
}
Result ber_decode_counter64(const uint8_t* data, size_t count, uint32_t* high, uint32_t* low);

class BerReader {
 public:
  BerReader(const uint8_t* start, size_t count) : start_(start), pos_(0), end_(count) {}

  uint8_t read_byte() {
    if (pos_ >= end_) {
      exhausted_ = true;
      return 0;
    }
    return start_[pos_++];
  }
  // The next byte without consuming it (0 and exhausted at the end).
  uint8_t peek_byte() {
    if (pos_ >= end_) {
      exhausted_ = true;
      return 0;
    }
    return start_[pos_];
  }
  // A definite length. kErrNotAwaited for the indefinite form, a length that
  // does not fit 32 bits, or running out of bytes.
  Result read_length(uint32_t* length);
  // One tag byte, then read_length().
  Result read_tag_length(uint8_t* tag, uint32_t* length) {
    if (pos_ + 2 <= end_ && start_[pos_ + 1] < 0x80) {  // the usual short form
      *tag = start_[pos_];
      *length = start_[pos_ + 1];
      pos_ += 2;
      return kOk;
    }
    *tag = read_byte();
    return read_length(length);
  }
  // A whole TLV with tag `tag`: its contents in place. False for another
  // tag, a bad length or contents that are not all there.
  bool read_tlv(uint8_t tag, const uint8_t** contents, uint32_t* length) {
    uint8_t found = 0;
    if (read_tag_length(&found, length) != kOk || found != tag) return false;
    *contents = take(*length);
    return *contents != nullptr;
  }
  // `count` content bytes in place; null when fewer are left.
  const uint8_t* take(size_t count) {
    if (count > remaining()) {
      exhausted_ = true;
      return nullptr;
    }
    const uint8_t* p = start_ + pos_;
    pos_ += count;
    return p;
  }

  size_t remaining() const { return end_ - pos_; }
  size_t position() const { return pos_; }
  // Ignore everything behind `count` bytes from the start.
  void cut_at(size_t count) {
    if (count < end_) end_ = count;
  }
  bool exhausted() const { return exhausted_; }

 private:
  const uint8_t* start_;
  size_t pos_;
  size_t end_;
  bool exhausted_ = false;
};

}  // namespace orv
