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

void BM_TrapsDelivered(benchmark::State& state) {
  TrapSession* raw_session = nullptr;
  if (create_trap_session(IQelNetworkAddress::kProtocolIpv4, 0, &raw_session) != kOk) {
    state.SkipWithError("no trap session");
    return;
  }
  std::unique_ptr<TrapSession> session(raw_session);
  CountingObserver observer;
  session->attach(&observer);
  session->start();

  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(session->local_port());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const std::vector<uint8_t> trap = printer_trap();
  uint64_t sent = 0;

  for (auto _ : state) {
    const uint64_t target = sent + kTrapsPerIteration;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (observer.delivered.load(std::memory_order_acquire) < target) {
      if (sent < target && sent - observer.delivered.load(std::memory_order_acquire) < kWindow) {
        sendto(fd, trap.data(), trap.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
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
  close(fd);
}
BENCHMARK(BM_TrapsDelivered)->UseRealTime()->Unit(benchmark::kMillisecond);

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
