// Encodes one packet into the bound output buffer as an SNMPv1/v2c message,
// back to front: every TLV is written contents first, so each length is known
// when its header is written. Values write themselves through the
// IQesValueVisitor operations.
#pragma once

#include <cstdint>

#include "snmp/message/ber_oid.h"
#include "snmp/message/ber_writer.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_packet.h"
#include "snmp/smi/value_visitor.h"

namespace orv {

class IQesSnmpEncoder : public IQesCodec {
 public:
  // Slot order is part of the interface; do not reorder (1 to 3 in IQesCodec).
  virtual void release() = 0;                                         // 4
  // 0, or the first failure: -2 missing or unencodable parts, -5 a kind or
  // PDU this codec does not carry, -211 the message does not fit.
  virtual Result encode_packet(IQesSnmpPacket* packet) = 0;           // 5
  virtual Result encode_pdu(IQesPdu* pdu) = 0;                        // 6
  virtual Result encode_var_bind_list(IQesVarBindList* list) = 0;     // 7
  virtual Result encode_var_bind(IQesVarBind* var_bind) = 0;          // 8
  virtual Result encode_request_fields(IQesPdu* pdu) = 0;             // 9
  virtual Result encode_trap_v1_fields(IQesPdu* pdu) = 0;             // 10
  virtual Result encode_trap_v2_body(IQesPdu* pdu) = 0;               // 11 (-5)

  // Binds the output buffer (borrowed) before an encode.
  virtual void set_output(IQesRawPacket* output) = 0;
  // Varbinds of the last message that fit, counted from the end of the list.
  virtual uint32_t var_bind_count() const = 0;
};

class CQesSnmpEncoder final : public IQesSnmpEncoder, public IQesValueVisitor {
 public:
  // The codec service runs the built-in codec on its stack; others end
  // it through release().
  CQesSnmpEncoder() = default;
  ~CQesSnmpEncoder() override = default;

  Result code_community_header(IQesCommunityTarget* target) override;
  Result code_snmpv3_header(IQesSnmpV3Target* target) override;
  void release() override { delete this; }
  Result encode_packet(IQesSnmpPacket* packet) override;
  Result encode_pdu(IQesPdu* pdu) override;
  Result encode_var_bind_list(IQesVarBindList* list) override;
  Result encode_var_bind(IQesVarBind* var_bind) override;
  Result encode_request_fields(IQesPdu* pdu) override;
  Result encode_trap_v1_fields(IQesPdu* pdu) override;
  Result encode_trap_v2_body(IQesPdu* pdu) override;
  void set_output(IQesRawPacket* output) override { output_ = output; }
  uint32_t var_bind_count() const override { return var_bind_count_; }

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

  // Outside encode_packet the writer has no room: everything overflows.
  BerWriter& writer() { return writer_; }
  Result put_octets(uint8_t tag, IQelSmiValue* value);
  Result put_unsigned(IQelSmiValue* value);
  // An OBJECT IDENTIFIER TLV from dotted text; -2 (logged) when it has no
  // BER form.
  Result put_oid_text(const char* text, size_t length);
  // Logs why an OID has no BER form; -2.
  Result oid_refused(OidPutStatus status, const char* text, size_t length);
  void put_integer_tlv(int32_t value);
  // -211 when the writer overflowed, else 0.
  Result overflow_check() const { return writer_.overflow() ? kErrTooBigToSend : kOk; }
  [[gnu::always_inline]] Result put_var_bind(IQesVarBind* var_bind);
  [[gnu::always_inline]] Result put_oid(IQelOid* oid);

  IQesRawPacket* output_ = nullptr;
  int32_t version_ = kSnmpVersionUnset;
  uint32_t var_bind_count_ = 0;
  BerWriter writer_;
  size_t last_tlv_ = 0;
};

// Encoding rules that need no objects (used by the encoder and its tests).
// The first two arcs combine into one sub-identifier; -2 when they cannot
// (first above 2, second of 40 or more under 0 or 1, or beyond 32 bits).
Result ber_first_subid(uint32_t first, uint32_t second, uint32_t* subid);

}  // namespace orv
