// OBJECT IDENTIFIER: keeps exactly its dotted text, with the arc count and
// the arcs' start offsets cached. Appends grow the text geometrically and
// update the caches instead of dropping them.
#pragma once

#include "snmp/smi/arc_offsets.h"
#include "snmp/smi/octet_storage.h"
#include "snmp/smi/value_base.h"

namespace orv::smi {

class CQelOid : public CQelSmiValue, public IQelOid {
 public:
  CQelOid() = default;

  // Common value slots.
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override;
  uint32_t kind() const override { return kSmiOid; }
  bool equals(const IQelSmiValue* other) const override;
  Result query(uint32_t id, void** out) override;
  bool is_valid() const override;
  Result write_text(IQelBuffer* buffer) const override;
  const uint8_t* get_bytes(uint32_t* length, Result* status) const override;
  Result write_bytes(IQelBuffer* buffer) const override { return write_text(buffer); }
  Result set_text(const char* text) override;
  Result put_content(IQelContentSink* sink) const override;
  Result put_counted_content(IQelContentSink* sink) const override;
  uint32_t length() const override { return arc_count(); }
  uint32_t element(uint32_t index, Result* status) const override;
  Result append_to_oid(IQelOid* oid, bool implied) const override;
  Result from_oid(const IQelOid* oid, bool implied, uint32_t count) override;

  // IQelOid.
  IQelOid* clone_oid(Result* status) const override { return clone_value(*this, status); }
  int32_t compare_text(const char* text, Result* status) const override;
  int32_t compare_oid(const IQelOid* other, Result* status) const override;
  Result strip_prefix_text(const char* prefix) override;
  Result strip_prefix_oid(const IQelOid* prefix) override;
  Result append_text(const char* text) override;
  Result append_arc(int32_t arc) override;
  Result append_oid(const IQelOid* other) override;
  Result erase_arcs(uint32_t start, uint32_t count) override;
  const char* text() const override { return text_.c_str(); }
  uint32_t text_length() const override { return text_.size(); }
  Result append_arc_u32(uint32_t arc) override;
  Result set_arcs(const uint32_t* arcs, uint32_t count) override;
  Result append_arcs(const uint32_t* arcs, uint32_t count) override;
  Result get_arcs(uint32_t* arcs, uint32_t capacity, uint32_t* count) const override;
  Result reserve(uint32_t text_length) override { return text_.reserve(text_length); }

 protected:
  bool has_arcs() const override { return true; }

 private:
  uint32_t arc_count() const;
  Result build_offsets() const;
  // Appends `length` characters after a dot (none when empty); `part` may
  // lie inside this text.
  Result append_part(const char* part, uint32_t length);
  // Brings the caches up to date after the text grew from `old_length`.
  void note_appended(uint32_t old_length);
  Result strip_prefix(const char* prefix, uint32_t length);
  // The text changed in a way the caches cannot follow.
  void forget_arcs() { count_known_ = offsets_known_ = false; }

  OctetStorage text_{OctetStorage::Growth::kDoubling};
  mutable uint32_t count_ = 0;
  mutable bool count_known_ = true;
  mutable ArcOffsets offsets_;
  mutable bool offsets_known_ = false;
};

}  // namespace orv::smi
