#include "snmp/smi/octet_string_values.h"

#include <cstring>

#include "snmp/smi/value_visitor.h"

namespace orv::smi {

Result CQelOctetString::init() { return bytes_.resize(fixed_size()); }

Result CQelOctetString::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_octet_string(this) : kErrInvalidArg;
}

Result CQelOctetString::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelOctetString>(other);
  if (!source) return kErrInvalidArg;
  if (source == this) return kOk;
  return bytes_.assign(source->bytes_.data(), source->bytes_.size());
}

void CQelOctetString::clear() {
  const uint32_t size = fixed_size();
  bytes_.clear();
  if (size != 0) {
    // Fits the inline part, which never fails.
    (void)bytes_.resize(size);
  }
}

bool CQelOctetString::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelOctetString>(other);
  return source && bytes_.equals(source->bytes_.data(), source->bytes_.size());
}

Result CQelOctetString::write_text(IQelBuffer* buffer) const { return write_bytes(buffer); }

const uint8_t* CQelOctetString::get_bytes(uint32_t* length, Result* status) const {
  if (!length) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  *length = bytes_.size();
  put_status(status, kOk);
  return bytes_.data();
}

Result CQelOctetString::write_bytes(IQelBuffer* buffer) const {
  if (!buffer) return kErrInvalidArg;
  return buffer->set_bytes(bytes_.data(), bytes_.size());
}

Result CQelOctetString::set_text(const char* text) {
  return set_bytes(text, text ? static_cast<uint32_t>(std::strlen(text)) : 0);
}

Result CQelOctetString::put_content(IQelContentSink* sink) const {
  return sink ? sink->take_content(bytes_.data(), bytes_.size()) : kErrInvalidArg;
}

Result CQelOctetString::put_counted_content(IQelContentSink* sink) const {
  return sink ? sink->take_counted_content(bytes_.data(), bytes_.size()) : kErrInvalidArg;
}

Result CQelOctetString::set_bytes(const void* bytes, uint32_t length) {
  const uint32_t size = fixed_size();
  if (size != 0 && (!bytes || length != size)) return kErrInvalidArg;
  if (!bytes && length != 0) return kErrInvalidArg;
  return bytes_.assign(bytes, length);
}

Result CQelOctetString::copy_before(uint8_t* position, size_t room) const {
  if (!position && bytes_.size() != 0) return kErrInvalidArg;
  if (bytes_.size() > room) return kErrTooBigToSend;
  if (bytes_.size() != 0) std::memcpy(position - bytes_.size(), bytes_.data(), bytes_.size());
  return kOk;
}

uint32_t CQelOctetString::element(uint32_t index, Result* status) const {
  if (index >= bytes_.size()) {
    put_status(status, kErrInvalidArg);
    return kSmiNotSupported32;
  }
  put_status(status, kOk);
  return bytes_.data()[index];
}

Result CQelOctetString::append_to_oid(IQelOid* oid, bool implied) const {
  if (!oid) return kErrInvalidArg;
  // Converted in chunks so that a long string costs no allocation here.
  constexpr uint32_t kChunk = 64;
  uint32_t arcs[kChunk];
  uint32_t filled = 0;
  if (!implied) arcs[filled++] = bytes_.size();
  for (uint32_t i = 0; i < bytes_.size(); ++i) {
    if (filled == kChunk) {
      if (Result r = oid->append_arcs(arcs, filled); r != kOk) return r;
      filled = 0;
    }
    arcs[filled++] = bytes_.data()[i];
  }
  return filled ? oid->append_arcs(arcs, filled) : kOk;
}

Result CQelOctetString::from_oid(const IQelOid* oid, bool implied, uint32_t count) {
  uint32_t first = 0;
  uint32_t take = 0;
  if (Result r = index_arc_range(oid, implied, count, &first, &take); r != kOk) return r;
  OctetStorage octets;
  uint8_t* out = nullptr;
  if (Result r = octets.grow_by(take, &out); r != kOk) return r;
  for (uint32_t i = 0; i < take; ++i) {
    Result status = kOk;
    const uint32_t arc = oid->element(first + i, &status);
    if (status != kOk || arc > 255) return kErrArcTooLarge;
    out[i] = static_cast<uint8_t>(arc);
  }
  return set_bytes(octets.data(), take);
}

}  // namespace orv::smi
