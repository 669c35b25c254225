// An SNMPv1 Trap in the form of a notification (RFC 3584, 3.1), so that
// one trap OID names a trap whichever version carried it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result_codes.h"
#include "snmp/message/pdu.h"

namespace orv {

inline constexpr char kSnmpTrapAddressInstance[] = "1.3.6.1.6.3.18.1.3.0";
inline constexpr char kSnmpTrapEnterpriseInstance[] = "1.3.6.1.6.3.1.1.4.3.0";

// `pdu`, decoded by the codec from the SNMPv1 Trap `data`, takes the trap
// OID 1.3.6.1.6.3.1.1.5.(generic+1) for generic-trap 0 to 5 (an
// enterpriseSpecific trap keeps enterprise.0.specific), and the agent-addr
// and enterprise are appended as snmpTrapAddress.0 and
// snmpTrapEnterprise.0. -250 when the header does not read, -3.
Result put_v1_trap_in_standard_form(const uint8_t* data, size_t length, IQesPdu* pdu);

}  // namespace orv
