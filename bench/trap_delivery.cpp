// Traps delivered per second: a trap session on loopback, one observer that
// only counts, and a sender that keeps at most a window of traps in flight,
// so that the socket never overflows and every trap sent is delivered. The
// rate covers receive, decode, post, the hand-over between the two threads
// and delivery.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "snmp/message/codec_service.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"
#include "snmp/trap/trap_decode.h"
#include "snmp/trap/trap_session.h"
#include "snmp/smi/smi_factory.h"

namespace {

using namespace orv;

constexpr int kTrapsPerIteration = 2000;
constexpr uint64_t kWindow = 64;

class CountingObserver : public IQesTrapObserver {
 public:
  void update(IQesSnmpPacket*) override { delivered.fetch_add(1, std::memory_order_release); }
  std::atomic<uint64_t> delivered{0};
};

// An SNMPv1 Trap with three bindings as a printer sends one.
std::vector<uint8_t> printer_trap() {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(kPduTrap);
  pdu->set_trap_oid(create_oid_from_text("1.3.6.1.4.1.253.8.0.17"));
  pdu->set_time_stamp(create_smi_value_uint32(kSmiTimeTicks, 4242));
  pdu->append_new(create_oid_from_text("1.3.6.1.2.1.43.18.1.1.2.1.5"), create_smi_value_int32(kSmiInteger, 3));
  pdu->append_new(create_oid_from_text("1.3.6.1.2.1.43.18.1.1.8.1.5"),
                  create_smi_value_text(kSmiOctetString, "Tray 2 is empty"));
  pdu->append_new(create_oid_from_text("1.3.6.1.2.1.25.3.2.1.5.1"), create_smi_value_int32(kSmiInteger, 3));
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity));
  as_community_target(target.get())->set_community("public");
  target->set_version(kSnmpV1);
  RawPacketPtr raw(qes_create_raw_packet(2048));
  CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get());
  return {raw->data(), raw->data() + raw->length()};
}

// A started trap session on a port of its own with `observer` attached
// (the observer must outlive it); null, and the benchmark skipped, when
// none can be made.
std::unique_ptr<TrapSession> observed_session(benchmark::State& state, IQesTrapObserver* observer) {
  TrapSession* raw = nullptr;
  if (create_trap_session(IQelNetworkAddress::kProtocolIpv4, 0, &raw) != kOk) {
    state.SkipWithError("no trap session");
    return nullptr;
  }
  std::unique_ptr<TrapSession> session(raw);
  session->attach(observer);
  session->start();
  return session;
}

// Sends datagrams to one port on loopback.
class LoopbackSender {
 public:
  explicit LoopbackSender(uint16_t port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    to_.sin_family = AF_INET;
    to_.sin_port = htons(port);
    to_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  }
  ~LoopbackSender() { close(fd_); }
  void send(const std::vector<uint8_t>& bytes) const {
    sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_);
  }

 private:
  int fd_;
  sockaddr_in to_{};
};

void BM_TrapsDelivered(benchmark::State& state) {
  CountingObserver observer;
  std::unique_ptr<TrapSession> session = observed_session(state, &observer);
  if (!session) return;
  const LoopbackSender sender(session->local_port());
  const std::vector<uint8_t> trap = printer_trap();
  uint64_t sent = 0;

  for (auto _ : state) {
    const uint64_t target = sent + kTrapsPerIteration;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (observer.delivered.load(std::memory_order_acquire) < target) {
      if (sent < target && sent - observer.delivered.load(std::memory_order_acquire) < kWindow) {
        sender.send(trap);
        ++sent;
      } else if (std::chrono::steady_clock::now() > give_up) {
        state.SkipWithError("traps were lost");
        break;
      } else {
        std::this_thread::yield();
      }
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(observer.delivered.load()));
  state.counters["traps_per_second"] =
      benchmark::Counter(static_cast<double>(observer.delivered.load()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TrapsDelivered)->UseRealTime()->Unit(benchmark::kMillisecond);

// A burst: 10,000 traps sent as fast as one sender can, against an observer
// that takes state.range(0) µs per trap. Reports how many were delivered,
// how many the receiver counted as dropped and how many are neither, the
// mean over the iterations.
class SlowObserver : public IQesTrapObserver {
 public:
  explicit SlowObserver(int64_t micros) : micros_(micros) {}
  void update(IQesSnmpPacket*) override {
    if (micros_ > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros_));
    delivered.fetch_add(1, std::memory_order_release);
  }
  std::atomic<uint64_t> delivered{0};

 private:
  int64_t micros_;
};

constexpr uint64_t kBurstTraps = 10000;

// What the session counted as lost so far.
uint64_t dropped_by(TrapSession& session) { return session.dropped_count(); }

void BM_TrapBurst(benchmark::State& state) {
  const std::vector<uint8_t> trap = printer_trap();
  double delivered_sum = 0;
  double dropped_sum = 0;
  double neither_sum = 0;
  for (auto _ : state) {
    SlowObserver observer(state.range(0));
    std::unique_ptr<TrapSession> session = observed_session(state, &observer);
    if (!session) return;
    const LoopbackSender sender(session->local_port());
    for (uint64_t i = 0; i < kBurstTraps; ++i) sender.send(trap);
    // Settled once every trap is accounted for, or nothing moved for two
    // receive waits; 60 s at most.
    uint64_t last = 0;
    int still = 0;
    for (int poll = 0; poll < 600 && still < 20; ++poll) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const uint64_t now = observer.delivered.load(std::memory_order_acquire) + dropped_by(*session);
      if (now >= kBurstTraps) break;
      still = now == last ? still + 1 : 0;
      last = now;
    }
    const uint64_t delivered = observer.delivered.load(std::memory_order_acquire);
    const uint64_t dropped = dropped_by(*session);
    delivered_sum += static_cast<double>(delivered);
    dropped_sum += static_cast<double>(dropped);
    neither_sum += static_cast<double>(kBurstTraps - std::min(kBurstTraps, delivered + dropped));
    session.reset();
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["delivered"] = delivered_sum / iterations;
  state.counters["dropped"] = dropped_sum / iterations;
  state.counters["neither"] = neither_sum / iterations;
}
BENCHMARK(BM_TrapBurst)->Arg(0)->Arg(100)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// The decode alone: one datagram into a trap packet, as the receive thread
// does for every trap.
void BM_DecodeTrapDatagram(benchmark::State& state) {
  const std::vector<uint8_t> trap = printer_trap();
  for (auto _ : state) {
    IQesSnmpPacket* packet = nullptr;
    decode_trap_datagram(trap.data(), static_cast<uint32_t>(trap.size()), &packet);
    benchmark::DoNotOptimize(packet);
    packet->release();
  }
}
BENCHMARK(BM_DecodeTrapDatagram);

}  // namespace

BENCHMARK_MAIN();
