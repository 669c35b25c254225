// The kinds without content: NULL, and one class for the three exception
// kinds (noSuchObject, noSuchInstance, endOfMibView), which keeps its kind
// code. Neither converts to anything.
#pragma once

#include "snmp/smi/value_base.h"

namespace orv::smi {

class CQelNull : public CQelSmiValue {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  uint32_t kind() const override { return kSmiNull; }
  bool equals(const IQelSmiValue* other) const override;
  uint32_t length() const override { return 0; }
};

class CQelSmiException : public CQelSmiValue {
 public:
  // `kind` is one of the three exception codes.
  explicit CQelSmiException(uint32_t kind) : kind_(kind) {}
  static bool is_exception_kind(uint32_t kind);

  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status, kind_); }
  Result assign(const IQelSmiValue* other) override;
  uint32_t kind() const override { return kind_; }
  bool equals(const IQelSmiValue* other) const override;
  uint32_t length() const override { return 0; }

 private:
  uint32_t kind_;
};

}  // namespace orv::smi
