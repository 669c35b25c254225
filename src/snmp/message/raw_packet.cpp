#include "snmp/message/raw_packet.h"

#include <cstring>
#include <new>

#include "snmp/message/raw_packet_view.h"

namespace orv {
namespace {

// Owns the bytes it views; released, it frees them and itself.
class CQesRawPacket final : public CQesRawPacketView {
 public:
  CQesRawPacket(uint8_t* bytes, uint32_t capacity) { view(bytes, capacity, 0); }
  void release() override { delete this; }

 private:
  ~CQesRawPacket() override { delete[] base(); }
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
