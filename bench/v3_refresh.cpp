// OrvRefreshOptions over SNMPv3 (authPriv, SHA/AES) against the same over
// SNMPv1, both to one quiet private snmpd on loopback whose sysObjectID is
// of the supported family. Prints both medians and their ratio, then the
// SNMPv3 median again while 8 threads keep opening SNMPv3 printers at an
// address where nothing answers.
//
// The agent is started through tests/support/orvlab.py on a free 127.x
// address, port 161 (needs root), and stopped at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench_lab.h"
#include "orv/orv.h"

namespace {

const std::string& kOrvlab = bench_lab::orvlab();
using bench_lab::run_text;
const char* const kFamily = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";

std::string g_host;
OrvHandle g_v1 = nullptr;
OrvHandle g_v3 = nullptr;

OrvHandle open_handle(int32_t model, const std::string& host = g_host) {
  OrvUSMParameters usm{};
  std::snprintf(usm.user_name, sizeof(usm.user_name), "bench");
  usm.security_level = 2;
  usm.auth_protocol = 2;
  usm.priv_protocol = 2;
  std::snprintf(usm.auth_pass_phrase, sizeof(usm.auth_pass_phrase), "auth-phrase-17");
  std::snprintf(usm.priv_pass_phrase, sizeof(usm.priv_pass_phrase), "priv-phrase-23");
  OrvHandle h = nullptr;
  if (OrvInit(&h) != 0) return nullptr;
  if (OrvInitDeviceEx(h, host.c_str(), 1, model, &usm, 1000, 1) != 0) {
    OrvUnInit(h);
    return nullptr;
  }
  return h;
}

void BM_RefreshV1(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(OrvRefreshOptions(g_v1));
}
BENCHMARK(BM_RefreshV1)->UseRealTime();

void BM_RefreshV3AuthPriv(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(OrvRefreshOptions(g_v3));
}
BENCHMARK(BM_RefreshV3AuthPriv)->UseRealTime();

double median_us(OrvHandle h, int rounds) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    OrvRefreshOptions(h);
    times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
  return times[rounds / 2];
}

// The SNMPv3 median while `threads` threads loop opens of a silent address
// (each open waits out 2 tries of 1 s).
double median_us_beside_silent_opens(int threads) {
  const std::string silent = run_text(kOrvlab + " free-address --port 161 2>/dev/null");
  std::atomic<bool> stop{false};
  std::vector<std::thread> waiting;
  for (int t = 0; t < threads; ++t) {
    waiting.emplace_back([&] {
      while (!stop) OrvUnInit(open_handle(2, silent));
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const double us = median_us(g_v3, 201);
  stop = true;
  for (std::thread& t : waiting) t.join();
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  g_host = run_text(kOrvlab + " free-address --port 161 2>/dev/null");
  std::string pid = run_text(kOrvlab + " snmpd start --address " + g_host + " --sysobjectid " +
                             kFamily + " --v3user bench:SHA:auth-phrase-17:AES:priv-phrase-23 2>&1");
  if (g_host.empty() || pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
    std::fprintf(stderr, "cannot start the private snmpd (root needed): %s\n", pid.c_str());
    return 1;
  }
  int rc = 0;
  g_v1 = open_handle(0);
  g_v3 = open_handle(2);
  if (!g_v1 || !g_v3) {
    std::fprintf(stderr, "cannot open the printer (v1 %p, v3 %p)\n", g_v1, g_v3);
    rc = 1;
  } else {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Interleaved in blocks so that both see the same machine load.
    double v1 = 0, v3 = 0;
    for (int block = 0; block < 3; ++block) {
      v1 += median_us(g_v1, 67);
      v3 += median_us(g_v3, 67);
    }
    std::printf("\nmedian OrvRefreshOptions against one snmpd (%s:161)\n", g_host.c_str());
    std::printf("SNMPv1 %.1f us, SNMPv3 authPriv SHA/AES %.1f us, v3 / v1 %.2f\n", v1 / 3, v3 / 3,
                v3 / v1);
    std::printf("SNMPv3 while 8 threads open a silent address: %.1f us\n",
                median_us_beside_silent_opens(8));
  }
  OrvUnInit(g_v1);
  OrvUnInit(g_v3);
  run_text(kOrvlab + " stop " + pid);
  return rc;
}
