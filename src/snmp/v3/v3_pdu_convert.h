// Our PDU as the SNMPv3 library's PDU and the library's answer back into
// ours: type, request id, error-status and -index, and every binding with
// its value kind.
#pragma once

#include "result_codes.h"
#include "snmp/message/pdu.h"

struct snmp_pdu;

namespace orv::session {

// A new library PDU (the caller frees it with snmp_free_pdu) carrying the
// PDU's type, request id and bindings. -2 for a type or value kind the
// library cannot send (Trap, IPv6 and the internal address kinds), -3 when
// memory runs out.
Result v3_to_library_pdu(const IQesPdu* pdu, snmp_pdu** out);

// Replaces the PDU's type, error-status, error-index and bindings with those
// of the library's answer (the request id stays). -250 for a value kind we
// do not know, -3 when memory runs out.
Result v3_from_library_pdu(const snmp_pdu* answer, IQesPdu* pdu);

}  // namespace orv::session
