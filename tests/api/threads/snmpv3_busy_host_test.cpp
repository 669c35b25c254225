// SNMPv3 in a busy, long-lived host, through liborv.so against private
// snmpd agents (engine ID fixed, boots not persisted): printers that say
// nothing hold up no other printer's exchanges, and an agent that restarts
// with a younger clock is reached again by the same handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"
#include "support/usm_record.h"

namespace {

using Clock = std::chrono::steady_clock;
const char* const kUser = "busy:SHA:auth-phrase-17:AES:priv-phrase-23";

orv::test::SnmpdOptions agent_options(const std::string& address, int boots = 0) {
  const std::string engine = "orv-busy-" + address;
  std::vector<std::string> conf = {"engineID " + engine};
  if (boots > 0) {
    // The boots counter is taken only for the engine ID it was kept for:
    // the text form's ID is 80001f8804 followed by the text.
    std::string id = "0x80001f8804";
    for (unsigned char c : engine) {
      char hex[3];
      std::snprintf(hex, sizeof(hex), "%02x", c);
      id += hex;
    }
    conf.push_back("oldEngineID " + id);
    conf.push_back("engineBoots " + std::to_string(boots));
  }
  return {.addresses = {address}, .v3users = {kUser}, .conf_lines = conf,
          .data_file = orv::test::data_file("printer-a")};
}

struct V3Handle {
  OrvHandle h = nullptr;
  int32_t open = 1;
  V3Handle(const std::string& address, uint32_t timeout_ms, uint32_t retries) {
    OrvUSMParameters usm = orv::test::auth_priv_usm("busy");
    if (OrvInit(&h) == 0) open = OrvInitDeviceEx(h, address.c_str(), 1, 2, &usm, timeout_ms, retries);
  }
  ~V3Handle() { OrvUnInit(h); }
};

// The median time of n refreshes, in ms; -1 when one failed.
double median_refresh_ms(OrvHandle h, int n) {
  std::vector<double> ms;
  for (int i = 0; i < n; ++i) {
    const auto start = Clock::now();
    if (OrvRefreshOptions(h) != 0) return -1;
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

TEST(Snmpv3BusyHost, LiveRefreshIsNotHeldUpByThreadsWaitingOnSilentAddresses) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string live = orv::test::free_loopback_address();
  const std::string other = orv::test::free_loopback_address();
  orv::test::SnmpdAgent live_agent(agent_options(live));
  orv::test::SnmpdAgent other_agent(agent_options(other));
  const std::string silent = orv::test::free_loopback_address();
  V3Handle printer(live, 2000, 1);
  ASSERT_EQ(printer.open, 0);
  const double alone = median_refresh_ms(printer.h, 5);
  ASSERT_GT(alone, 0);

  // Rows: threads waiting on the silent address, and threads refreshing
  // the other agent meanwhile.
  struct Row {
    int silent_threads;
    int other_threads;
  };
  for (const Row& row : {Row{8, 0}, Row{8, 1}}) {
    std::vector<std::thread> threads;
    std::vector<int32_t> silent_rc(row.silent_threads, 1);
    for (int t = 0; t < row.silent_threads; ++t) {
      threads.emplace_back([&, t] { silent_rc[t] = V3Handle(silent, 1000, 1).open; });
    }
    std::vector<int32_t> other_rc(row.other_threads, 1);
    for (int t = 0; t < row.other_threads; ++t) {
      threads.emplace_back([&, t] {
        V3Handle h(other, 2000, 1);
        other_rc[t] = h.open != 0 ? h.open : median_refresh_ms(h.h, 5) > 0 ? 0 : -1;
      });
    }
    // The silent opens are waiting by now (each lasts 2 tries of 1 s).
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double busy = median_refresh_ms(printer.h, 5);
    for (std::thread& t : threads) t.join();
    EXPECT_GT(busy, 0) << row.silent_threads << "/" << row.other_threads;
    EXPECT_LE(busy, 2 * alone + 50) << "alone " << alone << " ms, " << row.silent_threads
                                    << " silent, " << row.other_threads << " other";
    for (int32_t rc : silent_rc) EXPECT_EQ(rc, ORV_ERR_TIMEOUT);
    for (int32_t rc : other_rc) EXPECT_EQ(rc, 0);
  }
}

TEST(Snmpv3BusyHost, RestartedAgentIsReachedAgainAfterOneFailedTry) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  // Up for a while: its boots counter (as if kept over restarts) stands
  // where a younger clock's can never reach.
  auto agent = std::make_unique<orv::test::SnmpdAgent>(agent_options(address, 40));
  V3Handle printer(address, 1000, 0);
  ASSERT_EQ(printer.open, 0);
  ASSERT_EQ(OrvRefreshOptions(printer.h), 0);
  // Restarted after losing what it kept: boots and time start again.
  agent.reset();
  agent = std::make_unique<orv::test::SnmpdAgent>(agent_options(address));
  const int32_t first = OrvRefreshOptions(printer.h);
  EXPECT_EQ(first, ORV_ERR_TIMEOUT);
  EXPECT_EQ(OrvRefreshOptions(printer.h), 0);
}

}  // namespace
