#include "snmp/session/pdu_bindings.h"

namespace orv::session {

Result append_bindings(IQesPdu* from, IQesPdu* to) {
  IQesVarBindList* list = from->var_bind_list();
  if (!list) return kOk;
  while (IQesVarBind* binding = list->remove_first()) {
    Result rc = to->append(binding);
    if (rc != kOk) {
      binding->release();
      return rc;
    }
  }
  return kOk;
}

void prepend_bindings(IQesVarBindList* from, IQesVarBindList* into) {
  while (from && from->count() > 0) {
    IQesVarBind* last = nullptr;
    if (from->remove_at(from->count() - 1, &last) != kOk) return;
    if (into->insert_front(last) != kOk) last->release();
  }
}

}  // namespace orv::session
