// A datagram buffer as the codec sees it: a base, a capacity and a
// data-start. The encoder writes a message so that it ends at
// base + capacity and moves data-start to its first byte; the decoder reads
// from data-start to base + capacity.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

class IQesRawPacket {
 public:
  virtual void release() = 0;
  virtual uint8_t* base() = 0;
  virtual const uint8_t* base() const = 0;
  virtual uint32_t capacity() const = 0;
  virtual uint32_t data_start() const = 0;
  // -2 beyond the capacity.
  virtual Result set_data_start(uint32_t offset) = 0;
  // The encoder hands over the target's maximum message size before it
  // writes. The buffer only records it: the capacity stays, and the sessions
  // compare the encoded length with it themselves.
  virtual void set_max_message_size(uint64_t size) = 0;
  virtual uint64_t max_message_size() const = 0;

  // The message bytes.
  const uint8_t* data() const { return base() + data_start(); }
  uint32_t length() const { return capacity() - data_start(); }

 protected:
  virtual ~IQesRawPacket() = default;
};

using RawPacketPtr = QelPtr<IQesRawPacket>;

// An empty output buffer of `capacity` bytes (data-start at the end).
// `status` (optional): 0 or -3.
IQesRawPacket* qes_create_raw_packet(uint32_t capacity, Result* status = nullptr);
// A buffer holding a copy of a received datagram (data-start 0).
IQesRawPacket* qes_create_raw_packet_from(const void* bytes, uint32_t length, Result* status = nullptr);

}  // namespace orv
