#include "snmp/smi/recycled_blocks.h"

#include <cstdint>

namespace orv::smi {
namespace {

// g++ names the sanitizers by macros, clang only through __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORV_BLOCKS_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(ORV_BLOCKS_SANITIZED)
constexpr bool kRecycle = false;
#else
constexpr bool kRecycle = true;
#endif

constexpr std::size_t kGrain = 16;
constexpr std::size_t kClasses = 64;  // blocks up to 1 KiB
// Enough for the objects of a few hundred bindings; the rest goes back.
constexpr uint16_t kKeptPerClass = 256;

struct FreeBlock {
  FreeBlock* next;
};

// Trivially destructible, so it stays readable after the thread's
// destructors ran (`closed` then sends every block back to the heap).
struct FreeLists {
  FreeBlock* head[kClasses];
  uint16_t count[kClasses];
  bool reaper_armed;
  bool closed;
  bool keeping;  // armed and not closed: freed blocks join the lists
};
constinit thread_local FreeLists t_lists{};

struct Reaper {
  ~Reaper() {
    t_lists.closed = true;
    t_lists.keeping = false;
    for (std::size_t c = 0; c < kClasses; ++c) {
      while (FreeBlock* block = t_lists.head[c]) {
        t_lists.head[c] = block->next;
        ::operator delete(block);
      }
      t_lists.count[c] = 0;
    }
  }
};
thread_local Reaper t_reaper;

// The class of a size, kClasses for sizes beyond the largest.
std::size_t class_of(std::size_t size) {
  const std::size_t c = (size + kGrain - 1) / kGrain;
  return c < kClasses && c > 0 ? c : kClasses;
}

}  // namespace

bool recycling_blocks() { return kRecycle; }

void* recycled_allocate(std::size_t size) noexcept {
  const std::size_t c = class_of(size);
  if (!kRecycle || c == kClasses) return ::operator new(size, std::nothrow);
  if (FreeBlock* block = t_lists.head[c]) {
    t_lists.head[c] = block->next;
    --t_lists.count[c];
    return block;
  }
  return ::operator new(c * kGrain, std::nothrow);
}

namespace {

void push_block(void* block, std::size_t c) {
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = t_lists.head[c];
  t_lists.head[c] = freed;
  ++t_lists.count[c];
}

// Out of the common path: the first block a thread keeps, and the blocks
// that go back to the heap.
__attribute__((noinline)) void free_rarely(void* block, std::size_t c) noexcept {
  if (!block) return;
  if (!kRecycle || c == kClasses || t_lists.closed || t_lists.count[c] >= kKeptPerClass) {
    ::operator delete(block);
    return;
  }
  if (!t_lists.reaper_armed) {
    // Touching the reaper makes this thread free its lists when it ends.
    (void)&t_reaper;
    t_lists.reaper_armed = true;
    t_lists.keeping = true;
  }
  push_block(block, c);
}

}  // namespace

void recycled_free(void* block, std::size_t size) noexcept {
  const std::size_t c = class_of(size);
  if (!kRecycle || !block || c == kClasses || !t_lists.keeping || t_lists.count[c] >= kKeptPerClass) [[unlikely]] {
    return free_rarely(block, c);
  }
  push_block(block, c);
}

}  // namespace orv::smi
