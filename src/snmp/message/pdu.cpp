#include "snmp/message/pdu.h"
#include "snmp/message/parts_equal.h"

#include <new>

#include "snmp/smi/recycled_blocks.h"

namespace orv {
namespace {

class CQesPdu final : public IQesPdu, public smi::RecycledAllocation {
 public:
  void release() override { delete this; }

  void clear() override {
    list_.reset();
    time_stamp_.reset();
    trap_oid_.reset();
    type_ = kPduUnset;
    error_status_ = -1;
    error_index_ = 0;
  }

  IQesPdu* clone(Result* status) const override {
    Result rc = kOk;
    PduPtr copy(qes_create_pdu(&rc));
    if (copy) rc = copy->copy_from(this);
    if (status) *status = rc;
    return rc == kOk ? copy.release() : nullptr;
  }

  Result copy_from(const IQesPdu* other) override {
    if (!other) return kErrInvalidArg;
    if (other == this) return kOk;
    VarBindListPtr list;
    if (other->var_bind_list()) {
      Result rc = kOk;
      list.reset(other->var_bind_list()->clone(&rc));
      if (!list) return rc;
    }
    Result rc = copy_header_from(other);
    if (rc != kOk) return rc;
    list_ = std::move(list);
    return kOk;
  }

  Result copy_header_from(const IQesPdu* other) override {
    if (!other) return kErrInvalidArg;
    if (other == this) return kOk;
    Result rc = kOk;
    SmiValuePtr stamp;
    OidPtr trap;
    if (other->time_stamp()) {
      stamp.reset(other->time_stamp()->clone(&rc));
      if (!stamp) return rc;
    }
    if (other->trap_oid()) {
      trap.reset(other->trap_oid()->clone_oid(&rc));
      if (!trap) return rc;
    }
    type_ = other->type();
    request_id_ = other->request_id();
    error_status_ = other->error_status();
    error_index_ = other->error_index();
    time_stamp_ = std::move(stamp);
    trap_oid_ = std::move(trap);
    return kOk;
  }

  bool equals(const IQesPdu* other) const override {
    if (!other || type_ == kPduUnset || other->type() == kPduUnset || type_ != other->type()) return false;
    if (type_ == kPduTrap) {
      if (!parts_equal<IQelSmiValue>(time_stamp_.get(), other->time_stamp()) ||
          !parts_equal<IQelSmiValue>(trap_oid_.get(), other->trap_oid()))
        return false;
    } else if (request_id_ != other->request_id() || error_index_ != other->error_index() ||
               error_status_ != other->error_status()) {
      return false;
    }
    return parts_equal(list_.get(), other->var_bind_list());
  }

  int32_t type() const override { return type_; }
  void set_type(int32_t type) override { type_ = type; }

  IQesVarBindList* var_bind_list() const override { return list_.get(); }
  void set_var_bind_list(IQesVarBindList* list) override {
    if (list != list_.get()) list_.reset(list);
  }
  IQesVarBindList* detach_var_bind_list() override { return list_.release(); }

  Result append_new(IQelOid* oid, IQelSmiValue* value) override {
    Result rc = ensure_list();
    return rc == kOk ? list_->append_new(oid, value) : rc;
  }
  Result append(IQesVarBind* var_bind) override {
    Result rc = ensure_list();
    return rc == kOk ? list_->append(var_bind) : rc;
  }
  Result insert_new_front(IQelOid* oid, IQelSmiValue* value) override {
    Result rc = ensure_list();
    return rc == kOk ? list_->insert_new_front(oid, value) : rc;
  }
  Result insert_front(IQesVarBind* var_bind) override {
    Result rc = ensure_list();
    return rc == kOk ? list_->insert_front(var_bind) : rc;
  }
  Result take_first_apart(IQelOid** oid, IQelSmiValue** value) override {
    return list_ ? list_->take_first_apart(oid, value) : kErrNoValue;
  }
  IQesVarBind* remove_first() override { return list_ ? list_->remove_first() : nullptr; }

  int32_t request_id() const override { return request_id_; }
  int32_t error_status() const override { return error_status_; }
  int32_t error_index() const override { return error_index_; }
  void set_request_id(int32_t id) override { request_id_ = id; }
  void set_error_status(int32_t status) override { error_status_ = status; }
  void set_error_index(int32_t index) override { error_index_ = index; }

  IQelSmiValue* time_stamp() const override { return time_stamp_.get(); }
  IQelOid* trap_oid() const override { return trap_oid_.get(); }
  IQelSmiValue* detach_time_stamp() override { return time_stamp_.release(); }
  IQelOid* detach_trap_oid() override { return trap_oid_.release(); }

  Result set_time_stamp(IQelSmiValue* value) override {
    if (!value || value->kind() != kSmiTimeTicks) return kErrInvalidArg;
    if (value != time_stamp_.get()) time_stamp_.reset(value);
    return kOk;
  }
  Result set_trap_oid(IQelSmiValue* value) override {
    IQelOid* oid = as_oid(value);
    if (!oid) return kErrInvalidArg;
    if (oid != trap_oid_.get()) trap_oid_.reset(oid);
    return kOk;
  }

 private:
  ~CQesPdu() override = default;

  Result ensure_list() {
    if (list_) return kOk;
    Result rc = kOk;
    list_.reset(qes_create_var_bind_list(&rc));
    return list_ ? kOk : rc;
  }

  int32_t type_ = kPduUnset;
  int32_t request_id_ = 0;
  int32_t error_status_ = 0;
  int32_t error_index_ = 0;
  VarBindListPtr list_;
  SmiValuePtr time_stamp_;
  OidPtr trap_oid_;
};

}  // namespace

IQesPdu* qes_create_pdu(Result* status) {
  IQesPdu* pdu = new (std::nothrow) CQesPdu;
  if (status) *status = pdu ? kOk : kErrNoMemory;
  return pdu;
}

}  // namespace orv
