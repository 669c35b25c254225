// The status reader itself: what the open records, the communities, the
// record arrays before any reading, and a reading cut off mid-walk.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "orv/orv_option.hpp"
#include "status/device_status.h"
#include "support/lab.h"

using orv::status::COrvDeviceStatus;

namespace {

class FixedUSM : public IOrvPluginUSM {
 public:
  explicit FixedUSM(int32_t model = 2) : model_(model) {}
  void set_parameters(int32_t, const OrvUSMParameters*) override {}
  void release() override {}
  int32_t security_model() const override { return model_; }
  const char* user_name() const override { return "operator"; }
  int32_t security_level() const override { return 2; }
  int32_t auth_protocol() const override { return 1; }
  int32_t priv_protocol() const override { return 2; }
  const char* auth_pass_phrase() const override { return "auth-pass"; }
  const char* priv_pass_phrase() const override { return "priv-pass"; }
  const char* context_name() const override { return "ctx"; }

 private:
  int32_t model_;
};

TEST(DeviceStatus, InitialState) {
  COrvDeviceStatus s;
  EXPECT_EQ(s.protocol(), 0);
  EXPECT_STREQ(s.address(), "");
  EXPECT_EQ(s.port(), 0);
  EXPECT_EQ(s.timeout(), 0u);
  EXPECT_EQ(s.retries(), 0u);
  EXPECT_EQ(s.max_message_size(), 0u);
  EXPECT_STREQ(s.read_community(), "");
  EXPECT_FALSE(s.read_community_set());
  EXPECT_STREQ(s.write_community(), "private");
  EXPECT_EQ(s.security_model(), 0);
  EXPECT_STREQ(s.security_params().user_name, "");
}

TEST(DeviceStatus, Communities) {
  COrvDeviceStatus s;
  s.set_read_community("");
  EXPECT_FALSE(s.read_community_set());
  s.set_read_community("reader");
  EXPECT_TRUE(s.read_community_set());
  EXPECT_STREQ(s.read_community(), "reader");
  s.set_write_community("");
  EXPECT_STREQ(s.write_community(), "private");
  s.set_write_community("writer");
  EXPECT_STREQ(s.write_community(), "writer");
}

TEST(DeviceStatus, InitRecordsTheSettings) {
  COrvDeviceStatus s;
  FixedUSM usm;
  EXPECT_EQ(s.Init(1, "192.0.2.20", &usm, 1200, 2, 0), 0);
  EXPECT_EQ(s.protocol(), 1);
  EXPECT_STREQ(s.address(), "192.0.2.20");
  EXPECT_EQ(s.port(), 161);
  EXPECT_EQ(s.timeout(), 1200u);
  EXPECT_EQ(s.retries(), 2u);
  EXPECT_EQ(s.security_model(), 2);
  const auto& p = s.security_params();
  EXPECT_STREQ(p.user_name, "operator");
  EXPECT_EQ(p.security_level, 2);
  EXPECT_EQ(p.auth_protocol, 1);
  EXPECT_EQ(p.priv_protocol, 2);
  EXPECT_STREQ(p.auth_pass_phrase, "auth-pass");
  EXPECT_STREQ(p.priv_pass_phrase, "priv-pass");
  EXPECT_STREQ(p.context_name, "ctx");
  // Copies, not references.
  EXPECT_NE(static_cast<const char*>(p.user_name), usm.user_name());
}

TEST(DeviceStatus, InitPortsByProtocol) {
  FixedUSM usm;
  COrvDeviceStatus ipx;
  EXPECT_EQ(ipx.Init(2, "00000001:000000000001", &usm, 1, 1, 0), 0);
  EXPECT_EQ(ipx.port(), 36879);
  COrvDeviceStatus ipv6;
  EXPECT_EQ(ipv6.Init(4, "::1", &usm, 1, 1, 0), 0);
  EXPECT_EQ(ipv6.port(), 161);
  COrvDeviceStatus none;
  EXPECT_EQ(none.Init(3, "192.0.2.21", &usm, 1, 1, 0), -2);
  EXPECT_EQ(none.port(), 0);
}

TEST(DeviceStatus, RecordsBeforeAnyCountAreOutOfRange) {
  COrvDeviceStatus s;
  OrvStorageInfo storage;
  OrvDeviceInfo device;
  OrvInputTrayInfo in;
  OrvOutputTrayInfo out;
  OrvTonerInfo toner;
  OrvAlertInfo alert;
  OrvJobInfo job;
  EXPECT_EQ(s.get_storage(0, &storage), -11);
  EXPECT_EQ(s.get_device(0, &device), -11);
  EXPECT_EQ(s.get_input_tray(0, &in), -11);
  EXPECT_EQ(s.get_output_tray(0, &out), -11);
  EXPECT_EQ(s.get_toner(0, &toner), -11);
  EXPECT_EQ(s.get_alert(0, &alert), -11);
  EXPECT_EQ(s.get_job(0, &job), -11);
  EXPECT_EQ(s.get_job(4294967295u, &job), -11);
}

// The walk gets three rows from the peer, then no answer: the count fails
// with the time-out, writes no count and keeps no row.
TEST(DeviceStatus, AnAgentSilentMidWalkFailsTheCountWithoutRows) {
  ORV_REQUIRE_LAB(true, {"python3"});
  using Count = int32_t (COrvDeviceStatus::*)(int32_t*);
  const struct {
    const char* table;
    Count count;
    std::function<int32_t(const COrvDeviceStatus&)> first;
  } cases[] = {
      {"storage", &COrvDeviceStatus::count_storage,
       [](const COrvDeviceStatus& s) { OrvStorageInfo r; return s.get_storage(0, &r); }},
      {"devices", &COrvDeviceStatus::count_devices,
       [](const COrvDeviceStatus& s) { OrvDeviceInfo r; return s.get_device(0, &r); }},
      {"input trays", &COrvDeviceStatus::count_input_trays,
       [](const COrvDeviceStatus& s) { OrvInputTrayInfo r; return s.get_input_tray(0, &r); }},
      {"output trays", &COrvDeviceStatus::count_output_trays,
       [](const COrvDeviceStatus& s) { OrvOutputTrayInfo r; return s.get_output_tray(0, &r); }},
      {"alerts", &COrvDeviceStatus::count_alerts,
       [](const COrvDeviceStatus& s) { OrvAlertInfo r; return s.get_alert(0, &r); }},
  };
  FixedUSM community(0);
  for (const auto& c : cases) {
    const std::string host = orv::test::free_loopback_address(161);
    orv::test::ScriptedPeer peer(host + ":161", {"walk:-", "silent-after:3"});
    COrvDeviceStatus s;
    ASSERT_EQ(s.Init(1, host.c_str(), &community, 200, 0, 0), 0);
    int32_t count = 77;
    EXPECT_EQ((s.*c.count)(&count), -203) << c.table;
    EXPECT_EQ(count, 77) << c.table;
    EXPECT_EQ(c.first(s), -11) << c.table;
    EXPECT_EQ(peer.datagrams().size(), 4u) << c.table << ": three rows, then the silent request";
  }
}

}  // namespace
