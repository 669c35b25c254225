// Broadcast runs on loopback, aimed at one scripted peer: every answering
// address is kept once, tries and time-outs are kept to.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include "log_capture.h"
#include "session_fixtures.h"
#include "snmp/session/request_session.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "support/burst_peer.h"
#include "support/lab.h"
#include "support/snmp_probe.h"

namespace orv {
namespace {

using testing::LogCapture;
using testing::make_get;
using testing::make_target;
using testing::TargetSettings;
using Clock = std::chrono::steady_clock;

class LoopbackBroadcast : public ::testing::Test {
 protected:
  void SetUp() override { ORV_REQUIRE_LAB(false, {"python3"}); }
  void start_peer(std::vector<std::string> modes) {
    host_ = test::free_loopback_address(16100);
    peer_ = std::make_unique<test::ScriptedPeer>(host_ + ":16100", std::move(modes));
  }
  SnmpTargetPtr target(int32_t timeout_ms, int32_t retries) const {
    TargetSettings s;
    s.address = host_;
    s.port = 16100;
    s.timeout_ms = timeout_ms;
    s.retries = retries;
    return make_target(s);
  }
  Result run(IQesSnmpTarget* t, SnmpPacketListPtr* answers) {
    PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0"});
    IQesSnmpPacketList* out = nullptr;
    Result rc = dispatcher_->send_broad_cast_sync(pdu.get(), t, &out);
    answers->reset(out);
    return rc;
  }

  std::string host_;
  std::unique_ptr<test::ScriptedPeer> peer_;
  SessionDispatcherPtr dispatcher_{qes_create_session_dispatcher()};
};

TEST_F(LoopbackBroadcast, AgentAnsweringEveryTryAndTwiceAppearsOnce) {
  // Each request is answered twice (an older id, then the right one).
  start_peer({"late-stale:20:60"});
  SnmpTargetPtr t = target(400, 2);
  SnmpPacketListPtr answers;
  LogCapture log;
  ASSERT_EQ(run(t.get(), &answers), kOk);
  ASSERT_TRUE(answers);
  ASSERT_EQ(answers->count(), 1u);
  IQesSnmpPacket* answer = answers->at(0);
  EXPECT_STREQ(answer->target()->address()->text(), host_.c_str());
  EXPECT_EQ(answer->pdu()->type(), kPduResponse);
  EXPECT_EQ(testing::value_text(answer->pdu(), 0), "1.3.6.1.2.1.1.2.0");
  // The request's own target is left as it was.
  EXPECT_NE(answer->target(), t.get());
  EXPECT_EQ(peer_->datagrams().size(), 3u);
  EXPECT_EQ(log.count("broad cast: receive from new address:"), 1u) << log.text();
  EXPECT_TRUE(log.has("broad cast: timeout= 400, retries=2, destination=" + host_)) << log.text();
  EXPECT_TRUE(log.has("broad cast: try 2.")) << log.text();
  EXPECT_TRUE(log.has("[RequestSession::send_broad_cast_sync] enter.")) << log.text();
  EXPECT_TRUE(log.has("[RequestSession::send_broad_cast_sync] exit.")) << log.text();
  EXPECT_TRUE(log.has("[SessionDispatcher::send_broad_cast_sync] exit.")) << log.text();
}

TEST_F(LoopbackBroadcast, NoAnswerIsAnEmptyListAfterEveryTry) {
  start_peer({"silent"});
  SnmpTargetPtr t = target(300, 1);
  SnmpPacketListPtr answers;
  auto start = Clock::now();
  ASSERT_EQ(run(t.get(), &answers), kOk);
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  ASSERT_TRUE(answers);
  EXPECT_EQ(answers->count(), 0u);
  EXPECT_GE(waited, 2 * 300 - 30);
  EXPECT_TRUE(peer_->wait_for_datagrams(2, 1000));
}

TEST_F(LoopbackBroadcast, RetryCountMinusOneSendsNothing) {
  start_peer({"echo"});
  SnmpTargetPtr t = target(300, -1);
  SnmpPacketListPtr answers;
  ASSERT_EQ(run(t.get(), &answers), kOk);
  ASSERT_TRUE(answers);
  EXPECT_EQ(answers->count(), 0u);
  EXPECT_FALSE(peer_->wait_for_datagrams(1, 300));
}

TEST_F(LoopbackBroadcast, UndecodableAnswerIsDroppedAndErrorsStoreNothing) {
  start_peer({"garbage-first"});
  SnmpTargetPtr t = target(300, 0);
  SnmpPacketListPtr answers;
  ASSERT_EQ(run(t.get(), &answers), kOk);
  // The garbage came first from the same address and was not decodable;
  // the answer behind it still counts.
  ASSERT_EQ(answers->count(), 1u);
  EXPECT_EQ(answers->at(0)->pdu()->type(), kPduResponse);

  SnmpTargetPtr no_address = target(300, 0);
  no_address->set_address(nullptr);
  IQesSnmpPacketList* out = reinterpret_cast<IQesSnmpPacketList*>(0x1);
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0"});
  EXPECT_EQ(dispatcher_->send_broad_cast_sync(pdu.get(), no_address.get(), &out), kErrInvalidArg);
  EXPECT_EQ(out, reinterpret_cast<IQesSnmpPacketList*>(0x1));
}

TEST_F(LoopbackBroadcast, SendErrorEndsTheRunAndStoresNothing) {
  // Port 0 makes the system refuse the datagram.
  host_ = "127.0.0.1";
  TargetSettings s;
  s.address = host_;
  s.port = 0;
  s.timeout_ms = 300;
  s.retries = 2;
  SnmpTargetPtr t = make_target(s);
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0"});
  IQesSnmpPacketList* out = reinterpret_cast<IQesSnmpPacketList*>(0x1);
  LogCapture log;
  auto start = Clock::now();
  EXPECT_EQ(dispatcher_->send_broad_cast_sync(pdu.get(), t.get(), &out), kErrSend);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
            300);
  EXPECT_EQ(out, reinterpret_cast<IQesSnmpPacketList*>(0x1));
  EXPECT_TRUE(log.has("Error, broad cast: error=-205.")) << log.text();
  EXPECT_EQ(log.count("broad cast: try "), 1u) << log.text();
  EXPECT_TRUE(log.has("[RequestSession::send_broad_cast_sync] exit.")) << log.text();

  // The unicast exchange ends at once too, without waiting for a reply.
  LogCapture unicast_log;
  start = Clock::now();
  EXPECT_EQ(dispatcher_->send_sync(pdu.get(), t.get()), kErrSend);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
            300);
  EXPECT_EQ(unicast_log.count("_send_and_receive(): try "), 1u) << unicast_log.text();
}

TEST_F(LoopbackBroadcast, PacketFormKeepsItsParts) {
  start_peer({"echo"});
  SnmpPacketPtr packet(qes_create_snmp_packet());
  packet->set_pdu(make_get({"1.3.6.1.2.1.1.2.0"}).release());
  packet->set_target(target(300, 0).release());
  IQesSnmpPacketList* out = nullptr;
  ASSERT_EQ(dispatcher_->send_broad_cast_sync(packet.get(), &out), kOk);
  SnmpPacketListPtr answers(out);
  EXPECT_EQ(answers->count(), 1u);
  EXPECT_NE(packet->pdu(), nullptr);
  EXPECT_NE(packet->target(), nullptr);
}

// Thousands of agents answer within milliseconds, each twice: every one is
// kept once, with its first answer, in the order the answers came. The
// kernel's default receive buffer holds only a few hundred of them.
TEST(BroadcastBurst, EveryAgentIsKeptOnceInOrderWithItsFirstAnswer) {
  constexpr size_t kAgents = 2000;
  long rmem_max = 0;
  std::ifstream("/proc/sys/net/core/rmem_max") >> rmem_max;
  if (!test::is_root() && rmem_max < (2L << 20)) {
    GTEST_SKIP() << "rmem_max " << rmem_max << " leaves no room for the burst without root";
  }
  const std::string first = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";
  const std::string second = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.2.7";
  test::BurstPeer peer(static_cast<uint8_t>(16 + getpid() % 200));
  TargetSettings s;
  s.address = peer.destination();
  s.port = peer.port();
  s.timeout_ms = 1000;
  SnmpTargetPtr target = make_target(s);
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0"});
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());

  size_t sent = 0;
  std::thread agents([&] {
    sent = peer.answer_once(kAgents, {test::snmp_oid_response(1, "public", "1.3.6.1.2.1.1.2.0", first),
                                      test::snmp_oid_response(1, "public", "1.3.6.1.2.1.1.2.0", second)});
  });
  IQesSnmpPacketList* out = nullptr;
  const Result rc = dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &out);
  agents.join();
  SnmpPacketListPtr answers(out);
  ASSERT_EQ(rc, kOk);
  ASSERT_EQ(sent, 2 * kAgents);
  ASSERT_EQ(answers->count(), kAgents);
  IQesListPosition* position = answers->new_position();
  for (size_t i = 0; i < kAgents; ++i, answers->advance(position)) {
    const IQesSnmpPacket* answer = answers->element(position);
    ASSERT_NE(answer, nullptr) << i;
    ASSERT_EQ(answer->target()->address()->text(), peer.agent(i)) << i;
    ASSERT_EQ(testing::value_text(answer->pdu(), 0), first) << i;
  }
  answers->release_position(position);
}

}  // namespace
}  // namespace orv
