// Creation of SMI values and object identifiers. Every function takes an
// optional `status` that receives 0, or the failure with nullptr returned:
// -2 for an unknown kind or a refused argument, -3 when memory runs out.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_oid.h"
#include "snmp/smi/smi_value.h"

namespace orv {

// A new value of `kind` (an SmiKind code) with its initial content.
IQelSmiValue* create_smi_value(uint32_t kind, Result* status = nullptr);
// ... then set_int32(value) (the INTEGER of SET requests).
IQelSmiValue* create_smi_value_int32(uint32_t kind, int32_t value, Result* status = nullptr);
// ... then set_uint32(value).
IQelSmiValue* create_smi_value_uint32(uint32_t kind, uint32_t value, Result* status = nullptr);
// ... then set_text(text); a null text or a result failing is_valid() is -2.
IQelSmiValue* create_smi_value_text(uint32_t kind, const char* text, Result* status = nullptr);
// An empty OBJECT IDENTIFIER.
IQelOid* create_oid(Result* status = nullptr);
// An OBJECT IDENTIFIER from dotted text; -2 when the text is not valid.
IQelOid* create_oid_from_text(const char* text, Result* status = nullptr);
// An OBJECT IDENTIFIER from arcs (the decoder's fast path).
IQelOid* create_oid_from_arcs(const uint32_t* arcs, uint32_t count, Result* status = nullptr);

}  // namespace orv
