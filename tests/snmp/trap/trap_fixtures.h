// Trap datagrams for the trap session's tests, made by the library's own
// encoder, and observers that count what they are given.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "snmp/message/ber_reader.h"
#include "snmp/message/codec_service.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/message/snmp_target.h"
#include "snmp/trap/trap_decode.h"
#include "snmp/trap/trap_session.h"
#include "snmp/smi/qel_oid.h"
#include "snmp/smi/smi_factory.h"

namespace orv::testing {

using Binding = std::pair<std::string, IQelSmiValue*>;  // the value is taken

inline std::vector<uint8_t> encode_message(IQesPdu* pdu, int32_t version, const char* community) {
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity));
  as_community_target(target.get())->set_community(community);
  target->set_version(version);
  RawPacketPtr raw(qes_create_raw_packet(4096));
  EXPECT_EQ(CQesCodecService::instance().encode(pdu, target.get(), raw.get()), kOk);
  return {raw->data(), raw->data() + raw->length()};
}

// An SNMPv1 Trap: `trap_oid` in the codec's form (enterprise.0.specific, or
// 1.3.6.1.6.3.1.1.5.0.(generic+1)).
inline std::vector<uint8_t> v1_trap(const std::string& trap_oid, uint32_t stamp,
                                    std::vector<Binding> bindings = {},
                                    const char* community = "public") {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(kPduTrap);
  EXPECT_EQ(pdu->set_trap_oid(create_oid_from_text(trap_oid.c_str())), kOk);
  EXPECT_EQ(pdu->set_time_stamp(create_smi_value_uint32(kSmiTimeTicks, stamp)), kOk);
  for (auto& [oid, value] : bindings) pdu->append_new(create_oid_from_text(oid.c_str()), value);
  return encode_message(pdu.get(), kSnmpV1, community);
}

// An SNMPv2c notification (tag 0xA7): sysUpTime.0 and snmpTrapOID.0 first
// unless `standard_header` is false, then `bindings`. The encoder writes it
// as an InformRequest, whose tag is then turned into 0xA7.
inline std::vector<uint8_t> v2c_notification(int32_t request_id, uint32_t uptime,
                                             const std::string& trap_oid,
                                             std::vector<Binding> bindings = {},
                                             bool standard_header = true,
                                             const char* community = "public") {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(kPduInformRequest);
  pdu->set_request_id(request_id);
  if (standard_header) {
    pdu->append_new(create_oid_from_text(kSysUpTimeInstance), create_smi_value_uint32(kSmiTimeTicks, uptime));
    pdu->append_new(create_oid_from_text(kSnmpTrapOidInstance), create_oid_from_text(trap_oid.c_str()));
  }
  for (auto& [oid, value] : bindings) pdu->append_new(create_oid_from_text(oid.c_str()), value);
  std::vector<uint8_t> bytes = encode_message(pdu.get(), kSnmpV2c, community);
  BerReader reader(bytes.data(), bytes.size());
  uint8_t tag = 0;
  uint32_t length = 0;
  const uint8_t* contents = nullptr;
  EXPECT_EQ(reader.read_tag_length(&tag, &length), kOk);
  EXPECT_TRUE(reader.read_tlv(kTagInteger, &contents, &length));
  EXPECT_TRUE(reader.read_tlv(kTagOctetString, &contents, &length));
  EXPECT_EQ(bytes[reader.position()], kTagPduBase + kPduInformRequest);
  bytes[reader.position()] = kTagSnmpV2Trap;
  return bytes;
}

// Counts calls and keeps each trap's request-id (v2c) or time-stamp (v1).
class RecordingObserver : public IQesTrapObserver {
 public:
  explicit RecordingObserver(std::function<void(IQesSnmpPacket*)> also = {}) : also_(std::move(also)) {}
  void update(IQesSnmpPacket* trap) override {
    {
      std::lock_guard lock(mutex_);
      const IQesPdu* pdu = trap->pdu();
      keys_.push_back(trap->target()->version() == kSnmpV1 ? static_cast<int64_t>(pdu->time_stamp()->get_uint32())
                                                           : pdu->request_id());
    }
    if (also_) also_(trap);
    calls_.fetch_add(1);
  }
  size_t calls() const { return calls_.load(); }
  std::vector<int64_t> keys() const {
    std::lock_guard lock(mutex_);
    return keys_;
  }

 private:
  std::function<void(IQesSnmpPacket*)> also_;
  std::atomic<size_t> calls_{0};
  mutable std::mutex mutex_;
  std::vector<int64_t> keys_;
};

struct TrapSessionDelete {
  void operator()(TrapSession* session) const { delete session; }
};
using TrapSessionPtr = std::unique_ptr<TrapSession, TrapSessionDelete>;

// A started trap session on a port of the system's choosing (IPv4 any).
inline TrapSessionPtr started_trap_session(int32_t protocol = IQelNetworkAddress::kProtocolIpv4) {
  TrapSession* raw = nullptr;
  EXPECT_EQ(create_trap_session(protocol, 0, &raw), kOk);
  TrapSessionPtr session(raw);
  if (session) {
    EXPECT_EQ(session->start(), kOk);
  }
  return session;
}

// Polls `done` every 5 ms for at most `limit`.
template <typename Predicate>
bool eventually(Predicate done, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace orv::testing
