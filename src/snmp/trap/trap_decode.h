// One received datagram as a trap packet: SNMPv1 Traps through the codec,
// SNMPv2c notifications (which the codec refuses) through a path of their
// own that reuses the codec's body and binding decoding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result_codes.h"
#include "snmp/message/snmp_packet.h"

namespace orv {

// Names of the first two bindings of every SNMPv2c notification.
inline constexpr char kSysUpTimeInstance[] = "1.3.6.1.2.1.1.3.0";
inline constexpr char kSnmpTrapOidInstance[] = "1.3.6.1.6.3.1.1.4.1.0";

// An SNMPv2c message with PDU tag 0xA7 into a fresh target and PDU: version
// 1 and the community in the target; PDU type Trap,
// request-id, error fields and every binding as they came; the trap OID is
// the value of snmpTrapOID.0 and the time-stamp that of sysUpTime.0, which
// must be the first and second binding. -250 for anything else or malformed
// input, -3 when memory runs out.
Result decode_v2c_notification(const uint8_t* data, size_t length, IQesCommunityTarget* target,
                               IQesPdu* pdu);

// A new trap packet (caller releases it) from one datagram: an SNMPv1 Trap
// or an SNMPv2c notification (PDU type Trap), or an SNMPv2c InformRequest
// (PDU type InformRequest, time-stamp and trap OID taken as for a
// notification). An SNMPv1 Trap comes in the standard form of
// trap_v1_form.h. Other PDUs and malformed datagrams give -250
// (or the codec's code) and nothing.
Result decode_trap_datagram(const uint8_t* data, uint32_t length, IQesSnmpPacket** out);

}  // namespace orv
