// Growable byte storage behind buffers, octet strings and OID texts. The
// content is always followed by a terminating zero. Small contents live in
// the object itself, so addresses and short OIDs never allocate; beyond that
// the capacity grows in 128-byte steps (or, for texts that grow arc by arc,
// at least doubles so that appends stay linear).
#pragma once

#include <cstdint>
#include <cstring>

#include "result_codes.h"

namespace orv::smi {

class OctetStorage {
 public:
  enum class Growth { kSteps128, kDoubling };
  static constexpr uint32_t kInlineBytes = 48;  // terminator included

  explicit OctetStorage(Growth growth = Growth::kSteps128) noexcept;
  ~OctetStorage();
  OctetStorage(const OctetStorage&) = delete;
  OctetStorage& operator=(const OctetStorage&) = delete;

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  const char* c_str() const { return reinterpret_cast<const char*>(data_); }
  uint32_t size() const { return size_; }
  uint32_t capacity() const { return capacity_; }

  // Room for `bytes` plus the terminator; the content is kept. -3 on failure.
  Result reserve(uint32_t bytes);
  // `bytes` may point into this storage. A null `bytes` with length 0 empties.
  Result assign(const void* bytes, uint32_t length) {
    const auto* source = static_cast<const uint8_t*>(bytes);
    if (source && length != 0 && length < capacity_ && (source + length <= data_ || source >= data_ + capacity_)) {
      std::memcpy(data_, source, length);  // the usual case: it fits, from elsewhere
      size_ = length;
      data_[size_] = 0;
      return kOk;
    }
    return assign_slow(bytes, length);
  }
  Result append(const void* bytes, uint32_t length);
  // Appends `length` bytes left for the caller to fill through data().
  Result grow_by(uint32_t length, uint8_t** where);
  // New bytes are zero.
  Result resize(uint32_t length);
  void truncate(uint32_t length);
  void erase(uint32_t position, uint32_t length);
  void clear() { truncate(0); }
  bool equals(const void* bytes, uint32_t length) const;

  // (needed / 128 + 1) * 128, or 0 when that does not fit 32 bits.
  static uint32_t step_capacity(uint32_t needed);

 private:
  Result assign_slow(const void* bytes, uint32_t length);

  Growth growth_;
  uint8_t* data_;
  uint32_t size_ = 0;
  uint32_t capacity_ = kInlineBytes;
  uint8_t inline_[kInlineBytes];
};

}  // namespace orv::smi
