// Per-thread lists of freed blocks for the small objects that every exchange
// makes and frees by the dozen (values, varbinds): a request of n bindings
// makes about 4n of them, more than the C library keeps per thread, and its
// slower path then costs more than the work done with the objects. A class
// takes part by deriving from RecycledAllocation. Blocks freed on another
// thread join that thread's lists; a thread's lists are freed when it ends.
// Under the address and thread sanitizers every block goes back to the heap
// at once, so that they still see each use after free.
#pragma once

#include <cstddef>
#include <new>

namespace orv::smi {

// False under the sanitizers, where blocks are not kept.
bool recycling_blocks();
// A block of at least `size` bytes, nullptr when memory is short.
void* recycled_allocate(std::size_t size) noexcept;
// `block` came from recycled_allocate with the same `size`.
void recycled_free(void* block, std::size_t size) noexcept;

class RecycledAllocation {
 public:
  static void* operator new(std::size_t size) {
    void* block = recycled_allocate(size);
    if (!block) throw std::bad_alloc();
    return block;
  }
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return recycled_allocate(size);
  }
  // Deleted through a virtual destructor, `size` is the object's own.
  static void operator delete(void* block, std::size_t size) noexcept { recycled_free(block, size); }
  // Every block is a heap block underneath: one whose size is not known
  // (a constructor that threw after a nothrow new) goes back directly.
  static void operator delete(void* block, const std::nothrow_t&) noexcept { ::operator delete(block); }
};

}  // namespace orv::smi
