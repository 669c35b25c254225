// Datagrams as traps: SNMPv1 Traps through the codec, SNMPv2c notifications
// through the trap session's own path, and what is dropped; then the same
// over a real socket, where malformed datagrams must not stop good ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snmp/message/message_corpus.h"
#include "snmp/session/log_capture.h"
#include "snmp/trap/trap_fixtures.h"
#include "support/udp_probe.h"

namespace orv::testing {
namespace {

SnmpPacketPtr decoded(const std::vector<uint8_t>& bytes, Result expected = kOk) {
  IQesSnmpPacket* packet = nullptr;
  EXPECT_EQ(decode_trap_datagram(bytes.data(), static_cast<uint32_t>(bytes.size()), &packet), expected);
  if (expected != kOk) {
    EXPECT_EQ(packet, nullptr);
  }
  return SnmpPacketPtr(packet);
}

std::string binding_oid(IQesSnmpPacket* packet, uint32_t index) {
  return packet->pdu()->var_bind_list()->at(index)->oid()->text();
}

TEST(TrapDecode, V2cNotificationTakesTrapOidAndTimeStampFromItsFirstBindings) {
  SnmpPacketPtr packet = decoded(v2c_notification(
      4711, 123456, "1.3.6.1.4.1.9999.0.3",
      {{"1.3.6.1.4.1.9999.1.1", create_smi_value_int32(kSmiInteger, -5)},
       {"1.3.6.1.4.1.9999.1.2", create_smi_value_text(kSmiOctetString, "tray 2 empty")}},
      true, "site7"));
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->target()->version(), kSnmpV2c);
  EXPECT_STREQ(as_community_target(packet->target())->community(), "site7");
  const IQesPdu* pdu = packet->pdu();
  EXPECT_EQ(pdu->type(), kPduTrap);
  EXPECT_EQ(pdu->request_id(), 4711);
  EXPECT_EQ(pdu->error_status(), 0);
  EXPECT_STREQ(pdu->trap_oid()->text(), "1.3.6.1.4.1.9999.0.3");
  EXPECT_EQ(pdu->time_stamp()->get_uint32(), 123456u);
  ASSERT_EQ(pdu->var_bind_list()->count(), 4u);  // the first two stay in the list
  EXPECT_EQ(binding_oid(packet.get(), 0), kSysUpTimeInstance);
  EXPECT_EQ(binding_oid(packet.get(), 1), kSnmpTrapOidInstance);
  EXPECT_EQ(pdu->var_bind_list()->at(2)->value()->get_int32(), -5);
  EXPECT_EQ(binding_oid(packet.get(), 3), "1.3.6.1.4.1.9999.1.2");
}

TEST(TrapDecode, PdusOtherThanTrapsAreDropped) {
  PduPtr get(qes_create_pdu());
  get->set_type(kPduGetRequest);
  get->append_new(create_oid_from_text("1.3.6.1.2.1.1.5.0"), create_smi_value(kSmiNull));
  decoded(encode_message(get.get(), kSnmpV1, "public"), kErrNotAwaited);
  decoded(encode_message(get.get(), kSnmpV2c, "public"), kErrNotAwaited);
}

TEST(TrapDecode, NotificationsWithoutTheirStandardHeaderOrCutShortAreRefused) {
  const std::string trap = "1.3.6.1.4.1.9999.0.3";
  // No header; the two swapped; a sysUpTime.0 that is not TimeTicks; an
  // snmpTrapOID.0 that is not an OID; only the first one.
  std::vector<std::vector<uint8_t>> bad = {
      v2c_notification(1, 1, trap, {{"1.3.6.1.2.1.1.5.0", create_smi_value(kSmiNull)}}, false),
      v2c_notification(1, 1, trap,
                       {{kSnmpTrapOidInstance, create_oid_from_text(trap.c_str())},
                        {kSysUpTimeInstance, create_smi_value_uint32(kSmiTimeTicks, 1)}},
                       false),
      v2c_notification(1, 1, trap,
                       {{kSysUpTimeInstance, create_smi_value_uint32(kSmiGauge32, 1)},
                        {kSnmpTrapOidInstance, create_oid_from_text(trap.c_str())}},
                       false),
      v2c_notification(1, 1, trap,
                       {{kSysUpTimeInstance, create_smi_value_uint32(kSmiTimeTicks, 1)},
                        {kSnmpTrapOidInstance, create_smi_value_text(kSmiOctetString, "x")}},
                       false),
      v2c_notification(1, 1, trap, {{kSysUpTimeInstance, create_smi_value_uint32(kSmiTimeTicks, 1)}}, false),
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    decoded(bad[i], kErrNotAwaited);
  }
  // Every cut of a good notification; bytes behind one are ignored.
  std::vector<uint8_t> good = v2c_notification(9, 9, trap, {{"1.3.6.1.4.1.9999.1.1", create_smi_value_int32(kSmiInteger, 1)}});
  for (size_t cut = 0; cut < good.size(); ++cut) {
    IQesSnmpPacket* packet = nullptr;
    EXPECT_NE(decode_trap_datagram(good.data(), static_cast<uint32_t>(cut), &packet), kOk) << cut;
    EXPECT_EQ(packet, nullptr);
  }
  good.push_back(0x00);
  EXPECT_TRUE(decoded(good));
}

std::vector<std::vector<uint8_t>> malformed_datagrams() {
  std::vector<std::vector<uint8_t>> out;
  for (const MessageSpec& m : corpus()) {
    SnmpPacketPtr packet = our_packet_of(m);
    RawPacketPtr raw(qes_create_raw_packet(65536));
    if (CQesCodecService::instance().encode_packet(packet.get(), raw.get()) != kOk) continue;
    std::vector<uint8_t> bytes(raw->data(), raw->data() + raw->length());
    if (bytes.size() > kTrapReceiveBufferSize) continue;
    bytes.resize(bytes.size() / 2);
    out.push_back(bytes);
  }
  for (const std::vector<uint8_t>& whole :
       {v1_trap("1.3.6.1.4.1.9999.0.1", 5), v2c_notification(1, 5, "1.3.6.1.4.1.9999.0.1")}) {
    for (size_t cut = 1; cut < whole.size(); cut += 3) out.emplace_back(whole.begin(), whole.begin() + cut);
  }
  return out;
}

TEST(TrapSession, MalformedDatagramsAreDroppedAndGoodTrapsAfterThemArrive) {
  session_log_path();
  LogCapture log;
  RecordingObserver observer;  // outlives the session
  TrapSessionPtr session = started_trap_session();
  ASSERT_TRUE(session);
  ASSERT_EQ(session->attach(&observer), kOk);
  test::UdpProbe probe;
  const std::vector<std::vector<uint8_t>> junk = malformed_datagrams();
  ASSERT_GT(junk.size(), 50u);
  for (size_t i = 0; i < junk.size(); ++i) {
    probe.send_to("127.0.0.1", session->local_port(), junk[i]);
    if (i % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(5));  // within the socket's buffer
  }
  probe.send_to("127.0.0.1", session->local_port(), v1_trap("1.3.6.1.4.1.9999.0.1", 31));
  probe.send_to("127.0.0.1", session->local_port(), v2c_notification(32, 1, "1.3.6.1.4.1.9999.0.2"));
  ASSERT_TRUE(eventually([&] { return observer.calls() == 2; }));
  EXPECT_EQ(observer.keys(), (std::vector<int64_t>{31, 32}));
  session.reset();
  EXPECT_EQ(log.count("[TrapSession]: receive packet(0x"), 2u);
  EXPECT_EQ(log.count("[ObserverInvoker]: accept kFireTrap."), 2u);
}

}  // namespace
}  // namespace orv::testing
