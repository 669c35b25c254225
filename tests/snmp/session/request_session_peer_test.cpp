// The request session against the scripted UDP peer: time-outs, retries,
// stale and garbage datagrams, tooBig splits and error-index merges.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "session_fixtures.h"
#include "snmp/session/request_session.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "support/lab.h"
#include "support/snmp_probe.h"

namespace orv {
namespace {

using testing::LogCapture;
using testing::make_get;
using testing::make_target;
using testing::numbered_oids;
using testing::TargetSettings;
using Clock = std::chrono::steady_clock;

long elapsed_ms(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

struct SessionDestroyer {
  void operator()(RequestSession* s) const { s->destroy(); }
};
using RequestSessionPtr = std::unique_ptr<RequestSession, SessionDestroyer>;

class PeerSession : public ::testing::Test {
 protected:
  void SetUp() override { ORV_REQUIRE_LAB(false, {"python3"}); }

  // A scripted peer on a loopback address of its own.
  void start_peer(std::vector<std::string> modes) {
    host_ = test::free_loopback_address(16100);
    peer_ = std::make_unique<test::ScriptedPeer>(host_ + ":16100", std::move(modes));
  }
  TargetSettings settings(int32_t timeout_ms = 1000, int32_t retries = 0) const {
    TargetSettings s;
    s.address = host_;
    s.port = 16100;
    s.timeout_ms = timeout_ms;
    s.retries = retries;
    return s;
  }
  // The request ids of what the peer received, read by an independent parser.
  std::vector<int32_t> received_ids() const {
    std::vector<int32_t> ids;
    for (const test::PeerDatagram& d : peer_->datagrams()) {
      auto parsed = test::parse_snmp_reply(d.bytes);
      ids.push_back(parsed ? parsed->request_id : -1);
    }
    return ids;
  }

  std::string host_;
  std::unique_ptr<test::ScriptedPeer> peer_;
  RequestSessionPtr session_{new RequestSession};
};

TEST_F(PeerSession, EchoAnswerComesBackIntoTheSamePdu) {
  start_peer({"echo"});
  SnmpTargetPtr target = make_target(settings());
  IQelNetworkAddress* asked = target->address();
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0", "1.3.6.1.2.1.1.6.0"});
  LogCapture log;
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(pdu->type(), kPduResponse);
  ASSERT_EQ(testing::count_of(pdu.get()), 2u);
  EXPECT_EQ(testing::value_text(pdu.get(), 0), "1.3.6.1.2.1.1.5.0");
  EXPECT_EQ(testing::value_text(pdu.get(), 1), "1.3.6.1.2.1.1.6.0");
  // The destination is now the address that answered: the same one, so its
  // object stays.
  ASSERT_NE(target->address(), nullptr);
  EXPECT_EQ(target->address(), asked);
  EXPECT_STREQ(target->address()->text(), host_.c_str());
  EXPECT_EQ(target->address()->port(), 16100);
  EXPECT_TRUE(log.has("_send_and_receive(): timeout= 1000, retries=0")) << log.text();
  EXPECT_TRUE(log.has("_send_and_receive(): try 0, destination=" + host_)) << log.text();
  EXPECT_TRUE(log.has("_send_and_receive(): receive from " + host_)) << log.text();
}

// "127.65.6.10" as "127.065.006.010": decimal, though the C library reads a
// leading zero as octal (127.53.6.8). The lab's second octet is at least 64,
// so the octal reading never names the same address.
std::string zero_padded(const std::string& dotted) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  EXPECT_EQ(std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d), 4);
  char text[20];
  std::snprintf(text, sizeof text, "%u.%03u.%03u.%03u", a, b, c, d);
  return text;
}

TEST_F(PeerSession, LeadingZerosReachTheDecimalAddress) {
  start_peer({"echo"});
  TargetSettings s = settings();
  s.address = zero_padded(host_);
  SnmpTargetPtr target = make_target(s);
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk) << s.address;
  EXPECT_EQ(peer_->datagrams().size(), 1u);
  EXPECT_STREQ(target->address()->text(), host_.c_str());
}

// A UDP socket of the test on `host` and `port` (0: the system chooses).
class TestSocket {
 public:
  TestSocket(const std::string& host, uint16_t port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << host;
  }
  ~TestSocket() { close(fd_); }
  int fd() const { return fd_; }
  uint16_t port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
  }

 private:
  int fd_;
};

// Waits (at most 3 s) for one GetRequest on `agent` and sends it back as
// the response from `replier`.
void echo_from(const TestSocket& agent, const TestSocket& replier) {
  pollfd wanted{agent.fd(), POLLIN, 0};
  if (poll(&wanted, 1, 3000) != 1) return;
  uint8_t bytes[1500];
  sockaddr_in client{};
  socklen_t length = sizeof client;
  ssize_t count = recvfrom(agent.fd(), bytes, sizeof bytes, 0, reinterpret_cast<sockaddr*>(&client), &length);
  // 30 L, version 02 01 v, community 04 n ..., then the PDU's tag.
  const size_t tag = count > 7 ? 7u + bytes[6] : 0;
  if (tag == 0 || tag >= static_cast<size_t>(count) || bytes[tag] != 0xA0) return;
  bytes[tag] = 0xA2;
  sendto(replier.fd(), bytes, static_cast<size_t>(count), 0, reinterpret_cast<sockaddr*>(&client), length);
}

// The target names the sender of the answer afterwards, and keeps its own
// address object exactly when that object already names it; with logging
// off (no address text needed) as with it on.
TEST(AnswerSender, TargetNamesWhereTheAnswerCameFrom) {
  const std::string host = test::free_loopback_address(16100);
  const std::string other_host = test::free_loopback_address(16100);
  ASSERT_NE(host, other_host);
  TestSocket agent(host, 16100);
  TestSocket other_port(host, 0);
  TestSocket other_address(other_host, 16100);
  struct Case {
    const TestSocket* replier;
    const std::string* text;
  };
  const Case cases[] = {{&agent, &host}, {&other_port, &host}, {&other_address, &other_host}};
  testing::session_log_path();  // the capture's file, before its mask is changed here
  for (bool logging : {false, true}) {
    orv::log::set_log_mask(logging ? orv::log::kMaskAll : 0);
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "from " << *c.text << ":" << c.replier->port() << ", logging " << logging);
      TargetSettings s;
      s.address = host;
      s.port = 16100;
      SnmpTargetPtr target = make_target(s);
      IQelNetworkAddress* asked = target->address();
      PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
      RequestSessionPtr session(new RequestSession);
      LogCapture log;
      std::thread answer([&] { echo_from(agent, *c.replier); });
      const Result rc = session->send_sync(pdu.get(), target.get());
      answer.join();
      ASSERT_EQ(rc, kOk);
      EXPECT_STREQ(target->address()->text(), c.text->c_str());
      EXPECT_EQ(target->address()->port(), c.replier->port());
      EXPECT_EQ(target->address() == asked, c.replier == &agent);
      EXPECT_EQ(log.has("_send_and_receive(): receive from " + *c.text + "\n"), logging) << log.text();
    }
  }
  orv::log::set_log_mask(orv::log::kMaskAll);
}

TEST_F(PeerSession, SilentAgentGetsRetriesPlusOneIdenticalDatagrams) {
  start_peer({"silent"});
  SnmpTargetPtr target = make_target(settings(600, 2));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  LogCapture log;
  auto start = Clock::now();
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrTimeout);
  long waited = elapsed_ms(start);
  EXPECT_GE(waited, 3 * 600 - 50);
  EXPECT_LT(waited, 3 * 600 + 1500);
  ASSERT_TRUE(peer_->wait_for_datagrams(3, 2000));
  std::vector<test::PeerDatagram> sent = peer_->datagrams();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].bytes, sent[1].bytes);
  EXPECT_EQ(sent[1].bytes, sent[2].bytes);
  EXPECT_EQ(received_ids()[0], pdu->request_id());
  EXPECT_EQ(log.count("_send_and_receive(): receive timeout."), 3u) << log.text();
  EXPECT_TRUE(log.has("_send_and_receive(): try 2, destination=")) << log.text();
}

TEST_F(PeerSession, RetryCountZeroSendsOnceAndNegativeSendsNothing) {
  start_peer({"silent"});
  SnmpTargetPtr target = make_target(settings(300, 0));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrTimeout);
  ASSERT_TRUE(peer_->wait_for_datagrams(1, 2000));
  target->set_retries(-1);
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrTimeout);
  EXPECT_FALSE(peer_->wait_for_datagrams(2, 300));
}

TEST_F(PeerSession, StaleAnswerIsDroppedAndTheTrueOneTaken) {
  start_peer({"late-stale:100:300"});
  SnmpTargetPtr target = make_target(settings(2000, 0));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  LogCapture log;
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(testing::value_text(pdu.get(), 0), "1.3.6.1.2.1.1.5.0");
  EXPECT_TRUE(log.has("[RequestSession::check_received_raw_packet] request id not match. sended packet[")) << log.text();
  EXPECT_EQ(peer_->datagrams().size(), 1u);
}

TEST_F(PeerSession, DroppedDatagramShortensTheWaitToWhatIsLeft) {
  // The stale answer comes after 400 ms of a 700 ms wait; the wait goes on
  // for the remaining 300 ms only, not for another 700.
  start_peer({"late-stale:400:-"});
  SnmpTargetPtr target = make_target(settings(700, 0));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  auto start = Clock::now();
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrTimeout);
  long waited = elapsed_ms(start);
  EXPECT_GE(waited, 650);
  EXPECT_LT(waited, 1000);
}

uint32_t g_tick_offset = 0;
uint32_t wrapping_ticks() { return session::steady_tick_ms() + g_tick_offset; }

TEST_F(PeerSession, WaitIsMeasuredRightWhenTheTickCounterWraps) {
  start_peer({"late-stale:400:-"});
  // The counter passes 2^32 about 200 ms into the wait.
  g_tick_offset = 0u - session::steady_tick_ms() - 200u;
  RequestSessionPtr session(new RequestSession(wrapping_ticks));
  SnmpTargetPtr target = make_target(settings(700, 0));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  auto start = Clock::now();
  EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrTimeout);
  long waited = elapsed_ms(start);
  EXPECT_GE(waited, 650);
  EXPECT_LT(waited, 1000);
}

TEST_F(PeerSession, GarbageBeforeTheAnswerIsDropped) {
  start_peer({"garbage-first"});
  SnmpTargetPtr target = make_target(settings(2000, 0));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(testing::value_text(pdu.get(), 0), "1.3.6.1.2.1.1.5.0");
}

TEST_F(PeerSession, LaterRetryIsAnsweredWithTheSameRequestId) {
  start_peer({"silent-first:1"});
  SnmpTargetPtr target = make_target(settings(300, 1));
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  std::vector<int32_t> ids = received_ids();
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_EQ(ids[0], ids[1]);
  EXPECT_EQ(ids[0], pdu->request_id());
}

TEST_F(PeerSession, TooBigAnswerSplitsInTwoAndMergesInOrder) {
  start_peer({"toobig-above:3"});
  SnmpTargetPtr target = make_target(settings());
  std::vector<std::string> oids = numbered_oids(4);
  PduPtr pdu = make_get(oids);
  LogCapture log;
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  ASSERT_EQ(testing::count_of(pdu.get()), 4u);
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(testing::oid_at(pdu.get(), i), oids[i]);
    EXPECT_EQ(testing::value_text(pdu.get(), i), oids[i]);
  }
  EXPECT_EQ(pdu->type(), kPduResponse);
  EXPECT_EQ(pdu->error_status(), 0);
  EXPECT_TRUE(log.has("_send_and_receive(): receive packet is too big.")) << log.text();
  EXPECT_TRUE(log.has("is fragmented to 2.")) << log.text();
  // One whole request, then two pieces of two, each with a fresh id.
  std::vector<int32_t> ids = received_ids();
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[1], ids[0] + 1);
  EXPECT_EQ(ids[2], ids[1] + 1);
}

TEST_F(PeerSession, PiecesThatAreStillTooBigAreSplitAgain) {
  start_peer({"toobig-above:2"});
  SnmpTargetPtr target = make_target(settings());
  std::vector<std::string> oids = numbered_oids(5);
  PduPtr pdu = make_get(oids);
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  ASSERT_EQ(testing::count_of(pdu.get()), 5u);
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(testing::value_text(pdu.get(), i), oids[i]);
  // 5 -> (3 -> 2 + 1) + 2
  EXPECT_EQ(peer_->datagrams().size(), 5u);
}

TEST_F(PeerSession, SingleBindingAnsweredTooBigCannotBeSplit) {
  start_peer({"toobig-above:0"});
  SnmpTargetPtr target = make_target(settings());
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  LogCapture log;
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrCannotSplit);
  EXPECT_TRUE(log.has("[RequestSession::fragment_pdu] can't fragment the packet[")) << log.text();
  // Nothing was handed to pieces: the request keeps its binding.
  EXPECT_EQ(testing::count_of(pdu.get()), 1u);
}

TEST_F(PeerSession, ErrorIndexOfALaterPieceIsOffsetIntoTheWholeRequest) {
  std::vector<std::string> oids = numbered_oids(8);
  start_peer({"toobig-above:4", "error-at:" + oids[5]});
  SnmpTargetPtr target = make_target(settings());
  PduPtr pdu = make_get(oids);
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(pdu->error_status(), 2);
  EXPECT_EQ(pdu->error_index(), 6);
  ASSERT_EQ(testing::count_of(pdu.get()), 8u);
  for (uint32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(testing::oid_at(pdu.get(), i), oids[i]);
    EXPECT_EQ(pdu->var_bind_list()->at(i)->status(), i == 5 ? 2 : 100) << i;
  }
}

TEST_F(PeerSession, RequestLongerThanTheLimitIsSentInPiecesThatFit) {
  start_peer({"echo"});
  TargetSettings s = settings();
  s.max_message_size = 484;
  SnmpTargetPtr target = make_target(s);
  std::vector<std::string> oids = numbered_oids(40, "1.3.6.1.4.1.9999.1.2.3.4.5.6.7");
  PduPtr pdu = make_get(oids);
  ASSERT_EQ(session_->send_sync(pdu.get(), target.get()), kOk);
  ASSERT_EQ(testing::count_of(pdu.get()), 40u);
  for (uint32_t i = 0; i < 40; ++i) EXPECT_EQ(testing::value_text(pdu.get(), i), oids[i]);
  std::vector<test::PeerDatagram> sent = peer_->datagrams();
  // Never sent whole: about 900 bytes make two pieces of 20.
  EXPECT_EQ(sent.size(), 2u);
  for (const test::PeerDatagram& d : sent) EXPECT_LE(d.bytes.size(), 484u);
}

TEST_F(PeerSession, FailingPieceStopsTheRunBeforeLaterPieces) {
  start_peer({"silent"});
  TargetSettings s = settings(300, 0);
  s.max_message_size = 200;
  SnmpTargetPtr target = make_target(s);
  PduPtr pdu = make_get(numbered_oids(12));
  LogCapture log;
  EXPECT_EQ(session_->send_sync(pdu.get(), target.get()), kErrTimeout);
  EXPECT_TRUE(log.has("is fragmented to")) << log.text();
  EXPECT_FALSE(peer_->wait_for_datagrams(2, 400));
  EXPECT_EQ(peer_->datagrams().size(), 1u);
}

TEST_F(PeerSession, ArgumentsAreChecked) {
  start_peer({"echo"});
  SnmpTargetPtr target = make_target(settings());
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  EXPECT_EQ(session_->send_sync(nullptr, target.get()), kErrInvalidArg);
  EXPECT_EQ(session_->send_sync(pdu.get(), nullptr), kErrInvalidArg);
  EXPECT_EQ(session_->send_sync(static_cast<IQesSnmpPacket*>(nullptr)), kErrInvalidArg);
  EXPECT_EQ(session_->unsupported_operation(), kErrNotSupported);
  SnmpTargetPtr no_address = make_target(settings());
  no_address->set_address(nullptr);
  EXPECT_EQ(session_->send_sync(pdu.get(), no_address.get()), kErrInvalidArg);
  uint32_t split = 0;
  EXPECT_EQ(session_->_send_and_receive(nullptr, target.get(), &split), kErrInvalidArg);
}

TEST_F(PeerSession, PacketFormLendsAndReturnsItsParts) {
  start_peer({"echo"});
  SnmpPacketPtr packet(qes_create_snmp_packet());
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  IQesPdu* pdu_raw = pdu.get();
  packet->set_pdu(pdu.release());
  packet->set_target(make_target(settings()).release());
  ASSERT_EQ(session_->send_sync(packet.get()), kOk);
  EXPECT_EQ(packet->pdu(), pdu_raw);
  ASSERT_NE(packet->target(), nullptr);
  EXPECT_EQ(testing::value_text(packet->pdu(), 0), "1.3.6.1.2.1.1.5.0");
}

TEST_F(PeerSession, DispatcherForwardsCommunityTargetsAndRefusesOthers) {
  start_peer({"echo"});
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
  ASSERT_TRUE(dispatcher);
  SnmpTargetPtr target = make_target(settings());
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(testing::value_text(pdu.get(), 0), "1.3.6.1.2.1.1.5.0");
  target->set_version(session::kSnmpVersion3);
  EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kErrInvalidArg);
  QelPtr<IQesSnmpV3Target> v3(qes_create_snmpv3_target());
  v3->set_version(session::kSnmpVersion3);
  v3->set_address(qel_create_network_address_with_protocol(host_.c_str(), IQelNetworkAddress::kProtocolIpv4, 16100));
  v3->set_timeout(200);
  ASSERT_EQ(v3->set_security_name("user"), kOk);
  // The SNMPv3 session takes it: the peer echoes the engine-ID probe, which
  // is no answer to it.
  EXPECT_EQ(dispatcher->send_sync(pdu.get(), v3.get()), kErrTimeout);
  EXPECT_EQ(dispatcher->send_sync(nullptr, target.get()), kErrInvalidArg);
  IQesSnmpPacketList* answers = nullptr;
  EXPECT_EQ(dispatcher->send_broad_cast_sync(static_cast<IQesSnmpPacket*>(nullptr), &answers),
            kErrInvalidArg);
  EXPECT_EQ(answers, nullptr);
}

}  // namespace
}  // namespace orv
