// OCTET STRING, the base of every byte-buffer kind, and Opaque. The bytes
// live in an OctetStorage, so short contents need no second allocation.
#pragma once

#include "snmp/smi/octet_storage.h"
#include "snmp/smi/value_base.h"

namespace orv::smi {

class CQelOctetString : public CQelSmiValue {
 public:
  Result init() override;
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override;
  uint32_t kind() const override { return kSmiOctetString; }
  bool equals(const IQelSmiValue* other) const override;
  Result write_text(IQelBuffer* buffer) const override;
  const uint8_t* get_bytes(uint32_t* length, Result* status) const override;
  Result write_bytes(IQelBuffer* buffer) const override;
  Result set_text(const char* text) override;
  Result put_content(IQelContentSink* sink) const override;
  Result set_bytes(const void* bytes, uint32_t length) override;
  Result put_counted_content(IQelContentSink* sink) const override;
  uint32_t length() const override { return bytes_.size(); }
  Result copy_before(uint8_t* position, size_t room) const override;
  uint32_t element(uint32_t index, Result* status) const override;
  Result append_to_oid(IQelOid* oid, bool implied) const override;
  Result from_oid(const IQelOid* oid, bool implied, uint32_t count) override;

 protected:
  bool has_arcs() const override { return true; }
  bool answers_kind(uint32_t kind) const override { return kind == kSmiOctetString || kind == this->kind(); }
  // The address kinds hold exactly this many octets (0: any number).
  virtual uint32_t fixed_size() const { return 0; }
  const uint8_t* octets() const { return bytes_.data(); }
  uint8_t* octets() { return bytes_.data(); }

 private:
  OctetStorage bytes_;
};

class CQelOpaque : public CQelOctetString {
 public:
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  uint32_t kind() const override { return kSmiOpaque; }
};

}  // namespace orv::smi
