#include "snmp/facade/request_core.h"

#include <gtest/gtest.h>

#include <string>

#include "snmp/facade/max_message_size.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

constexpr int32_t kIpv4 = IQelNetworkAddress::kProtocolIpv4;
constexpr int32_t kIpx = IQelNetworkAddress::kProtocolIpx;
constexpr int32_t kIpv6 = IQelNetworkAddress::kProtocolIpv6;

TEST(EffectiveMaxMessageSize, UdpLimitIs1400OthersAre546) {
  struct Case {
    int32_t protocol;
    uint32_t requested;
    uint32_t expected;
  };
  const Case cases[] = {
      {kIpx, 0, 546},     {kIpx, 2000, 546},  {kIpx, 546, 546},  {kIpx, 300, 300},
      {kIpv4, 0, 1400},   {kIpv4, 1401, 1400}, {kIpv4, 484, 484}, {kIpv6, 500, 500},
      {kIpv6, 0, 1400},   {0, 0, 546},        {3, 1400, 546},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(effective_max_message_size(c.protocol, c.requested), c.expected)
        << "protocol " << c.protocol << ", size " << c.requested;
  }
}

TEST(RequestCore, CommunityTargetIsAlwaysSnmpV1WithTheStoredCommunity) {
  for (int32_t model : {0, 1, 3}) {
    CQelRequestCore core;
    EXPECT_STREQ(core.community(), "public");
    core.set_community("printer-a");
    ASSERT_EQ(core.init("127.0.0.21", kIpv4, 161, model, nullptr, 700, 2, 0), kOk);
    IQesSnmpTarget* target = core.active_target();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->kind(), kTargetCommunity);
    EXPECT_EQ(target->version(), kSnmpV1) << "model " << model;
    EXPECT_STREQ(as_community_target(target)->community(), "printer-a");
    EXPECT_EQ(target->timeout(), 700);
    EXPECT_EQ(target->retries(), 2);
    EXPECT_EQ(target->max_message_size(), 1400u);
    ASSERT_NE(target->address(), nullptr);
    EXPECT_STREQ(target->address()->text(), "127.0.0.21");
    EXPECT_EQ(target->address()->protocol(), IQelNetworkAddress::kProtocolIpv4);
    EXPECT_EQ(target->address()->port(), 161);
    ASSERT_NE(core.pdu(), nullptr);
    EXPECT_EQ(core.pdu()->var_bind_list() ? core.pdu()->var_bind_list()->count() : 0u, 0u);
  }
}

TEST(RequestCore, MaximumSizeFollowsTheAddressProtocol) {
  CQelRequestCore ipx;
  ASSERT_EQ(ipx.init("00000000:0000c0a80101", kIpx, 36879, 0, nullptr, 100, 0, 2000), kOk);
  EXPECT_EQ(ipx.active_target()->max_message_size(), 546u);
  CQelRequestCore v6;
  ASSERT_EQ(v6.init("::1", kIpv6, 161, 0, nullptr, 100, 0, 500), kOk);
  EXPECT_EQ(v6.active_target()->max_message_size(), 500u);
}

TEST(RequestCore, SecurityModelTwoMakesTheUserBasedTarget) {
  QelSecurityParams params{"operator", 3, 2, 4, "auth-secret", "priv-secret", "ctx"};
  CQelRequestCore core;
  ASSERT_EQ(core.init("::1", kIpv6, 161, kSecurityModelUsm, &params, 1500, 1, 0), kOk);
  IQesSnmpTarget* target = core.active_target();
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->kind(), kTargetSnmpV3);
  EXPECT_EQ(target->version(), session::kSnmpVersion3);
  EXPECT_EQ(target->max_message_size(), 1400u);
  IQesSnmpV3Target* usm = as_snmpv3_target(target);
  ASSERT_NE(usm, nullptr);
  EXPECT_STREQ(usm->security_name(), "operator");
  EXPECT_EQ(usm->security_level(), 3);
  EXPECT_EQ(usm->auth_protocol(), 2);
  EXPECT_EQ(usm->priv_protocol(), 4);
  EXPECT_STREQ(usm->auth_passphrase(), "auth-secret");
  EXPECT_STREQ(usm->priv_passphrase(), "priv-secret");
  EXPECT_STREQ(usm->context_name(), "ctx");
  EXPECT_STREQ(target->address()->text(), "::1");
}

TEST(RequestCore, UserNameAbove32CharactersLeavesTheNameEmpty) {
  const std::string long_name(33, 'u');
  QelSecurityParams params{long_name.c_str(), 1, 0, 0, "", "", ""};
  CQelRequestCore core;
  ASSERT_EQ(core.init("127.0.0.1", kIpv4, 161, kSecurityModelUsm, &params, 100, 0, 0), kOk);
  EXPECT_STREQ(as_snmpv3_target(core.active_target())->security_name(), "");
}

TEST(RequestCore, RefusesMissingArguments) {
  CQelRequestCore core;
  EXPECT_EQ(core.init(nullptr, kIpv4, 161, 0, nullptr, 100, 0, 0), kErrInvalidArg);
  EXPECT_EQ(core.init("127.0.0.1", kIpv4, 161, kSecurityModelUsm, nullptr, 100, 0, 0),
            kErrInvalidArg);
  EXPECT_EQ(core.active_target(), nullptr);
  EXPECT_EQ(core.add_null_binding("1.3.6.1.2.1.1.2", "0"), kErrInvalidArg) << "before init";
}

TEST(RequestCore, CommunityIsBoundedTo255Characters) {
  const std::string long_community(300, 'c');
  CQelRequestCore core;
  core.set_community(long_community.c_str());
  EXPECT_EQ(std::string(core.community()), long_community.substr(0, 255));
  core.set_community(nullptr);
  EXPECT_EQ(std::string(core.community()).size(), 255u);
}

// The OID texts of the request PDU's bindings, in order.
std::string binding_oids(const CQelRequestCore& core) {
  std::string out;
  const IQesVarBindList* list = core.pdu()->var_bind_list();
  for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
    if (!out.empty()) out += ' ';
    out += list->at(i)->oid()->text();
  }
  return out;
}

TEST(RequestCore, BindingsKeepTheirOrderAndSuffixes) {
  CQelRequestCore core;
  ASSERT_EQ(core.init("127.0.0.1", kIpv4, 161, 0, nullptr, 100, 0, 0), kOk);
  ASSERT_EQ(core.add_null_binding("1.3.6.1.2.1.1.2", "0"), kOk);
  ASSERT_EQ(core.add_null_binding("1.3.6.1.2.1.25.3.2.1.3", nullptr), kOk);
  SmiValuePtr value(create_smi_value_int32(kSmiInteger, 1414, nullptr));
  ASSERT_EQ(core.add_binding("1.3.6.1.4.1.253.8.76.3.2.1.1", "101.8.74", std::move(value)), kOk);
  EXPECT_EQ(binding_oids(core),
            "1.3.6.1.2.1.1.2.0 1.3.6.1.2.1.25.3.2.1.3 1.3.6.1.4.1.253.8.76.3.2.1.1.101.8.74");
  const IQesVarBindList* list = core.pdu()->var_bind_list();
  EXPECT_EQ(list->at(0)->value()->kind(), kSmiNull);
  EXPECT_EQ(list->at(2)->value()->kind(), kSmiInteger);
  EXPECT_EQ(list->at(2)->value()->get_int32(), 1414);
}

TEST(RequestCore, InvalidTextsAddNothing) {
  CQelRequestCore core;
  ASSERT_EQ(core.init("127.0.0.1", kIpv4, 161, 0, nullptr, 100, 0, 0), kOk);
  EXPECT_EQ(core.add_null_binding("1.3.six.1", nullptr), kErrInvalidArg);
  EXPECT_EQ(core.add_null_binding(nullptr, nullptr), kErrInvalidArg);
  EXPECT_EQ(core.add_null_binding("1.3.6.1", "x.1"), kErrInvalidArg);
  EXPECT_EQ(core.add_null_binding("1.3.6.1", "1..2"), kErrInvalidArg);
  EXPECT_EQ(binding_oids(core), "");
}

TEST(RequestCore, DetectsTheProtocolOfAnAddressText) {
  int32_t protocol = -1;
  ASSERT_EQ(CQelRequestCore::detect_protocol("127.0.0.21", &protocol), kOk);
  EXPECT_EQ(protocol, kIpv4);
  ASSERT_EQ(CQelRequestCore::detect_protocol("::1", &protocol), kOk);
  EXPECT_EQ(protocol, kIpv6);
  ASSERT_EQ(CQelRequestCore::detect_protocol("00000000:0000c0a80101", &protocol), kOk);
  EXPECT_EQ(protocol, kIpx);
  EXPECT_EQ(CQelRequestCore::detect_protocol(nullptr, &protocol), kErrInvalidArg);
  EXPECT_EQ(CQelRequestCore::detect_protocol("127.0.0.1", nullptr), kErrInvalidArg);
}

}  // namespace
}  // namespace orv::facade
