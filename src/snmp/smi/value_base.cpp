#include "snmp/smi/value_base.h"

namespace orv::smi {

Result CQelSmiValue::accept(IQesValueVisitor*) { return kErrNotSupported; }
Result CQelSmiValue::assign(const IQelSmiValue*) { return kErrNotSupported; }
bool CQelSmiValue::equals(const IQelSmiValue*) const { return false; }

Result CQelSmiValue::query(uint32_t id, void** out) {
  if (!out) return kErrInvalidArg;
  *out = nullptr;
  if (id == kQuerySmiValue) {
    *out = static_cast<IQelSmiValue*>(this);
  } else if (id == kQueryObject) {
    *out = dynamic_cast<void*>(this);
  } else if ((id & 0xFFFF0000u) == kQueryKindBase && answers_kind(id & 0xFFFFu)) {
    *out = static_cast<IQelSmiValue*>(this);
  }
  return *out ? kOk : kErrNoInterface;
}

int32_t CQelSmiValue::get_int32(Result* status) const {
  put_status(status, kErrNotSupported);
  return -1;
}

uint32_t CQelSmiValue::get_uint32(Result* status) const {
  put_status(status, kErrNotSupported);
  return kSmiNotSupported32;
}

IQelBuffer* CQelSmiValue::to_text(Result* status) const {
  BufferPtr buffer(qel_create_buffer(status));
  if (!buffer) return nullptr;
  const Result r = write_text(buffer.get());
  put_status(status, r);
  return r == kOk ? buffer.release() : nullptr;
}

Result CQelSmiValue::write_text(IQelBuffer*) const { return kErrNotSupported; }

const uint8_t* CQelSmiValue::get_bytes(uint32_t* length, Result* status) const {
  put_status(status, length ? kErrNotSupported : kErrInvalidArg);
  return nullptr;
}

IQelBuffer* CQelSmiValue::to_bytes(Result* status) const {
  BufferPtr buffer(qel_create_buffer(status));
  if (!buffer) return nullptr;
  const Result r = write_bytes(buffer.get());
  put_status(status, r);
  return r == kOk ? buffer.release() : nullptr;
}

Result CQelSmiValue::write_bytes(IQelBuffer*) const { return kErrNotSupported; }

uint16_t CQelSmiValue::get_uint16(Result* status) const {
  put_status(status, kErrNotSupported);
  return kSmiNotSupported16;
}

uint32_t CQelSmiValue::get_high32(Result* status) const {
  put_status(status, kErrNotSupported);
  return kSmiNotSupported32;
}

uint32_t CQelSmiValue::get_low32(Result* status) const {
  put_status(status, kErrNotSupported);
  return kSmiNotSupported32;
}

Result CQelSmiValue::set_int32(int32_t) { return kErrNotSupported; }
Result CQelSmiValue::set_uint32(uint32_t) { return kErrNotSupported; }
Result CQelSmiValue::set_text(const char*) { return kErrNotSupported; }
Result CQelSmiValue::put_content(IQelContentSink*) const { return kErrNotSupported; }
Result CQelSmiValue::set_bytes(const void*, uint32_t) { return kErrNotSupported; }
Result CQelSmiValue::put_counted_content(IQelContentSink*) const { return kErrNotSupported; }
Result CQelSmiValue::set_high32(uint32_t) { return kErrNotSupported; }
Result CQelSmiValue::set_low32(uint32_t) { return kErrNotSupported; }
Result CQelSmiValue::reserved() { return kErrNotSupported; }
uint32_t CQelSmiValue::length() const { return kSmiNotSupported32; }
Result CQelSmiValue::copy_before(uint8_t*, size_t) const { return kErrNotSupported; }

uint32_t CQelSmiValue::element(uint32_t, Result* status) const {
  put_status(status, kErrNotSupported);
  return kSmiNotSupported32;
}

Result CQelSmiValue::append_to_oid(IQelOid*, bool) const { return kErrNotSupported; }

Result CQelSmiValue::to_oid(IQelOid* oid, bool implied) const {
  if (!has_arcs()) return kErrNotSupported;
  if (!oid) return kErrInvalidArg;
  if (static_cast<const IQelSmiValue*>(oid) == static_cast<const IQelSmiValue*>(this)) return kErrInvalidArg;
  oid->clear();
  return append_to_oid(oid, implied);
}

Result index_arc_range(const IQelOid* oid, bool implied, uint32_t count, uint32_t* first, uint32_t* take) {
  if (!oid) return kErrInvalidArg;
  const uint32_t arcs = oid->length();
  *first = 0;
  *take = count < arcs ? count : arcs;
  if (implied) return kOk;
  Result status = kOk;
  const uint32_t declared = arcs ? oid->element(0, &status) : 0;
  if (arcs == 0 || status != kOk || declared > arcs - 1) return kErrArcTooLarge;
  *first = 1;
  *take = declared;
  return kOk;
}

Result CQelSmiValue::from_oid(const IQelOid*, bool, uint32_t) { return kErrNotSupported; }

}  // namespace orv::smi
