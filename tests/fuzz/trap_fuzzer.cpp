// Decodes arbitrary bytes as a datagram arriving on the trap port: the SNMPv1
// Trap through the codec, the SNMPv2c notification through the trap
// session's own path, the SNMPv2c InformRequest through the codec. What decodes must carry a trap OID and a time-stamp,
// and a notification's must equal its first two bindings.
#include <cstddef>
#include <cstdint>

#include "snmp/trap/trap_decode.h"
#include "snmp/smi/qel_oid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  if (size > 65535) return 0;
  IQesSnmpPacket* raw = nullptr;
  if (decode_trap_datagram(data, static_cast<uint32_t>(size), &raw) != kOk) return 0;
  SnmpPacketPtr packet(raw);
  const IQesPdu* pdu = packet->pdu();
  const bool inform = pdu->type() == kPduInformRequest && packet->target()->version() == kSnmpV2c;
  if ((pdu->type() != kPduTrap && !inform) || !pdu->trap_oid() || !pdu->time_stamp()) __builtin_trap();
  if (packet->target()->version() == kSnmpV2c) {
    const IQesVarBindList* list = pdu->var_bind_list();
    if (!list || list->count() < 2 || !list->at(0)->value()->equals(pdu->time_stamp()) ||
        !list->at(1)->value()->equals(pdu->trap_oid()))
      __builtin_trap();
  }
  return 0;
}
