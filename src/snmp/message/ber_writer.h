// Back-to-front BER writer over one preallocated buffer. Every TLV is written
// contents first, then its length, then its tag, so no length is computed
// ahead and no byte is moved afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

// Content sizes of the integer encodings (pure, used by the writer and tests).
size_t ber_int32_size(int32_t value);
size_t ber_uint32_size(uint32_t value);
size_t ber_counter64_size(uint32_t high, uint32_t low);
size_t ber_length_size(size_t length);
size_t ber_subid_size(uint32_t subid);

class BerWriter {
 public:
  BerWriter() : BerWriter(nullptr, 0) {}
  BerWriter(uint8_t* base, size_t capacity)
      : base_(base), end_(static_cast<ptrdiff_t>(capacity)), pos_(end_) {}

  // Each writer call moves the position back by the bytes it stands for even
  // when they do not fit, so that lengths can still be summed after an
  // overflow; then the overflow flag is set and nothing is written.
  void put_byte(uint8_t byte) {
    --pos_;
    if (pos_ < 0) {
      overflow_ = true;
      return;
    }
    base_[pos_] = byte;
  }
  void put_bytes(const uint8_t* data, size_t count);
  size_t put_length(size_t length);
  size_t put_subid(uint32_t subid) {
    if (subid < 0x80) {
      put_byte(static_cast<uint8_t>(subid));
      return 1;
    }
    return put_long_subid(subid);
  }
  size_t put_int32(int32_t value);
  size_t put_uint32(uint32_t value);
  size_t put_counter64(uint32_t high, uint32_t low);
  // Length and tag in front of `content` bytes already written; returns the
  // whole TLV's size.
  size_t put_header(uint8_t tag, size_t content) {
    size_t n = put_length(content);
    put_byte(tag);
    return content + n + 1;
  }

  bool overflow() const { return overflow_; }
  // Bytes written (or that would have been written) from the end backwards.
  size_t written() const { return static_cast<size_t>(end_ - pos_); }
  // Offset of the first message byte from the base; valid without overflow.
  size_t offset() const { return static_cast<size_t>(pos_); }

 private:
  size_t put_long_subid(uint32_t subid);

  uint8_t* base_;
  ptrdiff_t end_;
  ptrdiff_t pos_;
  bool overflow_ = false;
};

}  // namespace orv
