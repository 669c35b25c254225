// SNMPv3 discovery on a virtual LAN: three snmpd agents in namespaces of
// their own answer an engine-ID probe sent to 255.255.255.255; two know the
// user and are asked, the third lacks it and is left out. Nothing leaves
// the LAN.
#include <gtest/gtest.h>

#include <set>
#include <vector>
#include <string>

#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/v3/v3_library.h"
#include "snmp/v3/v3_request_session.h"
#include "snmp/smi/smi_factory.h"
#include "support/lab.h"

namespace orv {
namespace {

TEST(V3DiscoveryLan, AgentsWithTheUserAreListedAndTheOtherSkipped) {
  ORV_REQUIRE_LAB(true, {"ip", "snmpd"});
  test::VirtualLan lan({{"client", "198.18.0.1"},
                        {"p1", "198.18.0.11"},
                        {"p2", "198.18.0.12"},
                        {"p3", "198.18.0.13"}});
  std::vector<test::SnmpdAgent> agents;
  for (const char* host : {"p1", "p2", "p3"}) {
    const bool knows_user = std::string(host) != "p3";
    agents.emplace_back(test::SnmpdOptions{
        .addresses = {"0.0.0.0"},
        .sysobjectid = "1.3.6.1.4.1.9999.7",
        .v3users = {knows_user ? "finder:SHA:auth-phrase-17:AES:priv-phrase-23"
                               : "someone:SHA:auth-phrase-17:AES:priv-phrase-23"},
        .netns = lan.host(host).netns});
  }

  std::multiset<std::string> senders;
  std::set<std::string> engines;
  lan.run_in("client", [&] {
    QelPtr<IQesSnmpV3Target> target(qes_create_snmpv3_target());
    target->set_version(session::kSnmpVersion3);
    target->set_timeout(1000);
    target->set_retries(0);
    target->set_address(qel_create_network_address_with_protocol(
        "255.255.255.255", IQelNetworkAddress::kProtocolIpv4, 161));
    ASSERT_EQ(target->set_security_name("finder"), kOk);
    target->set_security_level(2);
    target->set_auth_protocol(2);
    target->set_priv_protocol(2);
    ASSERT_EQ(target->set_auth_passphrase("auth-phrase-17"), kOk);
    ASSERT_EQ(target->set_priv_passphrase("priv-phrase-23"), kOk);
    PduPtr pdu(qes_create_pdu());
    pdu->set_type(0);
    ASSERT_EQ(pdu->append_new(create_oid_from_text("1.3.6.1.2.1.1.2.0"), create_smi_value(kSmiNull)),
              kOk);

    SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
    IQesSnmpPacketList* out = nullptr;
    ASSERT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &out), kOk);
    SnmpPacketListPtr answers(out);
    for (uint32_t i = 0; i < answers->count(); ++i) {
      IQesSnmpPacket* answer = answers->at(i);
      senders.insert(answer->target()->address()->text());
      const IQelBuffer* engine = as_snmpv3_target(answer->target())->context_engine_id();
      ASSERT_NE(engine, nullptr);
      EXPECT_GT(engine->length(), 4u);
      engines.insert(std::string(reinterpret_cast<const char*>(engine->data()), engine->length()));
      const IQesVarBind* b = answer->pdu()->var_bind_list()->at(0);
      ASSERT_NE(b, nullptr);
      BufferPtr text(b->value()->to_text());
      EXPECT_STREQ(text->c_str(), "1.3.6.1.4.1.9999.7");
    }

  });
  EXPECT_EQ(senders, (std::multiset<std::string>{"198.18.0.11", "198.18.0.12"}));
  EXPECT_EQ(engines.size(), 2u);

  // Nobody left on the LAN: discovery waits out the time-out, finds nothing.
  agents.clear();
  lan.run_in("client", [&] {
    QelPtr<IQesSnmpV3Target> target(qes_create_snmpv3_target());
    target->set_version(session::kSnmpVersion3);
    target->set_timeout(300);
    target->set_retries(1);
    target->set_address(qel_create_network_address_with_protocol(
        "255.255.255.255", IQelNetworkAddress::kProtocolIpv4, 161));
    std::vector<SnmpTargetPtr> found;
    session::V3LibraryUse library;
    EXPECT_EQ(v3RequestSession::get_engine_id_broad_cast(target.get(), &found), kOk);
    EXPECT_TRUE(found.empty());
  });
}

}  // namespace
}  // namespace orv
