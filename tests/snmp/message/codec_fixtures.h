// Builders and probes shared by the message tests: values, PDUs and targets
// in one line, encoding to bytes, and the capture of the "snmp" log lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orv/orv_log.hpp"
#include "support/snmp_log_capture.h"
#include "snmp/message/codec_service.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_packet.h"
#include "snmp/smi/smi_factory.h"

namespace orv::testing {

using Bytes = std::vector<uint8_t>;

inline IQelOid* oid(const char* text) {
  Result rc = kOk;
  IQelOid* o = create_oid_from_text(text, &rc);
  EXPECT_EQ(rc, kOk) << text;
  return o;
}

inline IQelSmiValue* int_value(int32_t v) { return create_smi_value_int32(kSmiInteger, v); }
inline IQelSmiValue* uint_value(uint32_t kind, uint32_t v) { return create_smi_value_uint32(kind, v); }
inline IQelSmiValue* bytes_value(uint32_t kind, const Bytes& bytes) {
  IQelSmiValue* v = create_smi_value(kind);
  EXPECT_EQ(v->set_bytes(bytes.data(), static_cast<uint32_t>(bytes.size())), kOk);
  return v;
}
inline IQelSmiValue* text_value(const char* text) {
  IQelSmiValue* v = create_smi_value(kSmiOctetString);
  EXPECT_EQ(v->set_text(text), kOk);
  return v;
}
inline IQelSmiValue* counter64(uint32_t high, uint32_t low) {
  IQelSmiValue* v = create_smi_value(kSmiCounter64);
  v->set_high32(high);
  v->set_low32(low);
  return v;
}
inline IQelSmiValue* value_of(uint32_t kind) { return create_smi_value(kind); }

inline PduPtr make_pdu(int32_t type, int32_t request_id = 0, int32_t error_status = 0, int32_t error_index = 0) {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(type);
  pdu->set_request_id(request_id);
  pdu->set_error_status(error_status);
  pdu->set_error_index(error_index);
  return pdu;
}

inline SnmpTargetPtr make_target(int32_t version, const char* community) {
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity));
  target->set_version(version);
  as_community_target(target.get())->set_community(community);
  return target;
}

inline Bytes bytes_of(const IQesRawPacket* raw) { return Bytes(raw->data(), raw->data() + raw->length()); }

// Encodes through the codec service into a buffer of `capacity` bytes.
inline Result encode(IQesPdu* pdu, IQesSnmpTarget* target, Bytes* out, uint32_t capacity = 4096,
                     uint32_t* count = nullptr) {
  RawPacketPtr raw(qes_create_raw_packet(capacity));
  Result rc = CQesCodecService::instance().encode(pdu, target, raw.get(), count);
  if (rc == kOk) *out = bytes_of(raw.get());
  return rc;
}

// Decodes `bytes` into a packet (fresh parts unless the packet holds some).
inline Result decode(const Bytes& bytes, IQesSnmpPacket* packet, int32_t translate = kTranslateCommunity) {
  RawPacketPtr raw(qes_create_raw_packet_from(bytes.data(), static_cast<uint32_t>(bytes.size())));
  return CQesCodecService::instance().decode_packet(raw.get(), packet, translate);
}


}  // namespace orv::testing
