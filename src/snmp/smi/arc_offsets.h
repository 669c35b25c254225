// Start offsets of the arcs of an OID text, cached so that element() does
// not re-parse the text. The array keeps its capacity across changes, so an
// OID reused per response allocates it once.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "result_codes.h"

namespace orv::smi {

class ArcOffsets {
 public:
  ArcOffsets() = default;
  ~ArcOffsets() { std::free(offsets_); }
  ArcOffsets(const ArcOffsets&) = delete;
  ArcOffsets& operator=(const ArcOffsets&) = delete;

  uint32_t size() const { return size_; }
  uint32_t operator[](uint32_t index) const { return offsets_[index]; }
  void clear() { size_ = 0; }

  Result push(uint32_t offset) {
    if (size_ == capacity_) {
      const uint32_t grown = capacity_ ? capacity_ * 2 : 32;
      if (grown < capacity_) return kErrNoMemory;
      auto* moved = static_cast<uint32_t*>(std::realloc(offsets_, sizeof(uint32_t) * static_cast<size_t>(grown)));
      if (!moved) return kErrNoMemory;
      offsets_ = moved;
      capacity_ = grown;
    }
    offsets_[size_++] = offset;
    return kOk;
  }

 private:
  uint32_t* offsets_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

}  // namespace orv::smi
