#include "snmp/message/snmp_encoder.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "snmp/message/ber_oid.h"
#include "snmp/message/codec_log.h"
#include "snmp/message/snmp_tags.h"

namespace orv {
Result ber_first_subid(uint32_t first, uint32_t second, uint32_t* subid) {
  if (first > 2 || (first < 2 && second >= 40) || second > UINT32_MAX - 80) return kErrInvalidArg;
  *subid = first * 40 + second;
  return kOk;
}

Result CQesSnmpEncoder::encode_packet(IQesSnmpPacket* packet) {
  if (!packet || !output_) return kErrInvalidArg;
  IQesSnmpTarget* target = packet->target();
  IQesPdu* pdu = packet->pdu();
  if (!target || !pdu) return kErrInvalidArg;
  version_ = target->version();
  output_->set_max_message_size(target->max_message_size());
  writer_ = BerWriter(output_->base(), output_->capacity());
  var_bind_count_ = 0;

  Result rc = encode_pdu(pdu);
  if (rc == kOk) rc = target->accept(this);
  if (rc == kOk) {
    writer().put_header(kTagSequence, writer().written());
    rc = overflow_check();
  }
  if (rc == kOk) rc = output_->set_data_start(static_cast<uint32_t>(writer().offset()));
  writer_ = BerWriter();
  return rc;
}

Result CQesSnmpEncoder::code_community_header(IQesCommunityTarget* target) {
  if (!target) return kErrInvalidArg;
  int32_t version = target->version();
  if (version != kSnmpV1 && version != kSnmpV2c) return kErrInvalidArg;
  const char* community = target->community();
  size_t length = community ? std::char_traits<char>::length(community) : 0;
  writer().put_bytes(reinterpret_cast<const uint8_t*>(community), length);
  writer().put_header(kTagOctetString, length);
  put_integer_tlv(version);
  return overflow_check();
}

Result CQesSnmpEncoder::code_snmpv3_header(IQesSnmpV3Target*) { return kErrNotSupported; }

Result CQesSnmpEncoder::encode_pdu(IQesPdu* pdu) {
  if (!pdu) return kErrInvalidArg;
  int32_t type = pdu->type();
  if (type < kPduGetRequest || type > kPduTypeLast) return kErrInvalidArg;
  IQesVarBindList* list = pdu->var_bind_list();
  if (!list) {
    Result rc = kOk;
    list = qes_create_var_bind_list(&rc);
    if (!list) return rc;
    pdu->set_var_bind_list(list);
  }
  size_t mark = writer().written();
  Result rc = encode_var_bind_list(list);
  if (rc != kOk) return rc;
  if (type == kPduTrap)
    rc = version_ == kSnmpV1 ? encode_trap_v1_fields(pdu) : encode_trap_v2_body(pdu);
  else
    rc = encode_request_fields(pdu);
  if (rc != kOk) return rc;
  writer().put_header(static_cast<uint8_t>(kTagPduBase + type), writer().written() - mark);
  return overflow_check();
}

// The per-binding work is inlined into the list loop: a message of many
// bindings then pays one call frame, not three per binding.
inline Result CQesSnmpEncoder::put_oid(IQelOid* oid) {
  ArcCodecCache* cache = oid->arc_codec_cache();
  if (cache && cache->length != 0 && cache->length <= ArcCodecCache::kBytes) {
    // Encoded before and unchanged since (a request sent again).
    writer().put_bytes(cache->bytes, cache->length);
    last_tlv_ = writer().put_header(kTagOid, cache->length);
    return kOk;
  }
  uint32_t count = 0;
  const uint32_t* arcs = oid->arc_view(&count);
  if (!arcs) return put_oid_text(oid->text(), oid->text_length());
  size_t content = 0;
  OidPutStatus status = ber_put_oid_arcs(writer(), arcs, count, &content);
  if (status != OidPutStatus::kOk) return oid_refused(status, oid->text(), oid->text_length());
  if (cache && content != 0 && content <= ArcCodecCache::kBytes && !writer().overflow()) {
    std::memcpy(cache->bytes, writer().cursor(), content);
    cache->length = static_cast<uint32_t>(content);
  }
  last_tlv_ = writer().put_header(kTagOid, content);
  return kOk;
}

inline Result CQesSnmpEncoder::put_var_bind(IQesVarBind* var_bind) {
  if (!var_bind) return kErrInvalidArg;
  IQelSmiValue* value = var_bind->value();
  IQelOid* oid = var_bind->oid();
  if (!value || !oid) return kErrInvalidArg;
  size_t mark = writer().written();
  Result rc = value->accept(this);
  if (rc == kOk) rc = put_oid(oid);
  if (rc != kOk) return rc;
  writer().put_header(kTagSequence, writer().written() - mark);
  return overflow_check();
}

Result CQesSnmpEncoder::encode_var_bind_list(IQesVarBindList* list) {
  if (!list) return kErrInvalidArg;
  size_t mark = writer().written();
  for (uint32_t i = list->count(); i-- > 0;) {
    Result rc = put_var_bind(list->at(i));
    if (rc != kOk) return rc;
    ++var_bind_count_;
  }
  writer().put_header(kTagSequence, writer().written() - mark);
  return overflow_check();
}

Result CQesSnmpEncoder::encode_var_bind(IQesVarBind* var_bind) { return put_var_bind(var_bind); }

void CQesSnmpEncoder::put_integer_tlv(int32_t value) {
  last_tlv_ = writer().put_int32_tlv(kTagInteger, value);
}

Result CQesSnmpEncoder::encode_request_fields(IQesPdu* pdu) {
  if (!pdu) return kErrInvalidArg;
  // Back to front, so that they read request-id first.
  put_integer_tlv(pdu->error_index());
  put_integer_tlv(pdu->error_status());
  put_integer_tlv(pdu->request_id());
  return kOk;
}

Result CQesSnmpEncoder::encode_trap_v1_fields(IQesPdu* pdu) {
  if (!pdu || !pdu->time_stamp() || !pdu->trap_oid()) return kErrInvalidArg;
  // The trap OID is enterprise.0.N (or the standard traps' 1.3.6.1.6.3.1.1.5.0.N).
  std::string_view trap(pdu->trap_oid()->text(), pdu->trap_oid()->text_length());
  size_t last_dot = trap.rfind('.');
  if (last_dot == std::string_view::npos || last_dot < 2 || trap.substr(last_dot - 2, 2) != ".0")
    return kErrInvalidArg;
  std::string_view enterprise = trap.substr(0, last_dot - 2);
  std::string_view last = trap.substr(last_dot + 1);
  uint32_t n = 0;
  auto [end, error] = std::from_chars(last.data(), last.data() + last.size(), n);
  if (error != std::errc() || end != last.data() + last.size()) return kErrInvalidArg;
  int32_t generic = kGenericTrapEnterpriseSpecific;
  int32_t specific = static_cast<int32_t>(n);
  if (enterprise == kStandardTrapsText) {
    // Only coldStart (1) .. egpNeighborLoss (6) have a generic-trap number.
    if (n < 1 || n > static_cast<uint32_t>(kGenericTrapEnterpriseSpecific)) return kErrInvalidArg;
    generic = static_cast<int32_t>(n) - 1;
    specific = 0;
  }
  size_t mark = writer().written();
  Result rc = pdu->time_stamp()->accept(this);
  if (rc != kOk) return rc;
  put_integer_tlv(specific);
  put_integer_tlv(generic);
  static const uint8_t kAgentAddr[4] = {0, 0, 0, 0};
  writer().put_bytes(kAgentAddr, sizeof kAgentAddr);
  writer().put_header(kTagIpAddress, sizeof kAgentAddr);
  rc = put_oid_text(enterprise.data(), enterprise.size());
  last_tlv_ = writer().written() - mark;
  return rc;
}

Result CQesSnmpEncoder::encode_trap_v2_body(IQesPdu*) { return kErrNotSupported; }

Result CQesSnmpEncoder::put_oid_text(const char* text, size_t length) {
  size_t content = 0;
  OidPutStatus status = ber_put_oid_text(writer(), text, length, &content);
  if (status == OidPutStatus::kOk) {
    last_tlv_ = writer().put_header(kTagOid, content);
    return kOk;
  }
  return oid_refused(status, text, length);
}

Result CQesSnmpEncoder::oid_refused(OidPutStatus status, const char* text, size_t length) {
  switch (status) {
    case OidPutStatus::kOneArc:
      snmp_log().log(log::kError, "encode error:oid size is 1.");
      break;
    case OidPutStatus::kBadFirstArcs:
      snmp_log().log(log::kError, "encode error: first arcs of oid %.*s can't be encoded.", static_cast<int>(length),
                     text);
      break;
    case OidPutStatus::kNotNumeric:
      snmp_log().log(log::kError, "encode error: oid %.*s is not numeric.", static_cast<int>(length), text);
      break;
    case OidPutStatus::kOk:
      break;
  }
  return kErrInvalidArg;
}

Result CQesSnmpEncoder::visit_oid(IQelOid* value) { return value ? put_oid(value) : kErrInvalidArg; }

Result CQesSnmpEncoder::put_octets(uint8_t tag, IQelSmiValue* value) {
  uint32_t length = 0;
  const uint8_t* bytes = value->get_bytes(&length);
  writer().put_bytes(bytes, length);
  last_tlv_ = writer().put_header(tag, length);
  return kOk;
}

Result CQesSnmpEncoder::put_unsigned(IQelSmiValue* value) {
  last_tlv_ = writer().put_uint32_tlv(static_cast<uint8_t>(value->kind()), value->get_uint32());
  return kOk;
}

Result CQesSnmpEncoder::visit_octet_string(IQelSmiValue* value) {
  return put_octets(static_cast<uint8_t>(value->kind()), value);
}

Result CQesSnmpEncoder::visit_integer(IQelSmiValue* value) {
  put_integer_tlv(value->get_int32());
  return kOk;
}

Result CQesSnmpEncoder::visit_null(IQelSmiValue*) {
  last_tlv_ = writer().put_header(kTagNull, 0);
  return kOk;
}

Result CQesSnmpEncoder::visit_counter32(IQelSmiValue* value) { return put_unsigned(value); }
Result CQesSnmpEncoder::visit_gauge32(IQelSmiValue* value) { return put_unsigned(value); }
Result CQesSnmpEncoder::visit_timeticks(IQelSmiValue* value) { return put_unsigned(value); }

Result CQesSnmpEncoder::visit_counter64(IQelSmiValue* value) {
  size_t content = writer().put_counter64(value->get_high32(), value->get_low32());
  last_tlv_ = writer().put_header(static_cast<uint8_t>(value->kind()), content);
  return kOk;
}

Result CQesSnmpEncoder::visit_ip_address(IQelSmiValue* value) {
  return put_octets(static_cast<uint8_t>(value->kind()), value);
}

Result CQesSnmpEncoder::visit_ipv6_address(IQelSmiValue* value) {
  return put_octets(static_cast<uint8_t>(value->kind()), value);
}

Result CQesSnmpEncoder::visit_ipv4_port_address(IQelSmiValue*) { return kErrNotSupported; }
Result CQesSnmpEncoder::visit_ipx_address(IQelSmiValue*) { return kErrNotSupported; }

Result CQesSnmpEncoder::visit_exception(IQelSmiValue* value) {
  last_tlv_ = writer().put_header(static_cast<uint8_t>(value->kind()), 0);
  return kOk;
}

}  // namespace orv
