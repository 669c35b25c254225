#include "snmp/trap/trap_decode.h"

#include "snmp/message/ber_reader.h"
#include "snmp/message/codec_service.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_decoder.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/smi/qel_oid.h"
#include "snmp/trap/trap_v1_form.h"

namespace orv {
namespace {

Result read_version(BerReader& reader, int32_t* version) {
  const uint8_t* contents = nullptr;
  uint32_t length = 0;
  if (!reader.read_tlv(kTagInteger, &contents, &length) || length == 0) return kErrNotAwaited;
  return ber_decode_int32(contents, length, version) == kOk ? kOk : kErrNotAwaited;
}

// The binding at `index` when it is named `name` and holds a value of `kind`.
const IQelSmiValue* named_value(const IQesVarBindList* list, uint32_t index, const char* name,
                                uint32_t kind) {
  const IQesVarBind* binding = index < list->count() ? list->at(index) : nullptr;
  if (!binding || !binding->oid() || !binding->value()) return nullptr;
  Result rc = kOk;
  if (binding->oid()->compare_text(name, &rc) != 0 || rc != kOk) return nullptr;
  return binding->value()->kind() == kind ? binding->value() : nullptr;
}

// Time-stamp and trap OID from copies of the first two bindings.
Result take_notification_header(IQesPdu* pdu) {
  const IQesVarBindList* list = pdu->var_bind_list();
  if (!list) return kErrNotAwaited;
  const IQelSmiValue* uptime = named_value(list, 0, kSysUpTimeInstance, kSmiTimeTicks);
  const IQelSmiValue* trap_oid = named_value(list, 1, kSnmpTrapOidInstance, kSmiOid);
  if (!uptime || !trap_oid) return kErrNotAwaited;
  Result rc = kOk;
  IQelSmiValue* stamp = uptime->clone(&rc);
  if (!stamp) return rc;
  rc = pdu->set_time_stamp(stamp);
  if (rc != kOk) {
    stamp->release();
    return rc;
  }
  IQelSmiValue* oid = trap_oid->clone(&rc);
  if (!oid) return rc;
  rc = pdu->set_trap_oid(oid);
  if (rc != kOk) oid->release();
  return rc;
}

}  // namespace

Result decode_v2c_notification(const uint8_t* data, size_t length, IQesCommunityTarget* target,
                               IQesPdu* pdu) {
  if (!data || !target || !pdu) return kErrInvalidArg;
  BerReader reader(data, length);
  uint8_t tag = 0;
  uint32_t message_length = 0;
  if (reader.read_tag_length(&tag, &message_length) != kOk || tag != kTagSequence)
    return kErrNotAwaited;
  if (message_length > reader.remaining()) return kErrNotAwaited;
  reader.cut_at(reader.position() + message_length);  // bytes behind it are ignored

  int32_t version = 0;
  if (read_version(reader, &version) != kOk || version != kSnmpV2c) return kErrNotAwaited;
  const uint8_t* community = nullptr;
  uint32_t community_length = 0;
  if (!reader.read_tlv(kTagOctetString, &community, &community_length)) return kErrNotAwaited;
  uint32_t body_length = 0;
  if (reader.read_byte() != kTagSnmpV2Trap || reader.exhausted() ||
      reader.read_length(&body_length) != kOk || body_length != reader.remaining())
    return kErrNotAwaited;
  const uint8_t* body = reader.take(body_length);
  if (!body) return kErrNotAwaited;

  target->set_version(kSnmpV2c);
  Result rc = target->set_community_bytes(community, community_length);
  if (rc != kOk) return rc;

  pdu->set_type(kPduTrap);
  CQesSnmpDecoder decoder;
  rc = decoder.decode_request_body(body, body_length, pdu);
  if (rc != kOk) return rc;
  return take_notification_header(pdu);
}

Result decode_trap_datagram(const uint8_t* data, uint32_t length, IQesSnmpPacket** out) {
  if (!data || !out) return kErrInvalidArg;
  *out = nullptr;
  Result rc = kOk;
  RawPacketPtr raw(qes_create_raw_packet_from(data, length, &rc));
  if (!raw) return rc != kOk ? rc : kErrNoMemory;
  SnmpPacketPtr packet(qes_create_snmp_packet(&rc));
  if (!packet) return rc != kOk ? rc : kErrNoMemory;
  rc = CQesCodecService::instance().decode_packet(raw.get(), packet.get(), kTranslateCommunity);
  if (rc == kErrNotSupported) {
    // The codec carries no SNMPv2-Trap in a v2c message; start afresh.
    IQesSnmpTarget* target = qes_create_snmp_target(kTranslateCommunity, &rc);
    packet->set_target(target);
    IQesPdu* pdu = target ? qes_create_pdu(&rc) : nullptr;
    packet->set_pdu(pdu);
    if (!pdu) return rc != kOk ? rc : kErrNoMemory;
    rc = decode_v2c_notification(data, length, as_community_target(target), pdu);
  }
  if (rc == kOk && packet->pdu() && packet->pdu()->type() == kPduInformRequest) {
    // The codec reads an InformRequest as a request; its bindings begin as
    // a notification's do.
    rc = packet->target()->version() == kSnmpV2c ? take_notification_header(packet->pdu()) : kErrNotAwaited;
    if (rc != kOk) return rc;
    *out = packet.release();
    return kOk;
  }
  if (rc != kOk) return rc;
  if (!packet->pdu() || packet->pdu()->type() != kPduTrap) return kErrNotAwaited;
  if (packet->target()->version() == kSnmpV1) {
    rc = put_v1_trap_in_standard_form(data, length, packet->pdu());
    if (rc != kOk) return rc;
  }
  *out = packet.release();
  return kOk;
}

}  // namespace orv
