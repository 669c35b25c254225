#include "snmp/facade/walk_columns.h"

#include "snmp/facade/walk_rule.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/message/var_bind.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

const char* binding_oid_text(const IQesVarBind* binding) {
  return binding != nullptr && binding->oid() != nullptr ? binding->oid()->text() : "";
}

// A new binding of `oid` with a NULL value, appended to `list`.
Result append_null_binding(IQesVarBindList* list, const std::string& oid) {
  Result rc = kOk;
  OidPtr name(create_oid_from_text(oid.c_str(), &rc));
  if (!name) return rc != kOk ? rc : kErrNoMemory;
  SmiValuePtr null_value(create_smi_value(kSmiNull, &rc));
  if (!null_value) return rc != kOk ? rc : kErrNoMemory;
  rc = list->append_new(name.get(), null_value.get());
  if (rc != kOk) return rc;
  name.release();
  null_value.release();
  return kOk;
}

}  // namespace

Result clear_binding_values(IQesPdu* pdu) {
  IQesVarBindList* list = pdu->var_bind_list();
  const uint32_t count = list != nullptr ? list->count() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    IQesVarBind* binding = list->at(i);
    if (binding->value() != nullptr && binding->value()->kind() == kSmiNull) continue;
    Result rc = kOk;
    SmiValuePtr null_value(create_smi_value(kSmiNull, &rc));
    if (!null_value) return rc != kOk ? rc : kErrNoMemory;
    rc = binding->set_value(null_value.get());
    if (rc != kOk) return rc;
    null_value.release();
  }
  return kOk;
}

Result WalkColumns::keep_row(IQesPdu* pdu, IQesPduList* collector) {
  IQesPdu* made = nullptr;
  Result rc = make_row(pdu, &made);
  if (rc != kOk) return rc;
  PduPtr row(made);
  rc = collector->add_back(row.get());
  if (rc != kOk) return rc;
  row.release();
  return kOk;
}

void WalkColumns::start(const IQesPdu* request) {
  const IQesVarBindList* list = request->var_bind_list();
  const uint32_t count = list != nullptr ? list->count() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    columns_.emplace_back(binding_oid_text(list->at(i)));
    live_.push_back(i);
  }
}

void WalkColumns::note_asked(const IQesPdu* request) {
  asked_.clear();
  const IQesVarBindList* list = request->var_bind_list();
  const uint32_t count = list != nullptr ? list->count() : 0;
  for (uint32_t i = 0; i < count; ++i) asked_.emplace_back(binding_oid_text(list->at(i)));
}

bool WalkColumns::drop_named(int32_t error_index, IQesPdu* pdu, Result* rc) {
  *rc = kOk;
  const int32_t binding = exhausted_binding(kErrorStatusNoSuchName, error_index,
                                            static_cast<uint32_t>(asked_.size()));
  if (binding < 0 || asked_.size() != live_.size()) return false;
  asked_.erase(asked_.begin() + binding);
  live_.erase(live_.begin() + binding);
  VarBindListPtr list(qes_create_var_bind_list(rc));
  if (!list) return true;
  for (const std::string& oid : asked_) {
    if ((*rc = append_null_binding(list.get(), oid)) != kOk) return true;
  }
  pdu->set_var_bind_list(list.release());
  return true;
}

Result WalkColumns::make_row(IQesPdu* pdu, IQesPdu** row) {
  const IQesVarBindList* list = pdu->var_bind_list();
  const uint32_t count = list != nullptr ? list->count() : 0;
  // The first binding bounds the walk and never leaves here.
  std::vector<bool> left(count, false);
  bool any_left = false;
  for (uint32_t i = 1; i < count && i < live_.size(); ++i) {
    left[i] = !oid_lies_below(binding_oid_text(list->at(i)), columns_[live_[i]].c_str());
    any_left = any_left || left[i];
  }
  Result rc = kOk;
  PduPtr copy(pdu->clone(&rc));
  if (!copy) return rc != kOk ? rc : kErrNoMemory;
  if (any_left || live_.size() != columns_.size()) {
    rc = fill_row(pdu, left, copy.get());
    if (rc != kOk) return rc;
  }
  for (uint32_t i = count; i-- > 1;) {
    if (!left[i] || i >= live_.size()) continue;
    pdu->var_bind_list()->remove_at(i);
    live_.erase(live_.begin() + i);
  }
  *row = copy.release();
  return kOk;
}

Result WalkColumns::fill_row(const IQesPdu* pdu, const std::vector<bool>& left,
                             IQesPdu* row) const {
  Result rc = kOk;
  VarBindListPtr cells(qes_create_var_bind_list(&rc));
  if (!cells) return rc != kOk ? rc : kErrNoMemory;
  const IQesVarBindList* answered = pdu->var_bind_list();
  size_t next = 0;  // the binding of the next live column
  for (uint32_t column = 0; column < columns_.size(); ++column) {
    const bool asked = next < live_.size() && live_[next] == column;
    const IQesVarBind* binding =
        asked && answered != nullptr ? answered->at(static_cast<uint32_t>(next)) : nullptr;
    const bool cell = binding != nullptr && !left[next];
    if (asked) ++next;
    if (!cell) {
      rc = append_null_binding(cells.get(), columns_[column]);
    } else {
      VarBindPtr kept(binding->clone(&rc));
      if (!kept) return rc != kOk ? rc : kErrNoMemory;
      rc = cells->append(kept.get());
      if (rc == kOk) kept.release();
    }
    if (rc != kOk) return rc;
  }
  row->set_var_bind_list(cells.release());
  return kOk;
}

}  // namespace orv::facade
