#include "snmp/message/var_bind.h"
#include "snmp/message/parts_equal.h"

#include <new>

#include "snmp/smi/recycled_blocks.h"
#include "snmp/smi/smi_factory.h"

namespace orv {
namespace {

class CQesVarBind final : public IQesVarBind, public smi::RecycledAllocation {
 public:
  void release() override { delete this; }

  IQesVarBind* clone(Result* status) const override {
    Result rc = kOk;
    VarBindPtr copy(new (std::nothrow) CQesVarBind);
    if (!copy) rc = kErrNoMemory;
    OidPtr oid;
    SmiValuePtr value;
    if (rc == kOk && oid_) {
      oid.reset(oid_->clone_oid(&rc));
      if (!oid && rc == kOk) rc = kErrNoMemory;
    }
    if (rc == kOk && value_) {
      value.reset(value_->clone(&rc));
      if (!value && rc == kOk) rc = kErrNoMemory;
    }
    if (status) *status = rc;
    if (rc != kOk) return nullptr;
    auto* c = static_cast<CQesVarBind*>(copy.get());
    c->oid_ = std::move(oid);
    c->value_ = std::move(value);
    c->status_ = status_;
    return copy.release();
  }

  bool equals(const IQesVarBind* other) const override {
    if (!other) return false;
    return status_ == other->status() && parts_equal<IQelSmiValue>(value_.get(), other->value()) &&
           parts_equal<IQelSmiValue>(oid_.get(), other->oid());
  }

  Result init(IQelOid* oid, IQelSmiValue* value) override {
    if (!value) {
      Result rc = kOk;
      value = create_smi_value(kSmiNull, &rc);
      if (!value) return rc != kOk ? rc : kErrNoMemory;
    }
    if (oid != oid_.get()) oid_.reset(oid);
    if (value != value_.get()) value_.reset(value);
    return kOk;
  }
  Result set(IQelOid* oid, IQelSmiValue* value) override { return init(oid, value); }

  void detach(IQelOid** oid, IQelSmiValue** value) override {
    if (oid) *oid = oid_.release();
    if (value) *value = value_.release();
    oid_.reset();
    value_.reset();
  }

  Result set_oid(IQelOid* oid) override {
    if (oid != oid_.get()) oid_.reset(oid);
    return kOk;
  }
  Result set_value(IQelSmiValue* value) override {
    if (!value) return kErrInvalidArg;
    if (value != value_.get()) value_.reset(value);
    return kOk;
  }
  IQelOid* oid() const override { return oid_.get(); }
  IQelSmiValue* value() const override { return value_.get(); }
  int32_t status() const override { return status_; }
  void set_status(int32_t status) override { status_ = status; }

 private:
  OidPtr oid_;
  SmiValuePtr value_;
  int32_t status_ = 0;
};

}  // namespace

IQesVarBind* qes_create_var_bind(Result* status) {
  IQesVarBind* vb = new (std::nothrow) CQesVarBind;
  if (status) *status = vb ? kOk : kErrNoMemory;
  return vb;
}

}  // namespace orv
