// Broadcast and multicast requests on a virtual LAN of network namespaces:
// two simulated printers, each in its own namespace listening on port 161
// of every address, and the client in a third. Nothing leaves the LAN.
#include <gtest/gtest.h>
#include <net/if.h>

#include <set>
#include <string>

#include "session_fixtures.h"
#include "snmp/transport/datagram_socket.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "support/lab.h"

namespace orv {
namespace {

using testing::make_get;
using testing::make_target;
using testing::TargetSettings;

class BroadcastLan : public ::testing::Test {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"ip", "snmpsimd"});
    lan_ = std::make_unique<test::VirtualLan>(std::vector<std::pair<std::string, std::string>>{
        {"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
    for (const char* host : {"p1", "p2"}) {
      agents_.emplace_back(test::SnmpsimOptions{.endpoints = {"0.0.0.0:161", "[::]:161"},
                                                .serve = {"printer-a:public"},
                                                .netns = lan_->host(host).netns});
    }
  }

  // Runs one broadcast from the client; the answering addresses in order.
  std::vector<std::string> broadcast(const std::string& destination, int32_t retries) {
    std::vector<std::string> senders;
    lan_->run_in("client", [&] {
      SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
      TargetSettings s;
      s.address = destination;
      s.timeout_ms = 1500;
      s.retries = retries;
      SnmpTargetPtr target = make_target(s);
      PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0"});
      IQesSnmpPacketList* out = nullptr;
      ASSERT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &out), kOk);
      SnmpPacketListPtr answers(out);
      for (uint32_t i = 0; i < answers->count(); ++i) {
        IQesSnmpPacket* answer = answers->at(i);
        senders.push_back(answer->target()->address()->text());
        EXPECT_EQ(testing::value_text(answer->pdu(), 0), "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2");
      }
    });
    return senders;
  }

  std::unique_ptr<test::VirtualLan> lan_;
  std::vector<test::SnmpsimAgent> agents_;
};

TEST_F(BroadcastLan, EveryAgentAnswersOnceOverIpv4) {
  std::vector<std::string> senders = broadcast("255.255.255.255", 2);
  std::set<std::string> distinct(senders.begin(), senders.end());
  EXPECT_EQ(senders.size(), 2u);
  EXPECT_EQ(distinct, (std::set<std::string>{"198.18.0.11", "198.18.0.12"}));
}

TEST_F(BroadcastLan, EveryAgentAnswersOnceOverIpv6AllNodes) {
  std::vector<std::string> senders = broadcast("ff02::1", 1);
  std::set<std::string> distinct(senders.begin(), senders.end());
  EXPECT_EQ(senders.size(), 2u);
  EXPECT_EQ(distinct.size(), 2u);
}

TEST_F(BroadcastLan, LinkLocalSendersCarryTheInterfaceIndexAsScope) {
  // The printers answer from their link-local addresses; the client reaches
  // them through its e0, whose index is the scope in the address rules' form.
  unsigned index = 0;
  lan_->run_in("client", [&] { index = if_nametoindex("e0"); });
  ASSERT_NE(index, 0u);
  std::set<std::string> expected;
  for (const char* host : {"p1", "p2"}) {
    test::RunResult shown = lan_->exec(host, {"ip", "-6", "-o", "addr", "show", "dev", "e0", "scope", "link"});
    size_t at = shown.out.find("inet6 ");
    ASSERT_NE(at, std::string::npos) << shown.out;
    std::string address = shown.out.substr(at + 6, shown.out.find('/', at) - at - 6);
    expected.insert(address + "%" + std::to_string(index));
  }
  std::vector<std::string> senders = broadcast("ff02::1", 0);
  EXPECT_EQ(std::set<std::string>(senders.begin(), senders.end()), expected);
}

TEST_F(BroadcastLan, MulticastGroupsCanBeJoined) {
  lan_->run_in("client", [&] {
    IDataGramSocket* raw = nullptr;
    ASSERT_EQ(create_datagram_socket(IQelNetworkAddress::kProtocolIpv4, &raw), kOk);
    DataGramSocketPtr v4(raw);
    EXPECT_EQ(v4->join_multicast("239.1.2.3"), kOk);
    ASSERT_EQ(create_datagram_socket(IQelNetworkAddress::kProtocolIpv6, &raw), kOk);
    DataGramSocketPtr v6(raw);
    EXPECT_EQ(v6->join_multicast("ff02::1:3"), kOk);
  });
}

}  // namespace
}  // namespace orv
