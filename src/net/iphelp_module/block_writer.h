// Places records one after another in a caller's block, each aligned for
// pointers. The first pass measures (no block), the second writes.
#pragma once

#include <cstddef>
#include <cstring>

namespace orv::iphelp {

class BlockWriter {
 public:
  explicit BlockWriter(char* block = nullptr) : block_(block) {}

  // Room for `size` bytes, zero-filled; nullptr while measuring.
  void* take(size_t size) {
    size_t at = (used_ + kAlign - 1) & ~(kAlign - 1);
    used_ = at + size;
    if (!block_) return nullptr;
    std::memset(block_ + at, 0, size);
    return block_ + at;
  }

  template <typename T>
  T* take() {
    return static_cast<T*>(take(sizeof(T)));
  }

  // A copy of `text` with its terminator; nullptr while measuring.
  char* copy_text(const char* text) {
    size_t length = std::strlen(text) + 1;
    char* copy = static_cast<char*>(take(length));
    if (copy) std::memcpy(copy, text, length);
    return copy;
  }

  size_t used() const { return used_; }

 private:
  static constexpr size_t kAlign = alignof(std::max_align_t);
  char* block_;
  size_t used_ = 0;
};

}  // namespace orv::iphelp
