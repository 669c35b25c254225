#include "snmp/message/raw_packet.h"

#include <cstring>
#include <new>

namespace orv {
namespace {

class CQesRawPacket final : public IQesRawPacket {
 public:
  explicit CQesRawPacket(uint8_t* bytes, uint32_t capacity) : bytes_(bytes), capacity_(capacity) {}

  void release() override { delete this; }
  uint8_t* base() override { return bytes_; }
  const uint8_t* base() const override { return bytes_; }
  uint32_t capacity() const override { return capacity_; }
  uint32_t data_start() const override { return data_start_; }
  Result set_data_start(uint32_t offset) override {
    if (offset > capacity_) return kErrInvalidArg;
    data_start_ = offset;
    return kOk;
  }
  void set_max_message_size(uint64_t size) override { max_message_size_ = size; }
  uint64_t max_message_size() const override { return max_message_size_; }

 private:
  ~CQesRawPacket() override { delete[] bytes_; }

  uint8_t* bytes_;
  uint32_t capacity_;
  uint32_t data_start_ = 0;
  uint64_t max_message_size_ = 0;
};

IQesRawPacket* make(const void* bytes, uint32_t length, bool filled, Result* status) {
  // One byte even for an empty buffer, so base() is never null.
  auto* storage = new (std::nothrow) uint8_t[length ? length : 1];
  auto* raw = storage ? new (std::nothrow) CQesRawPacket(storage, length) : nullptr;
  if (!raw) {
    delete[] storage;
    if (status) *status = kErrNoMemory;
    return nullptr;
  }
  if (filled && length) std::memcpy(storage, bytes, length);
  raw->set_data_start(filled ? 0 : length);
  if (status) *status = kOk;
  return raw;
}

}  // namespace

IQesRawPacket* qes_create_raw_packet(uint32_t capacity, Result* status) {
  return make(nullptr, capacity, false, status);
}

IQesRawPacket* qes_create_raw_packet_from(const void* bytes, uint32_t length, Result* status) {
  if (!bytes && length) {
    if (status) *status = kErrInvalidArg;
    return nullptr;
  }
  return make(bytes, length, true, status);
}

}  // namespace orv
