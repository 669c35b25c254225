#include "snmp/smi/number_values.h"

#include "snmp/smi/number_text.h"
#include "snmp/smi/value_visitor.h"

namespace orv::smi {
namespace {

Result write_decimal(IQelBuffer* buffer, const char* digits, uint32_t count) {
  if (!buffer) return kErrInvalidArg;
  return buffer->set_bytes(digits, count);
}

// The first arc of `oid` as a number index.
Result first_arc(const IQelOid* oid, uint32_t* arc) {
  if (!oid) return kErrInvalidArg;
  Result status = kOk;
  *arc = oid->element(0, &status);
  return status;
}

}  // namespace

// INTEGER

Result CQelInteger::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_integer(this) : kErrInvalidArg;
}

Result CQelInteger::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelInteger>(other);
  if (!source) return kErrInvalidArg;
  value_ = source->value_;
  return kOk;
}

bool CQelInteger::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelInteger>(other);
  return source && source->value_ == value_;
}

int32_t CQelInteger::get_int32(Result* status) const {
  put_status(status, kOk);
  return value_;
}

Result CQelInteger::write_text(IQelBuffer* buffer) const {
  char digits[kMaxDecimalI32];
  return write_decimal(buffer, digits, format_i32(value_, digits));
}

Result CQelInteger::set_int32(int32_t value) {
  value_ = value;
  return kOk;
}

Result CQelInteger::set_text(const char* text) {
  if (!text) return kErrInvalidArg;
  value_ = static_cast<int32_t>(decimal_text_to_bits32(text));
  return kOk;
}

Result CQelInteger::append_to_oid(IQelOid* oid, bool) const {
  return oid ? oid->append_arc(value_) : kErrInvalidArg;
}

Result CQelInteger::from_oid(const IQelOid* oid, bool, uint32_t) {
  uint32_t arc = 0;
  const Result r = first_arc(oid, &arc);
  if (r == kOk) value_ = static_cast<int32_t>(arc);
  return r;
}

// Gauge32, Counter32, TimeTicks

Result CQelGauge32::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_gauge32(this) : kErrInvalidArg;
}

Result CQelCounter32::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_counter32(this) : kErrInvalidArg;
}

Result CQelTimeTicks::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_timeticks(this) : kErrInvalidArg;
}

Result CQelGauge32::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelGauge32>(other);
  if (!source) return kErrInvalidArg;
  value_ = source->value_;
  return kOk;
}

bool CQelGauge32::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelGauge32>(other);
  return source && source->value_ == value_;
}

uint32_t CQelGauge32::get_uint32(Result* status) const {
  put_status(status, kOk);
  return value_;
}

Result CQelGauge32::write_text(IQelBuffer* buffer) const {
  char digits[kMaxDecimalU32];
  return write_decimal(buffer, digits, format_u32(value_, digits));
}

Result CQelGauge32::set_uint32(uint32_t value) {
  value_ = value;
  return kOk;
}

Result CQelGauge32::set_text(const char* text) {
  if (!text) return kErrInvalidArg;
  value_ = decimal_text_to_bits32(text);
  return kOk;
}

Result CQelGauge32::append_to_oid(IQelOid* oid, bool) const {
  return oid ? oid->append_arc_u32(value_) : kErrInvalidArg;
}

Result CQelGauge32::from_oid(const IQelOid* oid, bool, uint32_t) {
  uint32_t arc = 0;
  const Result r = first_arc(oid, &arc);
  if (r == kOk) value_ = arc;
  return r;
}

// Counter64

Result CQelCounter64::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_counter64(this) : kErrInvalidArg;
}

Result CQelCounter64::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelCounter64>(other);
  if (!source) return kErrInvalidArg;
  high_ = source->high_;
  low_ = source->low_;
  return kOk;
}

bool CQelCounter64::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelCounter64>(other);
  return source && source->high_ == high_ && source->low_ == low_;
}

Result CQelCounter64::write_text(IQelBuffer* buffer) const {
  char digits[kMaxDecimalU64];
  return write_decimal(buffer, digits, format_u64(static_cast<uint64_t>(high_) << 32 | low_, digits));
}

uint32_t CQelCounter64::get_high32(Result* status) const {
  put_status(status, kOk);
  return high_;
}

uint32_t CQelCounter64::get_low32(Result* status) const {
  put_status(status, kOk);
  return low_;
}

Result CQelCounter64::set_uint32(uint32_t value) {
  high_ = 0;
  low_ = value;
  return kOk;
}

Result CQelCounter64::set_text(const char* text) {
  if (!text) return kErrInvalidArg;
  const uint64_t value = decimal_text_to_u64(text);
  high_ = static_cast<uint32_t>(value >> 32);
  low_ = static_cast<uint32_t>(value);
  return kOk;
}

Result CQelCounter64::set_high32(uint32_t value) {
  high_ = value;
  return kOk;
}

Result CQelCounter64::set_low32(uint32_t value) {
  low_ = value;
  return kOk;
}

}  // namespace orv::smi
