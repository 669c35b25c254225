// Community and SNMPv3 targets: settings, copies, equality and kinds.
#include <gtest/gtest.h>

#include "codec_fixtures.h"
#include "net/network_address.h"

namespace orv {
namespace {

using namespace orv::testing;

TEST(CommunityTarget, EqualWhenCommunitiesMatchWhateverTheCommonSettings) {
  SnmpTargetPtr a = make_target(kSnmpV1, "public");
  SnmpTargetPtr b = make_target(kSnmpV2c, "public");
  a->set_timeout(100);
  b->set_timeout(2000);
  EXPECT_TRUE(a->equals(b.get()));
  as_community_target(b.get())->set_community("private");
  EXPECT_FALSE(a->equals(b.get()));
  as_community_target(a.get())->set_community(nullptr);
  as_community_target(b.get())->set_community(nullptr);
  EXPECT_TRUE(a->equals(b.get()));
  SnmpTargetPtr v3(qes_create_snmpv3_target());
  EXPECT_FALSE(a->equals(v3.get()));
}

TEST(CommunityTarget, DefaultsCloneAndKinds) {
  SnmpTargetPtr t(qes_create_snmp_target(kTranslateCommunity));
  EXPECT_EQ(t->version(), kSnmpVersionUnset);
  EXPECT_EQ(t->timeout(), -1);
  EXPECT_EQ(t->retries(), 0);
  EXPECT_EQ(t->max_message_size(), 0u);
  EXPECT_EQ(t->port(), 0);
  EXPECT_EQ(t->address(), nullptr);
  EXPECT_EQ(as_community_target(t.get())->community(), nullptr);
  EXPECT_EQ(t->kind(), kTargetCommunity);

  t->set_version(kSnmpV2c);
  t->set_retries(2);
  t->set_max_message_size(484);
  t->set_port(1161);
  t->set_address(qel_create_network_address_with_protocol("127.0.0.1", IQelNetworkAddress::kProtocolIpv4, 161));
  as_community_target(t.get())->set_community("c1");
  SnmpTargetPtr copy(t->clone());
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->version(), kSnmpV2c);
  EXPECT_EQ(copy->retries(), 2);
  EXPECT_EQ(copy->max_message_size(), 484u);
  EXPECT_EQ(copy->port(), 1161);
  ASSERT_NE(copy->address(), nullptr);
  EXPECT_NE(copy->address(), t->address());
  EXPECT_STREQ(copy->address()->text(), "127.0.0.1");
  EXPECT_STREQ(as_community_target(copy.get())->community(), "c1");

  void* out = nullptr;
  EXPECT_EQ(t->query_interface(kTargetInterfaceCommunityAlt, &out), kOk);
  EXPECT_EQ(out, as_community_target(t.get()));
  EXPECT_EQ(t->query_interface(kTargetInterfaceSnmpV3, &out), kErrNoInterface);
  Result rc = kOk;
  EXPECT_EQ(qes_create_snmp_target(1, &rc), nullptr);
  EXPECT_EQ(rc, kErrInvalidArg);
}

TEST(CommunityTarget, ReceivedCommunityStopsAtAnEmbeddedNul) {
  SnmpTargetPtr t(qes_create_snmp_target(kTranslateCommunity));
  const char bytes[] = {'a', 'b', '\0', 'c'};
  ASSERT_EQ(as_community_target(t.get())->set_community_bytes(bytes, 4), kOk);
  EXPECT_STREQ(as_community_target(t.get())->community(), "ab");
}

TEST(SnmpV3Target, RefusesALongUserNameAndCopiesItsSettings) {
  QelPtr<IQesSnmpV3Target> t(qes_create_snmpv3_target());
  EXPECT_EQ(t->kind(), kTargetSnmpV3);
  EXPECT_STREQ(t->security_name(), "");
  EXPECT_EQ(t->set_security_name(std::string(33, 'u').c_str()), kErrInvalidArg);
  EXPECT_STREQ(t->security_name(), "");
  ASSERT_EQ(t->set_security_name(std::string(32, 'u').c_str()), kOk);
  t->set_security_level(2);
  t->set_auth_protocol(1);
  t->set_priv_protocol(2);
  t->set_auth_passphrase("authpass");
  t->set_priv_passphrase(nullptr);
  t->set_context_name("ctx");
  const uint8_t engine[] = {0x80, 0x00, 0x1F, 0x88};
  t->set_context_engine_id(engine, sizeof engine);
  SnmpTargetPtr copy(t->clone());
  IQesSnmpV3Target* c = as_snmpv3_target(copy.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(std::string(c->security_name()), std::string(32, 'u'));
  EXPECT_EQ(c->security_level(), 2);
  EXPECT_EQ(c->priv_protocol(), 2);
  EXPECT_STREQ(c->auth_passphrase(), "authpass");
  EXPECT_STREQ(c->priv_passphrase(), "");
  EXPECT_TRUE(c->context_engine_id()->equals_bytes(engine, sizeof engine));
  EXPECT_TRUE(c->equals(t.get()));
  t->set_context_engine_id(nullptr, 4);
  EXPECT_EQ(t->context_engine_id()->length(), 0u);
}

}  // namespace
}  // namespace orv
