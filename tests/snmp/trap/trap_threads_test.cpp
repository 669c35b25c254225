// The trap receiver's two threads: the observer invoker's queue and
// observer list, the trap session's cancel and destruction, and attach,
// detach and destroy while traps stream in.
#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <set>
#include <thread>

#include "snmp/session/log_capture.h"
#include "snmp/trap/trap_fixtures.h"
#include "support/udp_probe.h"

namespace orv::testing {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

IQesSnmpPacket* trap_packet(uint32_t stamp) {
  std::vector<uint8_t> bytes = v1_trap("1.3.6.1.4.1.9999.0.1", stamp);
  IQesSnmpPacket* packet = nullptr;
  EXPECT_EQ(decode_trap_datagram(bytes.data(), static_cast<uint32_t>(bytes.size()), &packet), kOk);
  return packet;
}

struct InvokerDelete {
  void operator()(ObserverInvoker* invoker) const {
    if (invoker->run_state() == WorkerThread::kRunning) invoker->post(kDestroy);
    delete invoker;
  }
};
using InvokerPtr = std::unique_ptr<ObserverInvoker, InvokerDelete>;

InvokerPtr started_invoker() {
  InvokerPtr invoker(new ObserverInvoker);
  EXPECT_EQ(invoker->create(), kOk);
  EXPECT_EQ(invoker->start(), kOk);
  return invoker;
}

TEST(ObserverInvoker, TrapsWithNoObserverAreTakenAndReleased) {
  session_log_path();
  LogCapture log;
  InvokerPtr invoker = started_invoker();
  for (uint32_t i = 0; i < 50; ++i) ASSERT_EQ(invoker->post(kFireTrap, trap_packet(i)), kOk);
  ASSERT_TRUE(eventually([&] { return invoker->pending() == 0; }));
  invoker.reset();  // kDestroy; a packet not released shows under AddressSanitizer
  EXPECT_EQ(log.count("[ObserverInvoker]: accept kFireTrap."), 50u);
  EXPECT_EQ(log.count("[ObserverInvoker]: accept kDestroy."), 1u);
  EXPECT_TRUE(log.has("[ObserverInvoker::run] enter.") && log.has("[ObserverInvoker::run] exit."));
}

TEST(ObserverInvoker, TwiceAttachedObserverIsCalledTwiceAndOneDetachRemovesBoth) {
  session_log_path();
  LogCapture log;
  InvokerPtr invoker = started_invoker();
  std::vector<int> order;  // only the delivery thread writes, read after it drained
  RecordingObserver first([&](IQesSnmpPacket*) { order.push_back(1); });
  RecordingObserver second([&](IQesSnmpPacket*) { order.push_back(2); });
  ASSERT_EQ(invoker->attach(&first), kOk);
  ASSERT_EQ(invoker->attach(&second), kOk);
  ASSERT_EQ(invoker->attach(&first), kOk);
  ASSERT_EQ(invoker->post(kFireTrap, trap_packet(1)), kOk);
  ASSERT_TRUE(eventually([&] { return second.calls() == 1; }));
  ASSERT_TRUE(eventually([&] { return first.calls() == 2; }));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 1}));

  ASSERT_EQ(invoker->detach(&first), kOk);
  ASSERT_EQ(invoker->detach(&first), kOk);  // no longer attached: no error
  ASSERT_EQ(invoker->post(kFireTrap, trap_packet(2)), kOk);
  ASSERT_TRUE(eventually([&] { return second.calls() == 2; }));
  invoker.reset();
  EXPECT_EQ(first.calls(), 2u);
}

TEST(ObserverInvoker, FullQueueHoldsThe201stPostUntilOneIsTaken) {
  InvokerPtr invoker = started_invoker();
  std::binary_semaphore held{0};
  std::atomic<bool> first_call{true};
  RecordingObserver blocker([&](IQesSnmpPacket*) {
    if (first_call.exchange(false)) held.acquire();
  });
  ASSERT_EQ(invoker->attach(&blocker), kOk);
  ASSERT_EQ(invoker->post(kFireTrap, trap_packet(0)), kOk);
  ASSERT_TRUE(eventually([&] { return invoker->pending() == 0; }));  // taken: its delivery is held
  for (uint32_t i = 1; i <= kObserverQueueLimit; ++i) ASSERT_EQ(invoker->post(kFireTrap, trap_packet(i)), kOk);
  EXPECT_EQ(invoker->pending(), static_cast<size_t>(kObserverQueueLimit));

  std::atomic<bool> posted{false};
  std::thread poster([&] {
    invoker->post(kFireTrap, trap_packet(999));
    posted = true;
  });
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_FALSE(posted.load()) << "the 201st post did not wait for a free slot";
  held.release();
  poster.join();
  EXPECT_TRUE(posted.load());
  ASSERT_TRUE(eventually([&] { return blocker.calls() == kObserverQueueLimit + 2; }));
  invoker.reset();
  EXPECT_EQ(blocker.keys().back(), 999);
}

TEST(ObserverInvoker, ObserverMayDetachFromInsideItsCall) {
  InvokerPtr invoker = started_invoker();
  RecordingObserver later;
  RecordingObserver* self = nullptr;
  RecordingObserver leaver([&](IQesSnmpPacket*) {
    invoker->detach(self);
    invoker->detach(&later);  // after it in this delivery: not called either
  });
  self = &leaver;
  RecordingObserver stays;
  ASSERT_EQ(invoker->attach(&leaver), kOk);
  ASSERT_EQ(invoker->attach(&later), kOk);
  ASSERT_EQ(invoker->attach(&stays), kOk);
  for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(invoker->post(kFireTrap, trap_packet(i)), kOk);
  ASSERT_TRUE(eventually([&] { return stays.calls() == 3; }));
  invoker.reset();
  EXPECT_EQ(leaver.calls(), 1u);
  EXPECT_EQ(later.calls(), 0u);
}

TEST(TrapSession, CancelWithNoTrafficEndsWithinAboutASecond) {
  session_log_path();
  LogCapture log;
  TrapSessionPtr session = started_trap_session();
  ASSERT_TRUE(session);
  std::this_thread::sleep_for(milliseconds(100));  // well inside its first wait
  const auto begin = Clock::now();
  session.reset();
  EXPECT_LT(Clock::now() - begin, milliseconds(2500));
  EXPECT_TRUE(log.has("[TrapSession]: canceled."));
  EXPECT_TRUE(log.has("[TrapSession::run] exit."));
  EXPECT_TRUE(log.has("[ObserverInvoker]: accept kDestroy."));

  // Never started: its thread is let go without running.
  TrapSession* idle = nullptr;
  ASSERT_EQ(create_trap_session(IQelNetworkAddress::kProtocolIpv4, 0, &idle), kOk);
  delete idle;
}

// Sends v2c notifications numbered from `first` to 127.0.0.1:port until
// told to stop or `count` were sent, each with `padding` octets of text.
class TrapStream {
 public:
  TrapStream(uint16_t port, int32_t count, bool pace = true, size_t padding = 0)
      : thread_([this, port, count, pace, padding] {
          test::UdpProbe probe;
          const std::string text(padding, 'x');
          for (int32_t i = 0; i < count && !stop_; ++i) {
            std::vector<Binding> pad;
            if (padding > 0) pad.emplace_back("1.3.6.1.4.1.9999.9", create_smi_value_text(kSmiOctetString, text.c_str()));
            probe.send_to("127.0.0.1", port,
                          v2c_notification(i, 100u + static_cast<uint32_t>(i), "1.3.6.1.4.1.9999.0.7", std::move(pad)));
            sent_ = i + 1;
            if (pace) std::this_thread::sleep_for(std::chrono::microseconds(200));
          }
        }) {}
  ~TrapStream() { finish(); }
  // Stops sending and waits for the sender.
  void finish() {
    stop_ = true;
    wait();
  }
  // Waits until all were sent.
  void wait() {
    if (thread_.joinable()) thread_.join();
  }
  int32_t sent() const { return sent_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int32_t> sent_{0};
  std::thread thread_;
};

TEST(TrapSession, AttachAndDetachFromOtherThreadsWhileTrapsStreamIn) {
  // Observers first: they must outlive the session that calls them.
  RecordingObserver steady;
  std::vector<std::unique_ptr<RecordingObserver>> churners;
  for (int t = 0; t < 3; ++t) churners.push_back(std::make_unique<RecordingObserver>());
  TrapSessionPtr session = started_trap_session();
  ASSERT_TRUE(session);
  ASSERT_EQ(session->attach(&steady), kOk);
  TrapStream stream(session->local_port(), 100000);
  std::vector<std::thread> threads;
  for (auto& churner : churners) {
    threads.emplace_back([&session, observer = churner.get()] {
      for (int i = 0; i < 200; ++i) {
        session->attach(observer);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        session->detach(observer);
      }
    });
  }
  for (auto& t : threads) t.join();
  ASSERT_TRUE(eventually([&] { return steady.calls() > 200; }, milliseconds(20000)));
  const size_t churned = churners[0]->calls();
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_EQ(churners[0]->calls(), churned) << "called after its last detach returned";
  stream.finish();
}

TEST(TrapSession, NoObserverCallAfterDestroyReturns) {
  for (int round = 0; round < 3; ++round) {
    std::atomic<bool> destroyed{false};
    std::atomic<int> late_calls{0};
    RecordingObserver observer([&](IQesSnmpPacket*) {
      if (destroyed) late_calls.fetch_add(1);
      std::this_thread::sleep_for(std::chrono::microseconds(500));  // lets the queue fill
    });
    TrapSessionPtr session = started_trap_session();
    ASSERT_TRUE(session);
    ASSERT_EQ(session->attach(&observer), kOk);
    TrapStream stream(session->local_port(), 1000000, false);
    ASSERT_TRUE(eventually([&] { return observer.calls() >= 20; }));
    session.reset();
    destroyed = true;
    const size_t calls = observer.calls();
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(late_calls.load(), 0);
    EXPECT_EQ(observer.calls(), calls);
    stream.finish();
  }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kPlainAllocator = false;
#else
constexpr bool kPlainAllocator = true;
#endif

// 10,000 traps as fast as one sender can, one slow observer: the receive
// thread waits whenever 200 are queued, every trap taken from the socket is
// delivered exactly once, every trap sent is either delivered or counted as
// dropped (small ones all fit the socket's buffer, big ones overflow it),
// and the heap returns to where it was.
TEST(TrapSession, TenThousandTrapsWithASlowObserver) {
  constexpr int32_t kTraps = 10000;
  {  // the loggers and the socket table are made once per process
    TrapSessionPtr warm = started_trap_session();
    TrapStream(warm->local_port(), 10).wait();
  }
  const size_t heap_before = mallinfo2().uordblks;
  for (const size_t padding : {size_t{0}, size_t{1400}}) {
    SCOPED_TRACE(padding);
    std::atomic<size_t> deepest{0};
    ObserverInvoker* invoker = nullptr;  // set before the attach that publishes it
    RecordingObserver slow([&](IQesSnmpPacket*) {
      const size_t pending = invoker->pending();
      if (pending > deepest) deepest = pending;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    });
    TrapSessionPtr session = started_trap_session();
    ASSERT_TRUE(session);
    invoker = &session->invoker();
    ASSERT_EQ(session->attach(&slow), kOk);
    TrapStream stream(session->local_port(), kTraps, false, padding);
    stream.wait();
    // Whatever the socket kept is taken within a receive wait or two.
    uint64_t posted = 0;
    bool settled = false;
    for (int poll = 0; poll < 600 && !settled; ++poll) {
      std::this_thread::sleep_for(milliseconds(100));
      const uint64_t now = session->posted_count();
      settled = now == posted && slow.calls() == now && session->invoker().pending() == 0;
      posted = now;
    }
    ASSERT_TRUE(settled);
    ASSERT_EQ(slow.calls(), session->posted_count());
    EXPECT_EQ(slow.calls() + session->dropped_count(), static_cast<uint64_t>(kTraps))
        << "delivered " << slow.calls() << ", counted as dropped " << session->dropped_count();
    if (padding == 0) {
      EXPECT_EQ(slow.calls(), static_cast<size_t>(kTraps)) << "a burst of small traps fits the buffer";
    }
    std::vector<int64_t> keys = slow.keys();
    std::set<int64_t> distinct(keys.begin(), keys.end());
    EXPECT_EQ(distinct.size(), keys.size()) << "a trap was delivered twice";
    EXPECT_GT(keys.size(), static_cast<size_t>(kObserverQueueLimit));
    EXPECT_GE(deepest.load(), static_cast<size_t>(kObserverQueueLimit - 1))
        << "the queue never filled: the receive thread did not have to wait";
  }
  if (kPlainAllocator) {
    const size_t heap_after = mallinfo2().uordblks;
    EXPECT_LT(heap_after, heap_before + 64 * 1024) << "before " << heap_before << ", after " << heap_after;
  }
}

}  // namespace
}  // namespace orv::testing
