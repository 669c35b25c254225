#include "snmp/facade/value_forms.h"

#include <cstring>

namespace orv::facade {

void copy_value_text(char* out, size_t capacity, const char* text, uint32_t length) {
  if (out == nullptr || capacity == 0) return;
  size_t n = text != nullptr ? length : 0;
  if (n > capacity - 1) n = capacity - 1;
  if (n > 0) std::memcpy(out, text, n);
  out[n] = '\0';
}

Result write_value_text(const IQelSmiValue* value, char* out, size_t capacity) {
  if (value == nullptr || out == nullptr) return kErrInvalidArg;
  Result status = kOk;
  BufferPtr text(value->to_text(&status));
  if (!text) return status != kOk ? status : kErrNoMemory;
  copy_value_text(out, capacity, text->c_str(), text->length());
  return kOk;
}

bool value_is_absent(const IQelSmiValue* value) {
  if (value == nullptr) return true;
  const uint32_t kind = value->kind();
  return kind == kSmiNull || kind == kSmiNoSuchObject || kind == kSmiNoSuchInstance ||
         kind == kSmiEndOfMibView;
}

int32_t value_as_int32(const IQelSmiValue* value) {
  if (value == nullptr) return -1;
  switch (value->kind()) {
    case kSmiInteger:
      return value->get_int32();
    case kSmiCounter32:
    case kSmiGauge32:
    case kSmiTimeTicks:
      return static_cast<int32_t>(value->get_uint32());
    default:
      return -1;
  }
}

}  // namespace orv::facade
