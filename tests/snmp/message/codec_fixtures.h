// Builders and probes shared by the message tests: values, PDUs and targets
// in one line, encoding to bytes, and a capture of the "snmp" log lines.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orv/orv_log.hpp"
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

// The lines the "snmp" category writes while an object of this class lives.
class SnmpLogCapture {
 public:
  SnmpLogCapture() {
    static const std::string path = "/tmp/orv-message-test-" + std::to_string(::getpid()) + ".log";
    static const bool attached = [] {
      log::attach_file_log(path.c_str());
      log::set_category_log_mask("snmp", log::kMaskAll);
      std::atexit([] { std::remove(path.c_str()); std::remove((path + ".bak").c_str()); });
      return true;
    }();
    (void)attached;
    path_ = path;
    start_ = size();
  }
  // Everything written since construction.
  std::string text() const {
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start_));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A line of category "snmp" at `level` ("Error", "Info ") with `message`.
  bool has(const char* level, const std::string& message) const {
    std::istringstream lines(text());
    std::string line;
    while (std::getline(lines, line))
      if (line.find(", snmp ") != std::string::npos &&
          line.find(", " + std::string(level) + ", ") != std::string::npos &&
          line.size() >= message.size() && line.compare(line.size() - message.size(), message.size(), message) == 0)
        return true;
    return false;
  }
  bool empty() const { return text().empty(); }

 private:
  size_t size() const {
    std::ifstream in(path_, std::ios::binary | std::ios::ate);
    return in ? static_cast<size_t>(in.tellg()) : 0;
  }
  std::string path_;
  size_t start_ = 0;
};

}  // namespace orv::testing
