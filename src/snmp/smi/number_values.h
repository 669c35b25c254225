// The number kinds: INTEGER, the Gauge32 family (Counter32 and TimeTicks
// derive from Gauge32 and differ only in kind, clone and visitor operation)
// and Counter64. None allocates beyond the object itself.
#pragma once

#include "snmp/smi/value_base.h"

namespace orv::smi {

class CQelInteger : public CQelSmiValue {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override { value_ = 0; }
  uint32_t kind() const override { return kSmiInteger; }
  bool equals(const IQelSmiValue* other) const override;
  int32_t get_int32(Result* status) const override;
  Result write_text(IQelBuffer* buffer) const override;
  Result set_int32(int32_t value) override;
  Result set_text(const char* text) override;
  uint32_t length() const override { return 1; }
  Result append_to_oid(IQelOid* oid, bool implied) const override;
  Result from_oid(const IQelOid* oid, bool implied, uint32_t count) override;

 protected:
  bool has_arcs() const override { return true; }

 private:
  int32_t value_ = 0;
};

class CQelGauge32 : public CQelSmiValue {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override { value_ = 0; }
  uint32_t kind() const override { return kSmiGauge32; }
  bool equals(const IQelSmiValue* other) const override;
  uint32_t get_uint32(Result* status) const override;
  Result write_text(IQelBuffer* buffer) const override;
  Result set_uint32(uint32_t value) override;
  Result set_text(const char* text) override;
  uint32_t length() const override { return 1; }
  Result append_to_oid(IQelOid* oid, bool implied) const override;
  Result from_oid(const IQelOid* oid, bool implied, uint32_t count) override;

 protected:
  bool has_arcs() const override { return true; }
  bool answers_kind(uint32_t kind) const override { return kind == kSmiGauge32 || kind == this->kind(); }

 private:
  uint32_t value_ = 0;
};

class CQelCounter32 : public CQelGauge32 {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  uint32_t kind() const override { return kSmiCounter32; }
};

class CQelTimeTicks : public CQelGauge32 {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  uint32_t kind() const override { return kSmiTimeTicks; }
};

class CQelCounter64 : public CQelSmiValue {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override { high_ = low_ = 0; }
  uint32_t kind() const override { return kSmiCounter64; }
  bool equals(const IQelSmiValue* other) const override;
  // Unsigned 64-bit decimal.
  Result write_text(IQelBuffer* buffer) const override;
  uint32_t get_high32(Result* status) const override;
  uint32_t get_low32(Result* status) const override;
  Result set_uint32(uint32_t value) override;
  Result set_text(const char* text) override;
  Result set_high32(uint32_t value) override;
  Result set_low32(uint32_t value) override;
  uint32_t length() const override { return 1; }

 private:
  uint32_t high_ = 0;
  uint32_t low_ = 0;
};

}  // namespace orv::smi
