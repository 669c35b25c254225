// SNMPv3 in a busy, long-lived host, through liborv.so against private
// snmpd agents: printers that say nothing hold up no other printer's
// exchanges, and an agent restarted without its kept boots counter is
// reached again by the same handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"
#include "support/v3_printer.h"

namespace {

using orv::test::V3Printer;
using orv::test::v3_agent_options;

// The median of 5 refreshes in ms; -1 when one failed.
double median_refresh_ms(OrvHandle h) {
  std::vector<double> ms;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (OrvRefreshOptions(h) != 0) return -1;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[2];
}

TEST(Snmpv3BusyHost, LiveRefreshIsNotHeldUpByThreadsWaitingOnSilentAddresses) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string live = orv::test::free_loopback_address(), other = orv::test::free_loopback_address();
  orv::test::SnmpdAgent live_agent(v3_agent_options(live)), other_agent(v3_agent_options(other));
  const std::string silent = orv::test::free_loopback_address();
  V3Printer printer(live, 2000, 1);
  ASSERT_EQ(printer.open, 0);
  const double alone = median_refresh_ms(printer.h);
  ASSERT_GT(alone, 0);
  // 8 threads open the silent address (2 tries of 1 s), one refreshes the other agent.
  std::vector<int32_t> rc(9, 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([&, t] { rc[t] = V3Printer(silent, 1000, 1).open; });
  threads.emplace_back([&] { rc[8] = median_refresh_ms(V3Printer(other, 2000, 1).h) > 0 ? 0 : -1; });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the opens wait by now
  const double busy = median_refresh_ms(printer.h);
  for (std::thread& t : threads) t.join();
  EXPECT_GT(busy, 0);
  EXPECT_LE(busy, 2 * alone + 50) << "alone " << alone << " ms";
  EXPECT_EQ(rc, (std::vector<int32_t>{-203, -203, -203, -203, -203, -203, -203, -203, 0}));
}

TEST(Snmpv3BusyHost, RestartedAgentIsReachedAgainAfterOneFailedTry) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  // The engine ID fixed (0x80001f8804 + "orvbusy"), and its boots counter as
  // if kept over 40 restarts (taken only with the ID it was kept for).
  auto agent = std::make_unique<orv::test::SnmpdAgent>(v3_agent_options(
      address, {"engineID orvbusy", "oldEngineID 0x80001f88046f727662757379", "engineBoots 40"}));
  V3Printer printer(address, 1000, 0);
  ASSERT_EQ(printer.open, 0);
  ASSERT_EQ(OrvRefreshOptions(printer.h), 0);
  // Restarted after losing what it kept: boots and time start again.
  agent.reset();
  agent = std::make_unique<orv::test::SnmpdAgent>(v3_agent_options(address, {"engineID orvbusy"}));
  EXPECT_EQ(OrvRefreshOptions(printer.h), ORV_ERR_TIMEOUT);
  EXPECT_EQ(OrvRefreshOptions(printer.h), 0);
}

}  // namespace
