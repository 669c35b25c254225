// The abstract base of every SMI value class: each slot answers "not
// supported" until a kind overrides it. IQelSmiValue is a virtual base, so a
// class that also carries IQelOid still has one common interface.
#pragma once

#include <new>

#include "snmp/smi/qel_oid.h"
#include "snmp/smi/recycled_blocks.h"
#include "snmp/smi/smi_value.h"

namespace orv::smi {

inline void put_status(Result* status, Result value) {
  if (status) *status = value;
}

class CQelSmiValue : public virtual IQelSmiValue, public RecycledAllocation {
 public:
  // Runs once after construction; the factory releases the value when it fails.
  virtual Result init() { return kOk; }

  Result accept(IQesValueVisitor* visitor) override;
  void release() override { delete this; }
  Result assign(const IQelSmiValue* other) override;
  void clear() override {}
  bool equals(const IQelSmiValue* other) const override;
  uint32_t flags() const override { return 0; }
  Result query(uint32_t id, void** out) override;
  bool is_valid() const override { return true; }
  int32_t get_int32(Result* status) const override;
  uint32_t get_uint32(Result* status) const override;
  IQelBuffer* to_text(Result* status) const override;
  Result write_text(IQelBuffer* buffer) const override;
  const uint8_t* get_bytes(uint32_t* length, Result* status) const override;
  IQelBuffer* to_bytes(Result* status) const override;
  Result write_bytes(IQelBuffer* buffer) const override;
  uint16_t get_uint16(Result* status) const override;
  uint32_t get_high32(Result* status) const override;
  uint32_t get_low32(Result* status) const override;
  Result set_int32(int32_t value) override;
  Result set_uint32(uint32_t value) override;
  Result set_text(const char* text) override;
  Result put_content(IQelContentSink* sink) const override;
  Result set_bytes(const void* bytes, uint32_t length) override;
  Result put_counted_content(IQelContentSink* sink) const override;
  Result set_high32(uint32_t value) override;
  Result set_low32(uint32_t value) override;
  Result reserved() override;
  uint32_t length() const override;
  Result copy_before(uint8_t* position, size_t room) const override;
  uint32_t element(uint32_t index, Result* status) const override;
  Result append_to_oid(IQelOid* oid, bool implied) const override;
  Result to_oid(IQelOid* oid, bool implied) const override;
  Result from_oid(const IQelOid* oid, bool implied, uint32_t count) override;

 protected:
  CQelSmiValue() = default;
  ~CQelSmiValue() override = default;

  // Whether the kind turns into arcs (append_to_oid / to_oid).
  virtual bool has_arcs() const { return false; }
  // Whether query(kQueryKindBase | kind) yields this object.
  virtual bool answers_kind(uint32_t kind) const { return kind == this->kind(); }

  // `other` as the class T when it is of this value's kind, else nullptr.
  template <typename T>
  const T* same_kind(const IQelSmiValue* other) const {
    if (!other || other->kind() != kind()) return nullptr;
    return dynamic_cast<const T*>(other);
  }
};

// The arcs of `oid` that from_oid takes: `implied`: `count` arcs from the
// first (at most all); else the first arc is the length and that many arcs
// follow it (-401 when fewer do).
Result index_arc_range(const IQelOid* oid, bool implied, uint32_t count, uint32_t* first, uint32_t* take);

// A new T holding a copy of `self`; nullptr with the failure in `status`.
template <typename T, typename... Args>
T* clone_value(const T& self, Result* status, Args... args) {
  T* copy = new (std::nothrow) T(args...);
  if (!copy) {
    put_status(status, kErrNoMemory);
    return nullptr;
  }
  Result r = copy->init();
  if (r == kOk) r = copy->assign(&self);
  if (r != kOk) {
    copy->release();
    copy = nullptr;
  }
  put_status(status, r);
  return copy;
}

}  // namespace orv::smi
