#include "snmp/message/snmp_decoder.h"

#include <cstring>
#include <vector>

#include "snmp/message/ber_oid.h"
#include "snmp/message/codec_log.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/smi/smi_factory.h"

namespace orv {

Result CQesSnmpDecoder::open_message() {
  if (!input_) return kErrInvalidArg;
  reader_ = BerReader(input_->data(), input_->length());
  uint8_t tag = 0;
  uint32_t length = 0;
  if (reader_.read_tag_length(&tag, &length) != kOk || tag != kTagSequence) return kErrNotAwaited;
  size_t received = input_->length();
  size_t message = reader_.position() + static_cast<size_t>(length);
  if (message < received) {
    snmp_log().log(log::kInfo, "received packet is redundancy. be cut down.");
    reader_.cut_at(message);
  } else if (message > received) {
    snmp_log().log(log::kError, "decode error: lack of received packet. can't go on decoding any more.");
    return kErrNotAwaited;
  }
  return kOk;
}

Result CQesSnmpDecoder::check_translate_type() const {
  if (translate_type_ == kTranslateNone) {
    snmp_log().log(log::kError, "decode error: unknown translate type.");
    return kErrInvalidArg;
  }
  return translate_type_ == kTranslateCommunity ? kOk : kErrInvalidArg;
}

Result CQesSnmpDecoder::decode_packet(IQesSnmpPacket* packet) {
  if (!packet || !input_) return kErrInvalidArg;
  Result rc = open_message();
  if (rc != kOk) return rc;
  const bool header_dropped = !packet->target() && !keep_header_;
  if (header_dropped) {
    rc = check_translate_type();
    if (rc != kOk) return rc;
  } else if (!packet->target()) {
    if (translate_type_ == kTranslateNone) return check_translate_type();
    IQesSnmpTarget* target = qes_create_snmp_target(translate_type_, &rc);
    if (!target) return rc;
    packet->set_target(target);
  }
  if (!packet->pdu()) {
    IQesPdu* pdu = qes_create_pdu(&rc);
    if (!pdu) return rc;
    packet->set_pdu(pdu);
  }
  if (header_dropped) {
    rc = read_community_header();
  } else {
    rc = packet->target()->accept(this);
  }
  if (rc != kOk) return rc;
  return decode_pdu(packet->pdu());
}

Result CQesSnmpDecoder::peek_fields(int32_t* error_status, int32_t* request_id) {
  if (!error_status || !request_id || !input_) return kErrInvalidArg;
  Result rc = open_message();
  if (rc == kOk) rc = check_translate_type();
  if (rc == kOk) rc = read_community_header();
  int32_t type = kPduUnset;
  if (rc == kOk) rc = read_pdu_head(&type);
  if (rc != kOk) return rc;
  if (type == kPduTrap) {
    // Only a PDU object can take a Trap's fields; it keeps the id and
    // error-status of a fresh PDU.
    PduPtr pdu(qes_create_pdu(&rc));
    if (!pdu) return rc;
    pdu->set_type(type);
    rc = version_ == kSnmpV1 ? decode_trap_v1_fields(pdu.get()) : decode_trap_v2_body(pdu.get());
    if (rc != kOk) return rc;
    *error_status = pdu->error_status();
    *request_id = pdu->request_id();
    return kOk;
  }
  int32_t error_index = 0;
  rc = read_request_fields(request_id, error_status, &error_index);
  return rc == kOk ? check_error_status(type, *error_status) : rc;
}

Result CQesSnmpDecoder::read_version() {
  int32_t version = 0;
  Result rc = read_integer(&version);
  if (rc != kOk) return rc;
  if (version != kSnmpV1 && version != kSnmpV2c) {
    snmp_log().log(log::kError, "decode error: unsupported snmp version.");
    return kErrNotAwaited;
  }
  version_ = version;
  return kOk;
}

Result CQesSnmpDecoder::read_community_header() {
  Result rc = read_version();
  if (rc != kOk) return rc;
  const uint8_t* community = nullptr;
  uint32_t length = 0;
  return read_contents(kTagOctetString, &community, &length);
}

Result CQesSnmpDecoder::code_community_header(IQesCommunityTarget* target) {
  if (!target) return kErrInvalidArg;
  Result rc = read_version();
  if (rc != kOk) return rc;
  target->set_version(version_);
  const uint8_t* community = nullptr;
  uint32_t length = 0;
  rc = read_contents(kTagOctetString, &community, &length);
  if (rc != kOk) return rc;
  return target->set_community_bytes(community, length);
}

Result CQesSnmpDecoder::code_snmpv3_header(IQesSnmpV3Target*) { return kErrNotSupported; }

Result CQesSnmpDecoder::read_pdu_head(int32_t* type) {
  uint8_t tag = reader_.read_byte();
  if (reader_.exhausted() || tag < kTagPduBase || tag > kTagPduBase + kPduTypeLast) {
    snmp_log().log(log::kError, "decode error: unknown pdu type.");
    return kErrNotAwaited;
  }
  *type = tag == kTagSnmpV2Trap ? kPduTrap : tag - kTagPduBase;
  uint32_t length = 0;
  if (reader_.read_length(&length) != kOk || length != reader_.remaining()) {
    snmp_log().log(log::kError, "decode error: pdu length is wrong.");
    return kErrNotAwaited;
  }
  return kOk;
}

Result CQesSnmpDecoder::decode_pdu(IQesPdu* pdu) {
  if (!pdu) return kErrInvalidArg;
  int32_t type = kPduUnset;
  Result rc = read_pdu_head(&type);
  // A PDU whose length is wrong has taken its type already.
  if (type != kPduUnset) pdu->set_type(type);
  if (rc != kOk) return rc;
  if (type == kPduTrap)
    rc = version_ == kSnmpV1 ? decode_trap_v1_fields(pdu) : decode_trap_v2_body(pdu);
  else
    rc = decode_request_fields(pdu);
  if (rc != kOk || header_only_) return rc;

  IQesVarBindList* list = nullptr;
  rc = decode_pdu_list(pdu, &list);
  if (rc != kOk) return rc;
  if (type != kPduTrap && pdu->error_status() != 0)
    list->record_error(pdu->error_status(), pdu->error_index());
  else
    list->set_all_status(0);
  return kOk;
}

Result CQesSnmpDecoder::read_request_fields(int32_t* request_id, int32_t* error_status,
                                           int32_t* error_index) {
  Result rc = read_integer(request_id);
  if (rc == kOk) rc = read_integer(error_status);
  if (rc == kOk) rc = read_integer(error_index);
  return rc;
}

Result CQesSnmpDecoder::check_error_status(int32_t type, int32_t error_status) {
  // A GetBulkRequest carries non-repeaters here, not an error-status.
  if (type != kPduGetBulkRequest && (error_status < 0 || error_status > kErrorStatusMax)) {
    snmp_log().log(log::kError, "decode error: error_status's value is wrong.");
    return kErrNotAwaited;
  }
  return kOk;
}

Result CQesSnmpDecoder::decode_request_fields(IQesPdu* pdu) {
  if (!pdu) return kErrInvalidArg;
  int32_t request_id = 0, error_status = 0, error_index = 0;
  Result rc = read_request_fields(&request_id, &error_status, &error_index);
  if (rc != kOk) return rc;
  pdu->set_request_id(request_id);
  rc = check_error_status(pdu->type(), error_status);
  if (rc != kOk) return rc;
  pdu->set_error_status(error_status);
  pdu->set_error_index(error_index);
  return kOk;
}

Result CQesSnmpDecoder::decode_request_body(const uint8_t* body, size_t length, IQesPdu* pdu) {
  if (!body || !pdu) return kErrInvalidArg;
  reader_ = BerReader(body, length);
  Result rc = decode_request_fields(pdu);
  IQesVarBindList* list = nullptr;
  if (rc == kOk) rc = decode_pdu_list(pdu, &list);
  if (rc == kOk) list->set_all_status(0);
  return rc;
}

Result CQesSnmpDecoder::decode_pdu_list(IQesPdu* pdu, IQesVarBindList** list) {
  Result rc = kOk;
  *list = pdu->var_bind_list();
  if (!*list) {
    *list = qes_create_var_bind_list(&rc);
    if (!*list) return rc;
    pdu->set_var_bind_list(*list);
  }
  return decode_var_bind_list(*list);
}

Result CQesSnmpDecoder::decode_trap_v1_fields(IQesPdu* pdu) {
  if (!pdu) return kErrInvalidArg;
  Result rc = kOk;
  if (!pdu->trap_oid()) {
    IQelOid* oid = create_oid(&rc);
    if (!oid) return rc;
    pdu->set_trap_oid(oid);
  }
  IQelOid* trap_oid = pdu->trap_oid();
  rc = read_oid_into(trap_oid);  // the enterprise
  if (rc != kOk) return rc;
  const uint8_t* agent_addr = nullptr;
  uint32_t length = 0;
  rc = read_contents(kTagIpAddress, &agent_addr, &length);
  int32_t generic = 0, specific = 0;
  if (rc == kOk) rc = read_integer(&generic);
  if (rc == kOk) rc = read_integer(&specific);
  if (rc != kOk) return rc;
  if (generic == kGenericTrapEnterpriseSpecific) {
    const uint32_t tail[2] = {0, static_cast<uint32_t>(specific)};
    rc = trap_oid->append_arcs(tail, 2);
  } else if (generic >= 0 && generic < kGenericTrapEnterpriseSpecific) {
    // "1.3.6.1.6.3.1.1.5.0." and one digit (generic is 0..5 here).
    char text[sizeof kStandardTrapsText + 4];
    std::memcpy(text, kStandardTrapsText, sizeof kStandardTrapsText - 1);
    char* tail = text + sizeof kStandardTrapsText - 1;
    tail[0] = '.';
    tail[1] = '0';
    tail[2] = '.';
    tail[3] = static_cast<char>('1' + generic);
    tail[4] = '\0';
    rc = trap_oid->set_text(text);
  } else {
    snmp_log().log(log::kError, "decode error: generic trap No. > 6. ");
    return kErrNotAwaited;
  }
  if (rc != kOk) return rc;
  if (!pdu->time_stamp()) {
    IQelSmiValue* stamp = create_smi_value(kSmiTimeTicks, &rc);
    if (!stamp) return rc;
    pdu->set_time_stamp(stamp);
  }
  return pdu->time_stamp()->accept(this);
}

Result CQesSnmpDecoder::decode_trap_v2_body(IQesPdu*) { return kErrNotSupported; }

Result CQesSnmpDecoder::decode_var_bind_list(IQesVarBindList* list) {
  if (!list) return kErrInvalidArg;
  uint8_t tag = 0;
  uint32_t length = 0;
  if (reader_.read_tag_length(&tag, &length) != kOk || tag != kTagSequence) return kErrNotAwaited;
  if (length != reader_.remaining()) {
    snmp_log().log(log::kError, "decode error: length of var bind list is wrong.");
    return kErrNotAwaited;
  }
  uint32_t index = 0;
  Result rc = kOk;
  for (; reader_.remaining() > 0; ++index) {
    IQesVarBind* var_bind = nullptr;
    if (index < list->count()) {
      var_bind = list->at(index);
      if (!var_bind) return kErrInvalidArg;
    } else {
      VarBindPtr fresh(qes_create_var_bind(&rc));
      if (!fresh) return rc;
      rc = list->append(fresh.get());
      if (rc != kOk) return rc;
      var_bind = fresh.release();
    }
    rc = decode_var_bind(var_bind);
    if (rc != kOk) return rc;
  }
  while (list->count() > index) list->remove_at(list->count() - 1);
  return kOk;
}

Result CQesSnmpDecoder::decode_var_bind(IQesVarBind* var_bind) {
  if (!var_bind) return kErrInvalidArg;
  uint8_t tag = 0;
  uint32_t length = 0;
  if (reader_.read_tag_length(&tag, &length) != kOk || tag != kTagSequence) return kErrNotAwaited;
  size_t start = reader_.position();
  Result rc = kOk;
  if (!var_bind->oid()) {
    IQelOid* oid = create_oid(&rc);
    if (!oid) return rc;
    var_bind->set_oid(oid);
  }
  rc = read_oid_into(var_bind->oid());
  if (rc != kOk) return rc;

  uint8_t value_tag = reader_.peek_byte();
  if (!is_decodable_value_tag(value_tag)) {
    snmp_log().log(log::kError, "decode error: unknown asn type.");
    return kErrNotAwaited;
  }
  IQelSmiValue* value = var_bind->value();
  if (!value || value->kind() != value_tag) {
    value = create_smi_value(value_tag, &rc);
    if (!value) return rc;
    var_bind->set_value(value);
  }
  rc = value->accept(this);
  if (rc != kOk) return rc;
  if (reader_.position() - start != length) {
    snmp_log().log(log::kError, "decode error: length of var bind is wrong.");
    return kErrNotAwaited;
  }
  return kOk;
}

Result CQesSnmpDecoder::read_integer(int32_t* value) {
  const uint8_t* contents = nullptr;
  uint32_t length = 0;
  Result rc = read_contents(kTagInteger, &contents, &length);
  if (rc != kOk) return rc;
  if (ber_decode_int32(contents, length, value) != kOk) {
    snmp_log().log(log::kError, "decode error: integer does not fit 32 bits.");
    return kErrNotAwaited;
  }
  return kOk;
}

Result CQesSnmpDecoder::read_oid_into(IQelOid* oid) {
  uint8_t tag = 0;
  uint32_t length = 0;
  if (reader_.read_tag_length(&tag, &length) != kOk || tag != kTagOid) return kErrNotAwaited;
  const uint8_t* contents = reader_.take(length);
  if (!contents) {
    snmp_log().log(log::kError, "decode error. oid format is wrong.");
    return kErrNotAwaited;
  }
  // A response names what its request named: contents equal to the bytes
  // this OID was last encoded into are the arcs it holds.
  if (const ArcCodecCache* cache = oid->arc_codec_cache();
      cache && cache->length == length && length != 0 && std::memcmp(cache->bytes, contents, length) == 0) {
    return kOk;
  }
  uint32_t inline_arcs[kInlineArcs];
  std::vector<uint32_t> heap_arcs;
  uint32_t* arcs = inline_arcs;
  if (ber_oid_arcs_room(length) > kInlineArcs) {
    try {
      heap_arcs.resize(ber_oid_arcs_room(length));
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
    arcs = heap_arcs.data();
  }
  size_t count = 0;
  switch (ber_get_oid_arcs(contents, length, arcs, &count)) {
    case OidContentStatus::kOk:
      break;
    case OidContentStatus::kTooLarge:
      snmp_log().log(log::kError, "decode error. oid format is wrong.");
      return kErrNotAwaited;
    case OidContentStatus::kOpenEnd:  // it only overran the declared length
      return kErrNotAwaited;
  }
  // An OID that already holds these arcs (a response's names) is left alone.
  return oid->set_arcs(arcs, static_cast<uint32_t>(count));
}

Result CQesSnmpDecoder::read_octets_into(IQelSmiValue* value) {
  const uint8_t* contents = nullptr;
  uint32_t length = 0;
  Result rc = read_contents(static_cast<uint8_t>(value->kind()), &contents, &length);
  if (rc != kOk) return rc;
  rc = value->set_bytes(contents, length);
  // A fixed-size address of another size is malformed input.
  return rc == kErrInvalidArg ? kErrNotAwaited : rc;
}

Result CQesSnmpDecoder::read_unsigned_into(IQelSmiValue* value) {
  const uint8_t* contents = nullptr;
  uint32_t length = 0;
  Result rc = read_contents(static_cast<uint8_t>(value->kind()), &contents, &length);
  if (rc != kOk) return rc;
  int32_t number = 0;
  if (ber_decode_int32(contents, length, &number, false) != kOk) {
    snmp_log().log(log::kError, "decode error: integer does not fit 32 bits.");
    return kErrNotAwaited;
  }
  return value->set_uint32(static_cast<uint32_t>(number));
}

Result CQesSnmpDecoder::read_empty(uint8_t tag) {
  const uint8_t* contents = nullptr;
  uint32_t length = 0;
  Result rc = read_contents(tag, &contents, &length);
  if (rc != kOk) return rc;
  return length == 0 ? kOk : kErrNotAwaited;
}

Result CQesSnmpDecoder::visit_oid(IQelOid* value) { return value ? read_oid_into(value) : kErrInvalidArg; }
Result CQesSnmpDecoder::visit_octet_string(IQelSmiValue* value) { return read_octets_into(value); }

Result CQesSnmpDecoder::visit_integer(IQelSmiValue* value) {
  int32_t number = 0;
  Result rc = read_integer(&number);
  return rc == kOk ? value->set_int32(number) : rc;
}

Result CQesSnmpDecoder::visit_null(IQelSmiValue*) { return read_empty(kTagNull); }
Result CQesSnmpDecoder::visit_counter32(IQelSmiValue* value) { return read_unsigned_into(value); }
Result CQesSnmpDecoder::visit_gauge32(IQelSmiValue* value) { return read_unsigned_into(value); }
Result CQesSnmpDecoder::visit_timeticks(IQelSmiValue* value) { return read_unsigned_into(value); }

Result CQesSnmpDecoder::visit_counter64(IQelSmiValue* value) {
  uint8_t tag = 0;
  uint32_t length = 0;
  if (reader_.read_tag_length(&tag, &length) != kOk || tag != value->kind()) return kErrNotAwaited;
  const uint8_t* contents = reader_.take(length);
  uint32_t high = 0, low = 0;
  if (!contents || ber_decode_counter64(contents, length, &high, &low) != kOk) {
    snmp_log().log(log::kError, "decode error: counter64 format is wrong.");
    return kErrNotAwaited;
  }
  Result rc = value->set_high32(high);
  return rc == kOk ? value->set_low32(low) : rc;
}

Result CQesSnmpDecoder::visit_ip_address(IQelSmiValue* value) { return read_octets_into(value); }
Result CQesSnmpDecoder::visit_ipv6_address(IQelSmiValue* value) { return read_octets_into(value); }
Result CQesSnmpDecoder::visit_ipv4_port_address(IQelSmiValue*) { return kErrNotSupported; }
Result CQesSnmpDecoder::visit_ipx_address(IQelSmiValue*) { return kErrNotSupported; }

Result CQesSnmpDecoder::visit_exception(IQelSmiValue* value) {
  return read_empty(static_cast<uint8_t>(value->kind()));
}

}  // namespace orv
