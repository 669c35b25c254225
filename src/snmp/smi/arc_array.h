// The arcs of an OID as 32-bit numbers. Short OIDs (every MIB name and most
// table rows) live in the object itself; longer ones move to the heap once
// and keep that capacity, so an OID reused per response allocates at most
// once. The codec's cache of their encoded form travels with them: every
// change of the arcs goes through this class and empties it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "result_codes.h"
#include "snmp/smi/qel_oid.h"

namespace orv::smi {

class ArcArray {
 public:
  static constexpr uint32_t kInlineArcs = 16;

  ArcArray() = default;
  ~ArcArray() {
    if (data_ != inline_) std::free(data_);
  }
  ArcArray(const ArcArray&) = delete;
  ArcArray& operator=(const ArcArray&) = delete;

  uint32_t size() const { return size_; }
  // Arcs that fit behind the current ones without growing.
  uint32_t room() const { return capacity_ - size_; }
  const uint32_t* data() const { return data_; }
  uint32_t operator[](uint32_t index) const { return data_[index]; }
  void clear() {
    size_ = 0;
    cache_.length = 0;
  }
  void truncate(uint32_t count) {
    if (count < size_) size_ = count;
    cache_.length = 0;
  }
  ArcCodecCache* cache() { return &cache_; }

  // Room for `count` arcs; the content is kept. -3 on failure.
  Result reserve(uint32_t count);

  Result push(uint32_t arc) {
    if (size_ == capacity_) {
      if (Result r = reserve(size_ + 1); r != kOk) return r;
    }
    data_[size_++] = arc;
    cache_.length = 0;
    return kOk;
  }
  // Room for `count` arcs behind the current ones, written through the
  // pointer and then kept with extend_to(); nullptr when memory is short.
  uint32_t* append_room(uint32_t count) {
    if (count > capacity_ - size_) {
      if (count > UINT32_MAX - size_ || reserve(size_ + count) != kOk) return nullptr;
    }
    return data_ + size_;
  }
  // Keeps the arcs written up to `end` (inside the room last given).
  void extend_to(const uint32_t* end) {
    size_ = static_cast<uint32_t>(end - data_);
    cache_.length = 0;
  }
  // `arcs` may point into this array.
  Result assign(const uint32_t* arcs, uint32_t count);
  Result append(const uint32_t* arcs, uint32_t count);
  // Removes `count` arcs from `start`; both must lie inside.
  void erase(uint32_t start, uint32_t count) {
    std::memmove(data_ + start, data_ + start + count, sizeof(uint32_t) * (size_ - start - count));
    size_ -= count;
    cache_.length = 0;
  }
  bool equals(const uint32_t* arcs, uint32_t count) const {
    return count == size_ && (count == 0 || std::memcmp(data_, arcs, sizeof(uint32_t) * count) == 0);
  }

 private:
  bool holds(const uint32_t* p) const { return p >= data_ && p < data_ + capacity_; }

  uint32_t* data_ = inline_;
  uint32_t size_ = 0;
  uint32_t capacity_ = kInlineArcs;
  uint32_t inline_[kInlineArcs];
  ArcCodecCache cache_;
};

}  // namespace orv::smi
