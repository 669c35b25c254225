#include "snmp/smi/arc_array.h"

namespace orv::smi {

Result ArcArray::reserve(uint32_t count) {
  if (count <= capacity_) return kOk;
  // At least doubling, so arcs appended one by one cost linear time.
  uint64_t wanted = 2ull * capacity_;
  if (wanted < count) wanted = count;
  if (wanted > UINT32_MAX / sizeof(uint32_t)) wanted = count;
  if (wanted > UINT32_MAX / sizeof(uint32_t)) return kErrNoMemory;
  const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(wanted);
  uint32_t* grown;
  if (data_ == inline_) {
    grown = static_cast<uint32_t*>(std::malloc(bytes));
    if (grown) std::memcpy(grown, inline_, sizeof(uint32_t) * size_);
  } else {
    grown = static_cast<uint32_t*>(std::realloc(data_, bytes));
  }
  if (!grown) return kErrNoMemory;
  data_ = grown;
  capacity_ = static_cast<uint32_t>(wanted);
  return kOk;
}

Result ArcArray::assign(const uint32_t* arcs, uint32_t count) {
  cache_.length = 0;
  if (count == 0) {
    size_ = 0;
    return kOk;
  }
  if (holds(arcs)) {  // a part of this content: move it to the front
    std::memmove(data_, arcs, sizeof(uint32_t) * count);
    size_ = count;
    return kOk;
  }
  if (Result r = reserve(count); r != kOk) return r;
  std::memcpy(data_, arcs, sizeof(uint32_t) * count);
  size_ = count;
  return kOk;
}

Result ArcArray::append(const uint32_t* arcs, uint32_t count) {
  if (count == 0) return kOk;
  if (count > UINT32_MAX - size_) return kErrNoMemory;
  cache_.length = 0;
  const bool inside = holds(arcs);
  const size_t offset = inside ? static_cast<size_t>(arcs - data_) : 0;
  if (Result r = reserve(size_ + count); r != kOk) return r;
  if (inside) arcs = data_ + offset;  // growing may have moved it
  std::memmove(data_ + size_, arcs, sizeof(uint32_t) * count);
  size_ += count;
  return kOk;
}

}  // namespace orv::smi
