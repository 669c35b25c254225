// The scripted peer's modes, driven with plain sockets and with Net-SNMP.
#include <gtest/gtest.h>

#include <chrono>

#include "support/lab.h"
#include "support/snmp_probe.h"
#include "support/udp_probe.h"

namespace orv::test {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kName = "1.3.6.1.2.1.1.5.0";
const std::string kObjectId = "1.3.6.1.2.1.1.2.0";
const std::string kLocation = "1.3.6.1.2.1.1.6.0";

class ScriptedPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = lab_missing(false, {"python3", "snmpget"});
    if (!missing.empty()) GTEST_SKIP() << missing;
    host_ = free_loopback_address(kPort);
  }
  std::string bind() const { return host_ + ":" + std::to_string(kPort); }
  // One GET; its first reply parsed (nullopt: no reply, or not SNMP).
  std::optional<SnmpReply> ask(UdpProbe& probe, int32_t id, const std::vector<std::string>& oids) {
    probe.send_to(host_, kPort, snmp_get_request(id, "public", oids));
    auto reply = probe.receive(2000);
    return reply ? parse_snmp_reply(reply->bytes) : std::nullopt;
  }

  static constexpr uint16_t kPort = 16100;
  std::string host_;
};

TEST_F(ScriptedPeerTest, EchoAnswersWithTheOidTextsAndLogsEachDatagram) {
  ScriptedPeer peer(bind(), {"echo"});
  UdpProbe probe;
  auto parsed = ask(probe, 4711, {kName, kLocation});
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->pdu_tag, 0xA2);
  EXPECT_EQ(parsed->request_id, 4711);
  EXPECT_EQ(parsed->error_status, 0);
  EXPECT_EQ(parsed->octet_values, (std::vector<std::string>{kName, kLocation}));

  ASSERT_TRUE(peer.wait_for_datagrams(1, 2000));
  auto got = peer.datagrams();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].count, 1);
  EXPECT_EQ(got[0].bytes, snmp_get_request(4711, "public", {kName, kLocation}));
  EXPECT_EQ(got[0].sender.rfind("127.0.0.1:", 0), 0u) << got[0].sender;

  // Net-SNMP decodes the answer too.
  auto witness = snmpget(bind(), "public", {kObjectId});
  EXPECT_EQ(witness.exit_code, 0) << witness.err;
  EXPECT_EQ(witness.out, "\"" + kObjectId + "\"\n");
}

TEST_F(ScriptedPeerTest, SilentPeerSeesThreeIdenticalTriesForTwoRetries) {
  ScriptedPeer peer(bind(), {"silent"});
  auto r = snmpget(bind(), "public", {kName}, {"-v1", "-t", "0.3", "-r", "2"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Timeout"), std::string::npos) << r.err;
  EXPECT_TRUE(peer.wait_for_datagrams(3, 1000));
  auto got = peer.datagrams();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1].bytes, got[0].bytes);
  EXPECT_EQ(got[2].bytes, got[0].bytes);
}

TEST_F(ScriptedPeerTest, SilentFirstAnswersTheThirdTry) {
  ScriptedPeer peer(bind(), {"silent-first:2"});
  auto r = snmpget(bind(), "public", {kName}, {"-v1", "-t", "0.3", "-r", "2"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(peer.datagrams().size(), 3u);
}

TEST_F(ScriptedPeerTest, LateStaleSendsAnOlderIdFirstThenTheAnswer) {
  ScriptedPeer peer(bind(), {"late-stale:100:300"});
  UdpProbe probe;
  const auto start = Clock::now();
  probe.send_to(host_, kPort, snmp_get_request(1000, "public", {kName}));
  auto stale = probe.receive(2000);
  const auto stale_at = Clock::now() - start;
  auto answer = probe.receive(2000);
  const auto answer_at = Clock::now() - start;
  ASSERT_TRUE(stale && answer);
  EXPECT_EQ(parse_snmp_reply(stale->bytes)->request_id, 999);
  EXPECT_EQ(parse_snmp_reply(answer->bytes)->request_id, 1000);
  EXPECT_GE(stale_at, std::chrono::milliseconds(90));
  EXPECT_GE(answer_at, std::chrono::milliseconds(290));

  // Without an answer delay only the stale datagram ever comes.
  ScriptedPeer stale_only(free_loopback_address(kPort) + ":" + std::to_string(kPort), {"late-stale:50"});
  UdpProbe probe2;
  const std::string host2 = stale_only.bind().substr(0, stale_only.bind().find(':'));
  probe2.send_to(host2, kPort, snmp_get_request(0, "public", {kName}));
  auto replies = probe2.receive_all(400);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_NE(parse_snmp_reply(replies[0].bytes)->request_id, 0);
}

TEST_F(ScriptedPeerTest, TooBigAboveNBindings) {
  ScriptedPeer peer(bind(), {"toobig-above:2"});
  UdpProbe probe;
  auto big = ask(probe, 7, {kName, kObjectId, kLocation});
  auto fits = ask(probe, 8, {kName, kObjectId});
  ASSERT_TRUE(big && fits);
  EXPECT_EQ(big->error_status, 1);
  EXPECT_EQ(fits->error_status, 0);
  EXPECT_EQ(fits->oids.size(), 2u);
}

TEST_F(ScriptedPeerTest, ErrorAtNamesTheBindingIndex) {
  ScriptedPeer peer(bind(), {"error-at:" + kLocation});
  UdpProbe probe;
  auto parsed = ask(probe, 9, {kName, kObjectId, kLocation});
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->error_status, 2);
  EXPECT_EQ(parsed->error_index, 3);
}

TEST_F(ScriptedPeerTest, GarbageComesBeforeTheAnswer) {
  ScriptedPeer peer(bind(), {"garbage-first"});
  UdpProbe probe;
  probe.send_to(host_, kPort, snmp_get_request(10, "public", {kName}));
  auto first = probe.receive(2000);
  auto second = probe.receive(2000);
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(parse_snmp_reply(first->bytes));
  ASSERT_TRUE(parse_snmp_reply(second->bytes));
  EXPECT_EQ(parse_snmp_reply(second->bytes)->request_id, 10);
}

TEST_F(ScriptedPeerTest, AnswersOverIpv6) {
  // [::1] exists once per machine: a high port, free now, keeps runs apart.
  ScriptedPeer peer("[::1]:16161", {"echo"});
  UdpProbe probe(true);
  probe.send_to("::1", 16161, snmp_get_request(11, "public", {kName}, 1));
  auto reply = probe.receive(2000);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->sender, "::1");
  EXPECT_EQ(parse_snmp_reply(reply->bytes)->request_id, 11);
}

}  // namespace
}  // namespace orv::test
