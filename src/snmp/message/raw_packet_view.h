// A raw packet over bytes that someone else owns and keeps (a session's
// send and receive buffers), so that a message costs no allocation and no
// copy. Its owner ends it: release() leaves it alone, so it can be handed out
// where a released raw packet is expected. The heap raw packets of
// qes_create_raw_packet are views of their own bytes.
#pragma once

#include "snmp/message/raw_packet.h"

namespace orv {

class CQesRawPacketView : public IQesRawPacket {
 public:
  CQesRawPacketView() = default;
  CQesRawPacketView(const CQesRawPacketView&) = delete;
  CQesRawPacketView& operator=(const CQesRawPacketView&) = delete;
  ~CQesRawPacketView() override = default;

  // Views `capacity` bytes at `bytes`; data-start as given (clamped to the
  // capacity), the recorded maximum message size cleared.
  void view(uint8_t* bytes, uint32_t capacity, uint32_t data_start) {
    bytes_ = bytes;
    capacity_ = capacity;
    data_start_ = data_start < capacity ? data_start : capacity;
    max_message_size_ = 0;
  }

  void release() override {}
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
  uint8_t* bytes_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t data_start_ = 0;
  uint64_t max_message_size_ = 0;
};

}  // namespace orv
