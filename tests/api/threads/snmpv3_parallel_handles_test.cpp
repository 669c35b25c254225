// SNMPv3 handles in parallel: four threads, each with its own handle, open
// one snmpd over SNMPv3 (authPriv, SHA/AES) and refresh repeatedly; every
// thread sees what one thread alone sees. The SNMPv3 library's state is
// process-wide, so this is where a missing lock shows (ThreadSanitizer).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "api/family_agent.h"
#include "orv/orv.h"
#include "support/v3_printer.h"

namespace {

struct V3Outcome {
  int32_t open = 1;
  std::vector<int32_t> refreshes;
  std::string sys_name;

  bool operator==(const V3Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const V3Outcome& o) {
  os << "open " << o.open << ", refreshes";
  for (int32_t r : o.refreshes) os << " " << r;
  return os << ", sysName \"" << o.sys_name << "\"";
}

V3Outcome drive_v3_handle(const std::string& address) {
  OrvUSMParameters usm = orv::test::auth_priv_usm("parallel");
  V3Outcome o;
  OrvHandle h = nullptr;
  if (OrvInit(&h) != 0) return o;
  o.open = OrvInitDeviceEx(h, address.c_str(), 1, 2, &usm, 2000, 1);
  for (int i = 0; i < 3; ++i) o.refreshes.push_back(OrvRefreshOptions(h));
  char text[ORV_OPTION_TEXT_SIZE] = "";
  if (OrvGetOptionValueString(h, "SysName", 0, text) == 0) o.sys_name = text;
  OrvUnInit(h);
  return o;
}

TEST(Snmpv3ParallelHandles, FourThreadsSeeWhatOneThreadAloneSees) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent agent({.addresses = {address},
                               .sysobjectid = orv::test::kFamilySysObjectId,
                               .v3users = {"parallel:SHA:auth-phrase-17:AES:priv-phrase-23"}});
  const V3Outcome alone = drive_v3_handle(address);
  ASSERT_EQ(alone.open, 0) << alone;
  ASSERT_FALSE(alone.sys_name.empty()) << alone;

  constexpr int kThreads = 4;
  std::vector<V3Outcome> outcomes(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { outcomes[t] = drive_v3_handle(address); });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(outcomes[t], alone) << "thread " << t;
}

}  // namespace
