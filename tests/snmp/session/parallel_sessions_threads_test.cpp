// Several hosts' threads at once, each with its own dispatcher, against one
// agent: the process-wide parts (request-id counter, socket table, resolver,
// codec service, loggers) are created and shared under their own locks, and
// every answer reaches the thread that asked. Runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "log/log.h"
#include "log_capture.h"
#include "snmp/transport/datagram_socket.h"
#include "snmp/session/request_session.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "session_fixtures.h"

namespace orv::testing {
namespace {

constexpr int kThreads = 4;
constexpr int kRequestsPerThread = 40;

TEST(ParallelSessions, EachThreadGetsItsOwnAnswersWithDistinctIds) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  std::string host = test::free_loopback_address(161);
  test::SnmpdAgent agent({.addresses = {host}, .sysobjectid = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2",
                          .conf_lines = {"syslocation room-42"}});

  std::vector<std::vector<int32_t>> ids(kThreads);
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
      TargetSettings s;
      s.address = host;
      s.retries = 2;
      SnmpTargetPtr target = make_target(s);
      // Odd threads ask for sysLocation, even ones for sysObjectID, so an
      // answer delivered to the wrong thread shows in the value.
      std::string oid = t % 2 ? "1.3.6.1.2.1.1.6.0" : "1.3.6.1.2.1.1.2.0";
      std::string want = t % 2 ? "room-42" : "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";
      for (int i = 0; i < kRequestsPerThread; ++i) {
        log::qel_log("snmp", log::kDebug, "thread %d request %d", t, i);
        PduPtr pdu = make_get({oid});
        if (dispatcher->send_sync(pdu.get(), target.get()) != kOk || value_text(pdu.get(), 0) != want) {
          ++failures[t];
          continue;
        }
        ids[t].push_back(pdu->request_id());
      }
    });
  }
  for (std::thread& th : threads) th.join();

  std::set<int32_t> all;
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(failures[t], 0) << "thread " << t;
    EXPECT_TRUE(std::is_sorted(ids[t].begin(), ids[t].end())) << "thread " << t;
    all.insert(ids[t].begin(), ids[t].end());
  }
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kRequestsPerThread)) << "request ids repeat";
}

// A datagram longer than the receive buffer arrives cut, cannot be decoded
// and is dropped like any other stray datagram: the exchange keeps waiting
// instead of ending with a receive error.
TEST(SessionOversizedDatagram, IsDroppedAndTheWaitGoesOn) {
  IDataGramSocket* raw = nullptr;
  ASSERT_EQ(create_datagram_socket(IQelNetworkAddress::kProtocolIpv4, &raw), kOk);
  DataGramSocketPtr agent(raw);
  std::thread answer([&] {
    uint8_t request[2048];
    uint32_t length = 0;
    IQelNetworkAddress* sender = nullptr;
    if (agent->receive(request, sizeof request, 3000, &length, &sender) != kOk) return;
    NetworkAddressPtr to(sender);
    std::vector<uint8_t> oversized(kReceiveBufferSize + 500, 0x30);
    agent->send(oversized.data(), static_cast<uint32_t>(oversized.size()), to.get());
  });
  TargetSettings s;
  s.address = "127.0.0.1";
  s.port = agent->local_address()->port();
  s.timeout_ms = 600;
  s.retries = 0;
  SnmpTargetPtr target = make_target(s);
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.5.0"});
  LogCapture log;
  EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kErrTimeout);
  answer.join();
  EXPECT_TRUE(log.has("_send_and_receive(): receive from 127.0.0.1")) << log.text();
  EXPECT_TRUE(log.has("Error, _send_and_receive(): receive timeout.")) << log.text();
  EXPECT_FALSE(log.has("_send_and_receive(): error=")) << log.text();
}

}  // namespace
}  // namespace orv::testing
