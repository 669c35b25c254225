// Back-to-front BER writer over one preallocated buffer. Every TLV is written
// contents first, then its length, then its tag, so no length is computed
// ahead and no byte is moved afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orv {

// Content sizes of the integer encodings (pure, used by the writer and tests).
inline size_t ber_int32_size(int32_t value) {
  // A negative value needs as many bytes as its complement does.
  uint32_t v = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  if (v < 0x80u) return 1;
  if (v < 0x8000u) return 2;
  if (v < 0x800000u) return 3;
  return 4;
}
inline size_t ber_uint32_size(uint32_t value) {
  if (value < 0x80u) return 1;
  if (value < 0x8000u) return 2;
  if (value < 0x800000u) return 3;
  if (value < 0x80000000u) return 4;
  return 5;
}
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
  void put_bytes(const uint8_t* data, size_t count) {
    if (has_room(count)) {
      pos_ -= static_cast<ptrdiff_t>(count);
      if (count != 0) std::memcpy(base_ + pos_, data, count);
      return;
    }
    pos_ -= static_cast<ptrdiff_t>(count);
    overflow_ = true;
  }
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
  // Whole TLVs of the number kinds; each returns the TLV's size.
  size_t put_int32_tlv(uint8_t tag, int32_t value) {
    if (has_room(6)) {  // the longest form fits: no check per byte
      const size_t n = ber_int32_size(value);
      uint8_t* p = base_ + pos_;
      auto v = static_cast<uint32_t>(value);
      for (size_t i = 0; i < n; ++i, v >>= 8) *--p = static_cast<uint8_t>(v);
      *--p = static_cast<uint8_t>(n);
      *--p = tag;
      pos_ -= static_cast<ptrdiff_t>(n + 2);
      return n + 2;
    }
    return put_header(tag, put_int32(value));
  }
  size_t put_uint32_tlv(uint8_t tag, uint32_t value) {
    if (has_room(7)) {
      const size_t n = ber_uint32_size(value);
      uint8_t* p = base_ + pos_;
      uint64_t v = value;  // the fifth byte of a large value is the 0x00 sign byte
      for (size_t i = 0; i < n; ++i, v >>= 8) *--p = static_cast<uint8_t>(v);
      *--p = static_cast<uint8_t>(n);
      *--p = tag;
      pos_ -= static_cast<ptrdiff_t>(n + 2);
      return n + 2;
    }
    return put_header(tag, put_uint32(value));
  }
  size_t put_counter64(uint32_t high, uint32_t low);
  // Length and tag in front of `content` bytes already written; returns the
  // whole TLV's size.
  size_t put_header(uint8_t tag, size_t content) {
    if (content < 0x80 && pos_ >= 2) {  // the usual short form, room checked once
      base_[--pos_] = static_cast<uint8_t>(content);
      base_[--pos_] = tag;
      return content + 2;
    }
    size_t n = put_length(content);
    put_byte(tag);
    return content + n + 1;
  }

  // Direct writing for callers that write many bytes at once: when
  // has_room(n), up to n bytes may be stored in front of cursor(); then
  // move_to() the first byte written.
  bool has_room(size_t count) const { return pos_ >= 0 && static_cast<size_t>(pos_) >= count; }
  uint8_t* cursor() const { return base_ + pos_; }
  void move_to(uint8_t* first) { pos_ = first - base_; }

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
