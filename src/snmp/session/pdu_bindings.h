// Binding counts and moves between PDUs, as splitting and merging need them.
#pragma once

#include <cstdint>

#include "snmp/message/pdu.h"

namespace orv::session {

inline uint32_t binding_count(const IQesPdu* pdu) {
  const IQesVarBindList* list = pdu ? pdu->var_bind_list() : nullptr;
  return list ? list->count() : 0;
}

// Moves every binding of `from` to the end of `to`, in order.
Result append_bindings(IQesPdu* from, IQesPdu* to);

// Moves every binding of `from` to the front of `into`, in order.
void prepend_bindings(IQesVarBindList* from, IQesVarBindList* into);

}  // namespace orv::session
