// One broadcast answered by N distinct agents at once (N = 100, 1000, 5000),
// through the find-device object as discovery uses it.
//
// The agents are a BurstPeer (tests/support/burst_peer.h): when the request
// arrives, the same prebuilt GetResponse goes back N times in one sendmmsg
// burst, each from its own loopback source 127.B.x.y. The "broadcast"
// destination is 127.B.255.254 on the peer's ephemeral port.
//
// Per N it reports the answers collected out of N, the kernel's receive
// drops during the run (the namespace's Udp RcvbufErrors counter, so other
// traffic on the machine can add to it) and the library's processing time
// per answer: the CPU time of the thread that runs the broadcast (it sleeps
// while it waits) divided by the answers collected.
//
//   broadcast_burst                  as it runs (root: the receive buffer is
//                                    forced past rmem_max)
//   broadcast_burst --unprivileged   drops CAP_NET_ADMIN first (the
//                                    benchmarks run on the main thread), as
//                                    an ordinary process runs
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/network_address.h"
#include "snmp/facade/find_device_snmp.h"
#include "support/burst_peer.h"
#include "support/lab.h"
#include "support/snmp_probe.h"

namespace {

using namespace orv;

constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2";
constexpr const char* kAnswerValue = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";
constexpr uint32_t kTimeoutMs = 1000;

// The namespace's UDP receive-buffer drops so far.
long udp_rcvbuf_errors() {
  std::ifstream in("/proc/net/snmp");
  std::string names;
  std::string values;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Udp: ", 0) != 0) continue;
    if (names.empty()) {
      names = line;
    } else {
      values = line;
      break;
    }
  }
  std::istringstream n(names);
  std::istringstream v(values);
  std::string name;
  std::string value;
  while (n >> name && v >> value) {
    if (name == "RcvbufErrors") return std::stol(value);
  }
  return -1;
}

long read_number(const char* path) {
  std::ifstream in(path);
  long value = -1;
  in >> value;
  return value;
}

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Runs {
  std::vector<size_t> collected;
  long drops = 0;
  double cpu_seconds = 0;
  size_t answers = 0;
};
std::map<size_t, Runs> g_runs;

void BM_BroadcastBurst(benchmark::State& state) {
  const auto agents = static_cast<size_t>(state.range(0));
  const auto block = static_cast<uint8_t>(16 + getpid() % 200);
  test::BurstPeer responder(block);
  const std::string destination = responder.destination();
  const std::vector<std::vector<uint8_t>> answer = {
      test::snmp_oid_response(1, "public", "1.3.6.1.2.1.1.2.0", kAnswerValue)};
  const QelSecurityParams security{"", 0, 0, 0, "", "", ""};
  Runs& runs = g_runs[agents];
  runs = Runs{};
  size_t sent_total = 0;
  for (auto _ : state) {
    FindDevicePtr finder(qel_create_find_device_snmp(nullptr));
    if (!finder ||
        finder->init(destination.c_str(), IQelNetworkAddress::kProtocolIpv4, responder.port(), 1,
                     &security, kTimeoutMs, 0, 0) != kOk ||
        finder->add_oid_string(kSysObjectId) != kOk) {
      state.SkipWithError("find-device set-up failed");
      return;
    }
    std::atomic<size_t> sent{0};
    std::thread agents_thread([&] { sent = responder.answer_once(agents, answer); });
    const long drops_before = udp_rcvbuf_errors();
    const double cpu_before = thread_cpu_seconds();
    IQesSnmpPacketList* raw = nullptr;
    const int32_t rc = finder->send_broad_cast(&raw);
    const double cpu = thread_cpu_seconds() - cpu_before;
    agents_thread.join();
    const long drops = udp_rcvbuf_errors() - drops_before;
    SnmpPacketListPtr answers(raw);
    if (rc != kOk || !answers) {
      state.SkipWithError("broadcast failed");
      return;
    }
    const size_t collected = answers->count();
    state.SetIterationTime(cpu);
    runs.collected.push_back(collected);
    runs.drops += drops;
    runs.cpu_seconds += cpu;
    runs.answers += collected;
    sent_total += sent.load();
  }
  // Means over the broadcasts of this run.
  const double n = static_cast<double>(state.iterations());
  double collected_total = 0;
  for (size_t c : runs.collected) collected_total += static_cast<double>(c);
  state.counters["collected"] = collected_total / n;
  state.counters["sent"] = static_cast<double>(sent_total) / n;
  state.counters["drops"] = static_cast<double>(runs.drops) / n;
  state.counters["us_per_answer"] =
      runs.answers ? runs.cpu_seconds * 1e6 / static_cast<double>(runs.answers) : 0;
}
BENCHMARK(BM_BroadcastBurst)
    ->Arg(0)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bool unprivileged = false;
  for (int i = 1; i < argc; ++i) unprivileged |= std::strcmp(argv[i], "--unprivileged") == 0;
  if (unprivileged && !test::drop_net_admin()) {
    std::fprintf(stderr, "cannot drop CAP_NET_ADMIN\n");
    return 1;
  }
  std::printf("rmem_default %ld, rmem_max %ld, %s\n",
              read_number("/proc/sys/net/core/rmem_default"),
              read_number("/proc/sys/net/core/rmem_max"),
              unprivileged ? "without CAP_NET_ADMIN" : "with the process's own capabilities");
  benchmark::RunSpecifiedBenchmarks();
  // A broadcast nobody answers costs the set-up alone (socket, encoding,
  // the waits); the rest is the cost of the answers.
  const auto silent = g_runs.find(0);
  const double fixed = silent != g_runs.end() && !silent->second.collected.empty()
                           ? silent->second.cpu_seconds /
                                 static_cast<double>(silent->second.collected.size())
                           : 0;
  std::printf("N=0: %.1f us of processing per broadcast\n", fixed * 1e6);
  for (const auto& [agents, runs] : g_runs) {
    if (agents == 0 || runs.collected.empty()) continue;
    const auto [low, high] = std::minmax_element(runs.collected.begin(), runs.collected.end());
    const double broadcasts = static_cast<double>(runs.collected.size());
    const double answers = static_cast<double>(std::max<size_t>(runs.answers, 1));
    std::printf("N=%zu: collected %zu..%zu of %zu over %zu broadcasts, kernel drops %ld, "
                "%.2f us of processing per answer (%.2f us without the set-up)\n",
                agents, *low, *high, agents, runs.collected.size(), runs.drops,
                runs.cpu_seconds * 1e6 / answers,
                (runs.cpu_seconds - fixed * broadcasts) * 1e6 / answers);
  }
  benchmark::Shutdown();
  return 0;
}
