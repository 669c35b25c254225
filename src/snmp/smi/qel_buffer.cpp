// The owned byte buffer: an OctetStorage behind the IQelBuffer slots.
#include "snmp/smi/qel_buffer.h"

#include <cstring>
#include <new>

#include "snmp/smi/octet_storage.h"
#include "snmp/smi/recycled_blocks.h"
#include "snmp/smi/value_base.h"

namespace orv {
namespace {

uint32_t text_length(const char* text) { return text ? static_cast<uint32_t>(std::strlen(text)) : 0; }

class CQelBuffer final : public IQelBuffer, public smi::RecycledAllocation {
 public:
  void release() override { delete this; }
  uint32_t length() const override { return bytes_.size(); }
  const uint8_t* data() const override { return bytes_.size() ? bytes_.data() : nullptr; }
  Result set_bytes(const void* bytes, uint32_t length) override { return bytes_.assign(bytes, bytes ? length : 0); }
  Result set_string(const char* text) override { return bytes_.assign(text, text_length(text)); }
  Result append_bytes(const void* bytes, uint32_t length) override { return bytes_.append(bytes, length); }
  Result append_string(const char* text) override { return bytes_.append(text, text_length(text)); }
  Result append_buffer(const IQelBuffer* other) override {
    return other ? bytes_.append(other->data(), other->length()) : kErrInvalidArg;
  }
  IQelBuffer* clone(Result* status) const override {
    auto* copy = new (std::nothrow) CQelBuffer();
    Result r = copy ? copy->set_bytes(bytes_.data(), bytes_.size()) : kErrNoMemory;
    if (r != kOk && copy) {
      copy->release();
      copy = nullptr;
    }
    smi::put_status(status, r);
    return copy;
  }
  bool equals_bytes(const void* bytes, uint32_t length) const override { return bytes_.equals(bytes, length); }
  bool equals_string(const char* text) const override { return bytes_.equals(text, text_length(text)); }
  bool equals_buffer(const IQelBuffer* other) const override {
    return other && bytes_.equals(other->data(), other->length());
  }

 private:
  ~CQelBuffer() override = default;
  smi::OctetStorage bytes_;
};

}  // namespace

IQelBuffer* qel_create_buffer(Result* status) {
  IQelBuffer* buffer = new (std::nothrow) CQelBuffer();
  smi::put_status(status, buffer ? kOk : kErrNoMemory);
  return buffer;
}

}  // namespace orv
