#include "snmp/message/var_bind_list.h"

#include <new>
#include <vector>

#include "snmp/smi/recycled_blocks.h"

namespace orv {
namespace {

class CQesVarBindList final : public IQesVarBindList, public smi::RecycledAllocation {
 public:
  void release() override { delete this; }

  IQesVarBindList* clone(Result* status) const override { return copy_range(0, count(), status, true); }

  bool equals(const IQesVarBindList* other) const override {
    if (!other || other->count() != count()) return false;
    for (uint32_t i = 0; i < count(); ++i)
      if (!items_[i]->equals(other->at(i))) return false;
    return true;
  }

  uint32_t count() const override { return static_cast<uint32_t>(items_.size()); }

  Result append_new(IQelOid* oid, IQelSmiValue* value) override { return add_new(oid, value, false); }
  Result append(IQesVarBind* var_bind) override { return add(var_bind, false); }
  Result insert_new_front(IQelOid* oid, IQelSmiValue* value) override { return add_new(oid, value, true); }
  Result insert_front(IQesVarBind* var_bind) override { return add(var_bind, true); }

  Result remove_at(uint32_t index, IQesVarBind** out) override {
    if (index >= items_.size()) return kErrInvalidArg;
    VarBindPtr vb(items_[index].release());
    items_.erase(items_.begin() + index);
    if (out) *out = vb.release();
    return kOk;
  }

  Result take_first_apart(IQelOid** oid, IQelSmiValue** value) override {
    VarBindPtr vb(remove_first());
    if (!vb) return kErrNoValue;
    vb->detach(oid, value);
    return kOk;
  }

  IQesVarBind* remove_first() override {
    IQesVarBind* vb = nullptr;
    remove_at(0, &vb);
    return vb;
  }

  IQesVarBind* at(uint32_t index) const override {
    return index < items_.size() ? items_[index].get() : nullptr;
  }

  IQesVarBindList* copy_range(uint32_t start, uint32_t count, Result* status) const override {
    return copy_range(start, count, status, false);
  }

  IQesVarBindList* split_front(uint32_t count, Result* status) override {
    auto* front = new (std::nothrow) CQesVarBindList;
    if (!front) {
      if (status) *status = kErrNoMemory;
      return nullptr;
    }
    size_t n = count < items_.size() ? count : items_.size();
    try {
      front->items_.reserve(n);
    } catch (const std::bad_alloc&) {
      front->release();
      if (status) *status = kErrNoMemory;
      return nullptr;
    }
    for (size_t i = 0; i < n; ++i) front->items_.push_back(std::move(items_[i]));
    items_.erase(items_.begin(), items_.begin() + static_cast<ptrdiff_t>(n));
    if (status) *status = kOk;
    return front;
  }

  void record_error(int32_t error_status, int32_t error_index) override {
    for (size_t i = 0; i < items_.size(); ++i)
      items_[i]->set_status(static_cast<int64_t>(i) + 1 == error_index ? error_status : kVarBindStatusOther);
  }

  void set_all_status(int32_t status) override {
    for (auto& vb : items_) vb->set_status(status);
  }

 private:
  ~CQesVarBindList() override = default;

  // `whole`: an empty list copies to an empty list instead of refusing start 0.
  IQesVarBindList* copy_range(uint32_t start, uint32_t count, Result* status, bool whole) const {
    Result rc = kOk;
    if (!whole && start >= items_.size()) rc = kErrInvalidArg;
    auto* copy = rc == kOk ? new (std::nothrow) CQesVarBindList : nullptr;
    if (rc == kOk && !copy) rc = kErrNoMemory;
    VarBindListPtr holder(copy);
    size_t end = start + static_cast<size_t>(count);
    if (end > items_.size()) end = items_.size();
    for (size_t i = start; rc == kOk && i < end; ++i) {
      VarBindPtr vb(items_[i]->clone(&rc));
      if (rc == kOk) rc = copy->add(vb.get(), false);
      if (rc == kOk) vb.release();
    }
    if (status) *status = rc;
    return rc == kOk ? holder.release() : nullptr;
  }

  Result add(IQesVarBind* var_bind, bool front) {
    if (!var_bind) return kErrInvalidArg;
    try {
      if (front)
        items_.emplace(items_.begin(), var_bind);
      else
        items_.emplace_back(var_bind);
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
    return kOk;
  }

  Result add_new(IQelOid* oid, IQelSmiValue* value, bool front) {
    if (!oid) return kErrInvalidArg;
    Result rc = kOk;
    VarBindPtr vb(qes_create_var_bind(&rc));
    if (!vb) return rc;
    // A missing value becomes NULL; the caller's parts are taken only once
    // the binding is in the list.
    rc = vb->init(oid, value);
    if (rc != kOk) return rc;
    rc = add(vb.get(), front);
    if (rc != kOk) {
      IQelOid* own_oid = nullptr;
      IQelSmiValue* own_value = nullptr;
      vb->detach(&own_oid, &own_value);  // the caller keeps its parts
      if (own_value != value) own_value->release();
      return rc;
    }
    vb.release();
    return kOk;
  }

  std::vector<VarBindPtr> items_;
};

}  // namespace

IQesVarBindList* qes_create_var_bind_list(Result* status) {
  IQesVarBindList* list = new (std::nothrow) CQesVarBindList;
  if (status) *status = list ? kOk : kErrNoMemory;
  return list;
}

}  // namespace orv
