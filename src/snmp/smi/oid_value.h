// OBJECT IDENTIFIER: its dotted text and, whenever that text is the plain
// printing of 32-bit arcs, those arcs as numbers. Either form may be the
// current one and the other is made on first need, so the codec moves arcs
// without printing or parsing, while text users see exactly the text.
// Texts without such arcs (leading zeros, arcs beyond 32 bits, anything
// invalid) are kept and handled as text only.
#pragma once

#include "snmp/smi/arc_array.h"
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
  uint32_t length() const override;
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
  const char* text() const override { return current_text().c_str(); }
  uint32_t text_length() const override { return current_text().size(); }
  Result append_arc_u32(uint32_t arc) override;
  Result set_arcs(const uint32_t* arcs, uint32_t count) override;
  Result append_arcs(const uint32_t* arcs, uint32_t count) override;
  Result get_arcs(uint32_t* arcs, uint32_t capacity, uint32_t* count) const override;
  Result reserve(uint32_t text_length) override { return text_.reserve(text_length); }
  const uint32_t* arc_view(uint32_t* count) const override {
    const bool known = arc_form_ == ArcForm::kKnown || has_arc_form();
    if (count) *count = known ? arcs_.size() : 0;
    return known ? arcs_.data() : nullptr;
  }
  ArcCodecCache* arc_codec_cache() const override {
    return arc_form_ == ArcForm::kKnown || has_arc_form() ? arcs_.cache() : nullptr;
  }

 protected:
  bool has_arcs() const override { return true; }

 private:
  enum class ArcForm : uint8_t {
    kUnknown,  // the text is current and not parsed yet
    kKnown,    // arcs_ holds the arcs
    kNone,     // the text is not the printing of any arcs
  };

  // The text, printed from the arcs first when only they are current.
  const OctetStorage& current_text() const;
  // Whether the content has arcs; parses the text on first need.
  bool has_arc_form() const;

  // Text-only changes: the text is edited and the arcs are parsed again on
  // next need.
  Result append_text_part(const char* part, uint32_t length);
  // Appends arcs whose numbers are already at the end of arcs_ (from
  // `first` on) to a current text.
  Result append_printed(uint32_t first);
  Result strip_prefix(const char* prefix, uint32_t length);

  mutable OctetStorage text_{OctetStorage::Growth::kDoubling};
  mutable bool text_known_ = true;
  mutable ArcArray arcs_;
  mutable ArcForm arc_form_ = ArcForm::kKnown;
};

}  // namespace orv::smi
