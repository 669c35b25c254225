#include "snmp/smi/octet_storage.h"

#include <cstdlib>
#include <cstring>

namespace orv::smi {

OctetStorage::OctetStorage(Growth growth) noexcept : growth_(growth), data_(inline_) { inline_[0] = 0; }

OctetStorage::~OctetStorage() {
  if (data_ != inline_) std::free(data_);
}

uint32_t OctetStorage::step_capacity(uint32_t needed) {
  const uint64_t capacity = (static_cast<uint64_t>(needed) / 128 + 1) * 128;
  return capacity > UINT32_MAX ? 0 : static_cast<uint32_t>(capacity);
}

Result OctetStorage::reserve(uint32_t bytes) {
  if (bytes == UINT32_MAX) return kErrNoMemory;
  const uint32_t needed = bytes + 1;
  if (needed <= capacity_) return kOk;
  uint64_t wanted = step_capacity(needed);
  if (wanted == 0) return kErrNoMemory;
  if (growth_ == Growth::kDoubling && 2ull * capacity_ > wanted) wanted = 2ull * capacity_;
  if (wanted > UINT32_MAX) wanted = step_capacity(needed);
  uint8_t* grown;
  if (data_ == inline_) {
    grown = static_cast<uint8_t*>(std::malloc(wanted));
    if (grown) std::memcpy(grown, inline_, size_ + 1);
  } else {
    grown = static_cast<uint8_t*>(std::realloc(data_, wanted));
  }
  if (!grown) return kErrNoMemory;
  data_ = grown;
  capacity_ = static_cast<uint32_t>(wanted);
  return kOk;
}

Result OctetStorage::assign_slow(const void* bytes, uint32_t length) {
  if (!bytes || length == 0) {
    truncate(0);
    return kOk;
  }
  const auto* source = static_cast<const uint8_t*>(bytes);
  if (source >= data_ && source < data_ + capacity_) {
    // A part of this content: move it to the front.
    if (static_cast<size_t>(source - data_) + length > size_) return kErrInvalidArg;
    std::memmove(data_, source, length);
    size_ = length;
    data_[size_] = 0;
    return kOk;
  }
  if (Result r = reserve(length); r != kOk) return r;
  std::memcpy(data_, source, length);
  size_ = length;
  data_[size_] = 0;
  return kOk;
}

Result OctetStorage::grow_by(uint32_t length, uint8_t** where) {
  if (length > UINT32_MAX - 1 - size_) return kErrNoMemory;
  if (Result r = reserve(size_ + length); r != kOk) return r;
  *where = data_ + size_;
  size_ += length;
  data_[size_] = 0;
  return kOk;
}

Result OctetStorage::append(const void* bytes, uint32_t length) {
  if (!bytes || length == 0) return kOk;
  const auto* source = static_cast<const uint8_t*>(bytes);
  const bool inside = source >= data_ && source < data_ + capacity_;
  const size_t offset = inside ? static_cast<size_t>(source - data_) : 0;
  uint8_t* where = nullptr;
  if (Result r = grow_by(length, &where); r != kOk) return r;
  if (inside) source = data_ + offset;  // growing may have moved it
  std::memmove(where, source, length);
  return kOk;
}

Result OctetStorage::resize(uint32_t length) {
  if (length <= size_) {
    truncate(length);
    return kOk;
  }
  uint8_t* where = nullptr;
  if (Result r = grow_by(length - size_, &where); r != kOk) return r;
  std::memset(where, 0, data_ + size_ - where);
  return kOk;
}

void OctetStorage::truncate(uint32_t length) {
  if (length < size_) size_ = length;
  data_[size_] = 0;
}

void OctetStorage::erase(uint32_t position, uint32_t length) {
  if (position >= size_) return;
  if (length > size_ - position) length = size_ - position;
  std::memmove(data_ + position, data_ + position + length, size_ - position - length);
  truncate(size_ - length);
}

bool OctetStorage::equals(const void* bytes, uint32_t length) const {
  if (length != size_) return false;
  return length == 0 || (bytes && std::memcmp(data_, bytes, length) == 0);
}

}  // namespace orv::smi
