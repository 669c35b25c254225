// The handle, the USM settings and the open sequence, seen from inside the
// library. Opens that must pass go to a private snmpd of the supported
// family; an address of another family than the protocol stops the open
// after the option object recorded everything, before any traffic.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/plugin_handle.h"
#include "api/plugin_usm.h"
#include "api/family_agent.h"
#include "device/recorded_settings.h"

using orv::api::COrvPluginHandle;
using orv::api::COrvPluginUSM;
using orv::api::map_protocol;

namespace {

// A copy of the handle's option object whose recorded fields can be read.
using OptionView = orv::testing::RecordedSettings;

TEST(ApiProtocolMap, HostValuesToInternalCodes) {
  EXPECT_EQ(map_protocol(1), 1);
  EXPECT_EQ(map_protocol(2), 2);
  EXPECT_EQ(map_protocol(3), 3);
  EXPECT_EQ(map_protocol(5), 4);
  for (int32_t v : {0, 4, 6, -1, 100}) EXPECT_LT(map_protocol(v), 0) << v;
}

TEST(ApiUsm, Defaults) {
  COrvPluginUSM usm;
  EXPECT_EQ(usm.security_model(), -1);
  EXPECT_STREQ(usm.user_name(), "Tpolling");
  EXPECT_EQ(usm.security_level(), 2);
  EXPECT_EQ(usm.auth_protocol(), 1);
  EXPECT_EQ(usm.priv_protocol(), 1);
  EXPECT_STREQ(usm.auth_pass_phrase(), "Kd7PyRc3MfVt9BnLq2Gw");
  EXPECT_STREQ(usm.priv_pass_phrase(), "Wq4nZr8TbLm2VkXp6HsJ");
  EXPECT_STREQ(usm.context_name(), "");
  EXPECT_EQ(std::strlen(usm.auth_pass_phrase()), 20u);
  EXPECT_EQ(std::strlen(usm.priv_pass_phrase()), 20u);
}

TEST(ApiUsm, AllZeroRecordGivesLevelAndProtocolsZeroAndKeepsTexts) {
  COrvPluginUSM usm;
  OrvUSMParameters zero{};
  usm.set_parameters(0, &zero);
  EXPECT_EQ(usm.security_model(), 0);
  EXPECT_EQ(usm.security_level(), 0);
  EXPECT_EQ(usm.auth_protocol(), 0);
  EXPECT_EQ(usm.priv_protocol(), 0);
  EXPECT_STREQ(usm.user_name(), "Tpolling");
  EXPECT_STREQ(usm.auth_pass_phrase(), "Kd7PyRc3MfVt9BnLq2Gw");
  EXPECT_STREQ(usm.priv_pass_phrase(), "Wq4nZr8TbLm2VkXp6HsJ");
  EXPECT_STREQ(usm.context_name(), "");
}

TEST(ApiUsm, OutOfRangeValuesKeepTheDefaults) {
  COrvPluginUSM usm;
  OrvUSMParameters p{};
  p.security_level = 7;
  p.auth_protocol = 3;
  p.priv_protocol = -1;
  usm.set_parameters(5, &p);
  EXPECT_EQ(usm.security_model(), -1);
  EXPECT_EQ(usm.security_level(), 2);
  EXPECT_EQ(usm.auth_protocol(), 1);
  EXPECT_EQ(usm.priv_protocol(), 1);
  usm.set_parameters(-3, &p);
  EXPECT_EQ(usm.security_model(), -1);
}

TEST(ApiUsm, TakesSetValuesAndRestoresDefaultsEachTime) {
  COrvPluginUSM usm;
  OrvUSMParameters p{};
  std::strcpy(p.user_name, "admin");
  p.security_level = 1;
  p.auth_protocol = 2;
  p.priv_protocol = 2;
  std::strcpy(p.auth_pass_phrase, "authpass1");
  std::strcpy(p.priv_pass_phrase, "privpass1");
  std::strcpy(p.context_name, "ctx");
  usm.set_parameters(2, &p);
  EXPECT_EQ(usm.security_model(), 2);
  EXPECT_STREQ(usm.user_name(), "admin");
  EXPECT_EQ(usm.security_level(), 1);
  EXPECT_EQ(usm.auth_protocol(), 2);
  EXPECT_EQ(usm.priv_protocol(), 2);
  EXPECT_STREQ(usm.auth_pass_phrase(), "authpass1");
  EXPECT_STREQ(usm.priv_pass_phrase(), "privpass1");
  EXPECT_STREQ(usm.context_name(), "ctx");

  OrvUSMParameters other{};
  other.security_level = 9;
  usm.set_parameters(1, &other);
  EXPECT_EQ(usm.security_model(), 1);
  EXPECT_STREQ(usm.user_name(), "Tpolling");
  EXPECT_EQ(usm.security_level(), 2);
  EXPECT_EQ(usm.auth_protocol(), 0);
  EXPECT_STREQ(usm.context_name(), "");
}

TEST(ApiUsm, UnterminatedTextsAreCutOneShortOfTheField) {
  COrvPluginUSM usm;
  OrvUSMParameters p{};
  std::memset(p.user_name, 'u', sizeof p.user_name);
  std::memset(p.auth_pass_phrase, 'a', sizeof p.auth_pass_phrase);
  std::memset(p.priv_pass_phrase, 'p', sizeof p.priv_pass_phrase);
  std::memset(p.context_name, 'c', sizeof p.context_name);
  usm.set_parameters(2, &p);
  EXPECT_EQ(std::string(usm.user_name()), std::string(63, 'u'));
  EXPECT_EQ(std::string(usm.auth_pass_phrase()), std::string(63, 'a'));
  EXPECT_EQ(std::string(usm.priv_pass_phrase()), std::string(63, 'p'));
  EXPECT_EQ(std::string(usm.context_name()), std::string(511, 'c'));
}

class ApiHandle : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(h_.create_parts(), 0); }
  COrvPluginHandle h_;
};

TEST_F(ApiHandle, StartsEmpty) {
  EXPECT_EQ(h_.m_pOption, nullptr);
  EXPECT_EQ(h_.m_pStatus, nullptr);
  EXPECT_NE(h_.m_pFinder, nullptr);
  EXPECT_NE(h_.m_pUSM, nullptr);
  EXPECT_STREQ(h_.m_findCommunity, "");
  EXPECT_STREQ(h_.m_getOptionCommunity, "");
  EXPECT_STREQ(h_.m_writeCommunity, "");
}

// With a supported printer to open.
class ApiHandleOpen : public ApiHandle {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpd"});
    ApiHandle::SetUp();
    printer_ = std::make_unique<orv::test::FamilyAgent>();
  }
  const char* address() const { return printer_->address.c_str(); }
  std::unique_ptr<orv::test::FamilyAgent> printer_;
};

TEST_F(ApiHandleOpen, OpenRecordsTheSettingsInTheOptionObjectAndStatusReader) {
  OrvUSMParameters zero{};
  ASSERT_EQ(h_.open(address(), 1, 0, &zero, 1500, 3, 0), 0);
  ASSERT_NE(h_.m_pOption, nullptr);
  ASSERT_NE(h_.m_pStatus, nullptr);
  OptionView o(*h_.m_pOption);
  EXPECT_EQ(o.protocol(), 1);
  EXPECT_STREQ(o.address(), address());
  EXPECT_EQ(o.port(), 161);
  EXPECT_EQ(o.timeout(), 1500u);
  EXPECT_EQ(o.retries(), 3u);
  EXPECT_EQ(o.max_message_size(), 0u);
  // OrvInitDevice's all-zero record: model 0, level and protocols 0, texts default.
  EXPECT_EQ(o.security_model(), 0);
  EXPECT_EQ(o.security_level(), 0);
  EXPECT_EQ(o.auth_protocol(), 0);
  EXPECT_EQ(o.priv_protocol(), 0);
  // The option object refers to the USM object's texts.
  EXPECT_EQ(o.user_name(), h_.m_pUSM->user_name());
  EXPECT_EQ(o.auth_pass_phrase(), h_.m_pUSM->auth_pass_phrase());
  EXPECT_EQ(o.priv_pass_phrase(), h_.m_pUSM->priv_pass_phrase());
  EXPECT_EQ(o.context_name(), h_.m_pUSM->context_name());
  EXPECT_STREQ(o.user_name(), "Tpolling");
  EXPECT_FALSE(o.community_set());

  const auto& s = *h_.m_pStatus;
  EXPECT_EQ(s.protocol(), 1);
  EXPECT_STREQ(s.address(), address());
  EXPECT_EQ(s.port(), 161);
  EXPECT_EQ(s.timeout(), 1500u);
  EXPECT_EQ(s.retries(), 3u);
  EXPECT_EQ(s.security_model(), 0);
  EXPECT_STREQ(s.security_params().user_name, "Tpolling");
  EXPECT_FALSE(s.read_community_set());
  EXPECT_STREQ(s.write_community(), "private");
}

TEST_F(ApiHandle, PortsByProtocol) {
  OrvUSMParameters zero{};
  ASSERT_EQ(h_.open("127.0.0.1", 2, 0, &zero, 100, 0, 0), -2);
  EXPECT_EQ(OptionView(*h_.m_pOption).port(), 36879);
  EXPECT_EQ(h_.m_pStatus, nullptr);
  ASSERT_EQ(h_.open("127.0.0.1", 4, 0, &zero, 100, 0, 0), -2);
  EXPECT_EQ(OptionView(*h_.m_pOption).port(), 161);
}

TEST_F(ApiHandleOpen, CommunitiesReachTheirReaders) {
  std::strcpy(h_.m_getOptionCommunity, "public");  // the one the agent answers
  std::strcpy(h_.m_writeCommunity, "writer");
  std::strcpy(h_.m_findCommunity, "finder");
  OrvUSMParameters zero{};
  ASSERT_EQ(h_.open(address(), 1, 0, &zero, 1000, 1, 0), 0);
  OptionView o(*h_.m_pOption);
  EXPECT_TRUE(o.community_set());
  EXPECT_STREQ(o.community(), "public");
  EXPECT_TRUE(h_.m_pStatus->read_community_set());
  EXPECT_STREQ(h_.m_pStatus->read_community(), "public");
  EXPECT_STREQ(h_.m_pStatus->write_community(), "writer");
}

TEST_F(ApiHandleOpen, WriteCommunityReachesOnlyTheStatusReader) {
  std::strcpy(h_.m_writeCommunity, "writer");
  OrvUSMParameters zero{};
  ASSERT_EQ(h_.open(address(), 1, 0, &zero, 1000, 1, 0), 0);
  OptionView o(*h_.m_pOption);
  EXPECT_FALSE(o.community_set());
  EXPECT_STREQ(o.community(), "");
  EXPECT_FALSE(h_.m_pStatus->read_community_set());
  EXPECT_STREQ(h_.m_pStatus->write_community(), "writer");
}

// A null record (no null test is asked of the host) gives the all-zero one.
TEST_F(ApiHandle, NullUsmRecordIsTheAllZeroRecord) {
  OrvUSMParameters p{};
  std::strcpy(p.user_name, "admin");
  ASSERT_EQ(h_.open("::1", 1, 2, &p, 100, 0, 0), -2);
  ASSERT_EQ(h_.open("::1", 1, 2, nullptr, 100, 0, 0), -2);
  OptionView o(*h_.m_pOption);
  EXPECT_EQ(o.security_model(), 2);
  EXPECT_EQ(o.security_level(), 0);
  EXPECT_EQ(o.auth_protocol(), 0);
  EXPECT_EQ(o.priv_protocol(), 0);
  EXPECT_STREQ(o.user_name(), "Tpolling");
}

TEST_F(ApiHandle, UsmRecordOfTheExtendedOpen) {
  OrvUSMParameters p{};
  std::strcpy(p.user_name, "admin");
  p.security_level = 7;  // keeps 2
  p.auth_protocol = 2;
  p.priv_protocol = 2;
  ASSERT_EQ(h_.open("::1", 1, 2, &p, 100, 0, 0), -2);
  OptionView o(*h_.m_pOption);
  EXPECT_EQ(o.security_model(), 2);
  EXPECT_EQ(o.security_level(), 2);
  EXPECT_EQ(o.auth_protocol(), 2);
  EXPECT_EQ(o.priv_protocol(), 2);
  EXPECT_STREQ(o.user_name(), "admin");
  // Security model 5 leaves the model unset (-1): community requests.
  ASSERT_EQ(h_.open("::1", 1, 5, &p, 100, 0, 0), -2);
  EXPECT_EQ(OptionView(*h_.m_pOption).security_model(), -1);
}

TEST_F(ApiHandle, LaterFindChangesTheTextsButNotTheNumbersSeenByTheOption) {
  OrvUSMParameters p{};
  std::strcpy(p.user_name, "first");
  p.security_level = 1;
  ASSERT_EQ(h_.open("::1", 1, 2, &p, 100, 0, 0), -2);
  OrvUSMParameters q{};
  std::strcpy(q.user_name, "second");
  q.security_level = 0;
  int32_t count = 0;
  h_.find("::1", 1, 2, &q, 100, 0, 0, &count);  // refused before any traffic
  OptionView o(*h_.m_pOption);
  EXPECT_STREQ(o.user_name(), "second");
  EXPECT_EQ(o.security_level(), 1);
}

TEST_F(ApiHandle, ProtocolThreeStopsBeforeTheStatusReader) {
  OrvUSMParameters zero{};
  EXPECT_EQ(h_.open("127.0.0.1", 3, 0, &zero, 100, 0, 0), -2);
  ASSERT_NE(h_.m_pOption, nullptr);
  EXPECT_EQ(h_.m_pStatus, nullptr);
  OptionView o(*h_.m_pOption);
  EXPECT_EQ(o.protocol(), 3);
  EXPECT_STREQ(o.address(), "127.0.0.1");
}

TEST_F(ApiHandleOpen, SecondOpenReplacesBothObjects) {
  OrvUSMParameters zero{};
  ASSERT_EQ(h_.open(address(), 1, 0, &zero, 1000, 1, 0), 0);
  ASSERT_EQ(h_.open(address(), 1, 0, &zero, 900, 1, 0), 0);
  EXPECT_EQ(OptionView(*h_.m_pOption).timeout(), 900u);
  EXPECT_EQ(h_.m_pStatus->timeout(), 900u);
  // (The sanitizer run's leak check sees the first pair released.)
}

TEST_F(ApiHandle, FindProtocolThreeAndADestinationOfAnotherFamily) {
  int32_t count = 9;
  OrvUSMParameters zero{};
  EXPECT_EQ(h_.find(nullptr, 3, 0, &zero, 100, 0, 0, &count), -5);
  EXPECT_EQ(count, 9);
  // A destination of another family: refused before anything is sent, and
  // the host's count stays as it was.
  EXPECT_EQ(h_.find("127.0.0.1", 4, 0, &zero, 100, 0, 0, &count), -2);
  EXPECT_EQ(count, 9);
}

TEST_F(ApiHandle, FindCommunityCopiedOnlyWhenSet) {
  int32_t count = 0;
  OrvUSMParameters zero{};
  std::strcpy(h_.m_findCommunity, "finder");
  // Copied before the destination is looked at ("::1" over IPv4: refused).
  h_.find("::1", 1, 0, &zero, 100, 0, 0, &count);
  EXPECT_STREQ(h_.m_pFinder->find_community(), "finder");
  h_.m_findCommunity[0] = '\0';
  h_.find("::1", 1, 0, &zero, 100, 0, 0, &count);
  EXPECT_STREQ(h_.m_pFinder->find_community(), "finder");
}

}  // namespace
