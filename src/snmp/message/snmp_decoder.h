// Decodes one received SNMPv1/v2c message into a packet, reusing the
// packet's target, PDU, varbinds and values where their kinds match, so that
// a response lands in its request's objects. Values read themselves through
// the IQesValueVisitor operations. Reads never leave the input buffer.
#pragma once

#include <cstdint>

#include "snmp/message/ber_reader.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_packet.h"
#include "snmp/smi/value_visitor.h"

namespace orv {

class IQesSnmpDecoder : public IQesCodec {
 public:
  // Slot order is part of the interface; do not reorder (1 to 3 in IQesCodec).
  virtual void release() = 0;                                         // 4
  // 0, or the first failure: -250 malformed or truncated input, -2 no way
  // to map it onto a target, -5 a PDU this codec does not carry, -3 memory.
  virtual Result decode_packet(IQesSnmpPacket* packet) = 0;           // 5
  virtual Result decode_pdu(IQesPdu* pdu) = 0;                        // 6
  virtual Result decode_var_bind_list(IQesVarBindList* list) = 0;     // 7
  virtual Result decode_var_bind(IQesVarBind* var_bind) = 0;          // 8
  virtual Result decode_request_fields(IQesPdu* pdu) = 0;             // 9
  virtual Result decode_trap_v1_fields(IQesPdu* pdu) = 0;             // 10
  virtual Result decode_trap_v2_body(IQesPdu* pdu) = 0;               // 11 (-5)

  // Bound before a decode: the input (borrowed), the translate type
  // (kTranslateNone at first) and the header-only flag (false at first).
  virtual void set_input(const IQesRawPacket* input) = 0;
  virtual void set_translate_type(int32_t type) = 0;
  virtual void set_header_only(bool header_only) = 0;
};

class CQesSnmpDecoder final : public IQesSnmpDecoder, public IQesValueVisitor {
 public:
  // The codec service runs the built-in codec on its stack; others end
  // it through release().
  CQesSnmpDecoder() = default;
  ~CQesSnmpDecoder() override = default;

  Result code_community_header(IQesCommunityTarget* target) override;
  Result code_snmpv3_header(IQesSnmpV3Target* target) override;
  void release() override { delete this; }
  Result decode_packet(IQesSnmpPacket* packet) override;
  Result decode_pdu(IQesPdu* pdu) override;
  Result decode_var_bind_list(IQesVarBindList* list) override;
  Result decode_var_bind(IQesVarBind* var_bind) override;
  Result decode_request_fields(IQesPdu* pdu) override;
  Result decode_trap_v1_fields(IQesPdu* pdu) override;
  Result decode_trap_v2_body(IQesPdu* pdu) override;
  void set_input(const IQesRawPacket* input) override { input_ = input; }
  void set_translate_type(int32_t type) override { translate_type_ = type; }
  void set_header_only(bool header_only) override { header_only_ = header_only; }

  // A PDU body that the caller located itself (the trap session's SNMPv2c
  // notifications, which this codec does not carry): request-id, error
  // fields and the varbind list over exactly `length` bytes, by the same
  // rules as any other body. The bindings' statuses are cleared.
  Result decode_request_body(const uint8_t* body, size_t length, IQesPdu* pdu);

  Result visit_oid(IQelOid* value) override;
  Result visit_octet_string(IQelSmiValue* value) override;
  Result visit_integer(IQelSmiValue* value) override;
  Result visit_null(IQelSmiValue* value) override;
  Result visit_counter32(IQelSmiValue* value) override;
  Result visit_gauge32(IQelSmiValue* value) override;
  Result visit_timeticks(IQelSmiValue* value) override;
  Result visit_counter64(IQelSmiValue* value) override;
  Result visit_ip_address(IQelSmiValue* value) override;
  Result visit_ipv6_address(IQelSmiValue* value) override;
  Result visit_ipv4_port_address(IQelSmiValue* value) override;
  Result visit_ipx_address(IQelSmiValue* value) override;
  Result visit_exception(IQelSmiValue* value) override;

 private:

  // The contents of a TLV with tag `tag`; kErrNotAwaited for another tag or
  // contents that are not all there.
  Result read_contents(uint8_t tag, const uint8_t** contents, uint32_t* length) {
    return reader_.read_tlv(tag, contents, length) ? kOk : kErrNotAwaited;
  }
  // The PDU's varbind list (made when absent) decoded at the reader.
  Result decode_pdu_list(IQesPdu* pdu, IQesVarBindList** list);
  Result read_integer(int32_t* value);
  Result read_oid_into(IQelOid* oid);
  Result read_octets_into(IQelSmiValue* value);
  Result read_unsigned_into(IQelSmiValue* value);
  Result read_empty(uint8_t tag);

  const IQesRawPacket* input_ = nullptr;
  int32_t version_ = kSnmpVersionUnset;
  int32_t translate_type_ = kTranslateNone;
  bool header_only_ = false;
  BerReader reader_{nullptr, 0};
};

}  // namespace orv
