// A host whose timers and children raise signals all the time: requests and
// broadcasts wait through them, with or without SA_RESTART on the handler,
// and end at their answer or their time-out as if no signal had come.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "session_fixtures.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "support/lab.h"

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> g_alarms{0};
void count_alarm(int) { g_alarms.fetch_add(1, std::memory_order_relaxed); }

// SIGALRM every 50 ms while it lives; the handler and timer found before
// are put back when it goes.
class AlarmEvery50Ms {
 public:
  explicit AlarmEvery50Ms(int flags) {
    struct sigaction action {};
    action.sa_handler = count_alarm;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, &old_action_);
    const itimerval every{{0, 50000}, {0, 50000}};
    setitimer(ITIMER_REAL, &every, &old_timer_);
  }
  ~AlarmEvery50Ms() {
    setitimer(ITIMER_REAL, &old_timer_, nullptr);
    sigaction(SIGALRM, &old_action_, nullptr);
  }

 private:
  struct sigaction old_action_ {};
  itimerval old_timer_{};
};

// A scripted peer on a loopback address of its own and a 1000 ms,
// single-try target aimed at it.
struct Peer {
  explicit Peer(const char* mode)
      : host(test::free_loopback_address(16100)), process(host + ":16100", {mode}) {}
  SnmpTargetPtr target() const {
    return testing::make_target({.address = host, .port = 16100, .timeout_ms = 1000});
  }
  std::string host;
  test::ScriptedPeer process;
};

class SignalledWait : public ::testing::TestWithParam<int> {
 protected:
  // Runs `exchange` under the alarms and gives back how long it took.
  template <typename Exchange>
  long under_alarms(Exchange exchange) {
    g_alarms = 0;
    auto start = Clock::now();
    {
      AlarmEvery50Ms alarms(GetParam());
      exchange();
    }
    // The wait really was interrupted, many times.
    EXPECT_GE(g_alarms.load(), 8);
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
  }
};

TEST_P(SignalledWait, RequestsAndBroadcastsEndAtTheirAnswerOrTimeOut) {
  ORV_REQUIRE_LAB(false, {"python3"});
  // A stale answer at 100 ms is dropped, the true one comes at 600 ms.
  Peer late("late-stale:100:600"), silent("silent"), echo("echo");
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
  PduPtr pdu = testing::make_get({"1.3.6.1.2.1.1.5.0"});
  SnmpTargetPtr target = late.target();
  long waited = under_alarms(
      [&] { EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kOk); });
  EXPECT_EQ(testing::value_text(pdu.get(), 0), "1.3.6.1.2.1.1.5.0");
  EXPECT_GE(waited, 550);

  target = silent.target();
  pdu = testing::make_get({"1.3.6.1.2.1.1.5.0"});
  waited = under_alarms(
      [&] { EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kErrTimeout); });
  EXPECT_GE(waited, 1000);

  // The answer comes at once; signals keep coming for the rest of the
  // second that the broadcast listens, and the answer stays collected.
  target = echo.target();
  pdu = testing::make_get({"1.3.6.1.2.1.1.2.0"});
  IQesSnmpPacketList* out = nullptr;
  waited = under_alarms(
      [&] { EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &out), kOk); });
  SnmpPacketListPtr answers(out);
  ASSERT_TRUE(answers);
  ASSERT_EQ(answers->count(), 1u);
  EXPECT_EQ(answers->at(0)->target()->address()->text(), echo.host);
  EXPECT_GE(waited, 1000);
}

INSTANTIATE_TEST_SUITE_P(HandlerFlags, SignalledWait, ::testing::Values(SA_RESTART, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SA_RESTART ? "Restart" : "NoRestart");
                         });

}  // namespace
}  // namespace orv
