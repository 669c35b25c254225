// orv_exporter and the SNMP exporter (Debian's prometheus-snmp-exporter,
// the module bench/snmp_exporter_printer.yml, GETBULK and GETNEXT) probing
// the same simulated printer at several network distances.
//
// The printer is the light agent (lab/) serving
// printer-a; between the exporters and it sit delaying relays that hold
// every answer 0, 5 or 20 ms, so that each exchange costs that round trip.
// Runs as root (port 161).
//
// Each case is one exporter at one distance: a fixed number of probes, one
// after the other, with "Accept-Encoding: gzip" as Prometheus sends it.
// Counters per probe: ms (wall), exchanges (counted at the agent), cpu_ms
// (the exporter process's utime + stime from /proc), agent_cpu_ms (the
// agent's) and bytes (the answer's body as sent). Runs come in rounds (--rounds=N, default 3), every case
// once per round in turn, and the program ends with the medians of the
// rounds and the probe time per ms of round trip ((t20 - t0) / 20).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/exporter_process.h"
#include "support/kept_http.h"
#include "support/lab.h"
#include "support/light_agent_process.h"
#include "support/server_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDelays[] = {0, 5, 20};
constexpr int kDefaultRounds = 3;

struct Kind {
  const char* name;
  const char* path;  // with the target appended
};
const Kind kKinds[] = {{"orv_exporter", "/probe?target="},
                       {"snmp_exporter_v2c", "/snmp?module=printer&target="},
                       {"snmp_exporter_v1", "/snmp?module=printer_v1&target="}};

struct Lab {
  std::unique_ptr<orv::test::LightAgent> agent;
  std::map<int, std::unique_ptr<orv::test::DelayRelay>> relays;  // by delay
  std::unique_ptr<orv::test::Exporter> orv;
  std::unique_ptr<orv::test::ServerProcess> snmp;
};
Lab* g_lab = nullptr;

struct Figures {
  double ms = 0, exchanges = 0, cpu_ms = 0, agent_cpu_ms = 0, bytes = 0;
};
std::map<std::pair<std::string, int>, std::vector<Figures>> g_runs;

// Probes through one exporter at one distance.
void probe_case(benchmark::State& state, const Kind* kind, int delay) {
  const bool ours = kind == &kKinds[0];
  const int port = ours ? g_lab->orv->port() : g_lab->snmp->port();
  const pid_t pid = ours ? g_lab->orv->pid() : g_lab->snmp->process().pid();
  orv::test::KeptHttpConnection http("127.0.0.1", port);
  const std::string path = std::string(kind->path) + g_lab->relays[delay]->address();
  const std::vector<std::pair<std::string, std::string>> headers = {
      {"Accept-Encoding", "gzip"}, {"X-Prometheus-Scrape-Timeout-Seconds", "30"}};
  // One probe first: the exporters' first probe of a printer is no steady state.
  if (http.get(path, headers, 60000).status != 200) {
    state.SkipWithError("the warm-up probe failed");
    return;
  }
  const int64_t requests = g_lab->agent->requests();
  const long ticks = orv::test::process_cpu_ticks(pid);
  const long agent_ticks = orv::test::process_cpu_ticks(g_lab->agent->pid());
  double bytes = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    const auto answer = http.get(path, headers, 60000);
    if (answer.status != 200) {
      state.SkipWithError("a probe failed");
      return;
    }
    bytes += static_cast<double>(answer.body.size());
  }
  const double n = static_cast<double>(state.iterations());
  Figures f;
  f.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / n;
  const double ms_per_tick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  f.cpu_ms = static_cast<double>(orv::test::process_cpu_ticks(pid) - ticks) * ms_per_tick / n;
  f.agent_cpu_ms =
      static_cast<double>(orv::test::process_cpu_ticks(g_lab->agent->pid()) - agent_ticks) *
      ms_per_tick / n;
  f.exchanges = static_cast<double>(g_lab->agent->requests() - requests) / n;
  f.bytes = bytes / n;
  state.counters["ms"] = f.ms;
  state.counters["exchanges"] = f.exchanges;
  state.counters["cpu_ms"] = f.cpu_ms;
  state.counters["agent_cpu_ms"] = f.agent_cpu_ms;
  state.counters["bytes"] = f.bytes;
  g_runs[{kind->name, delay}].push_back(f);
}

// About two seconds a case, at least three probes (/proc counts CPU in
// 10 ms ticks).
int probes_for(const Kind& kind, int delay) {
  const double exchanges = &kind == &kKinds[2] ? 270 : 60;
  return std::max(3, static_cast<int>(2000.0 / (exchanges * (delay + 0.5))));
}

double median_of(std::vector<Figures> runs, double Figures::*field) {
  std::sort(runs.begin(), runs.end(), [field](const Figures& a, const Figures& b) { return a.*field < b.*field; });
  return runs.empty() ? 0 : runs[runs.size() / 2].*field;
}

void print_summary() {
  std::printf("\n| exporter | delay ms | ms per probe | exchanges | exporter CPU ms | agent CPU ms | "
              "bytes (gzip asked) |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  for (const Kind& kind : kKinds) {
    if (g_runs[{kind.name, 0}].empty()) continue;  // filtered out
    for (int delay : kDelays) {
      const auto& runs = g_runs[{kind.name, delay}];
      std::printf("| %s | %d | %.1f | %.1f | %.2f | %.2f | %.0f |\n", kind.name, delay,
                  median_of(runs, &Figures::ms), median_of(runs, &Figures::exchanges),
                  median_of(runs, &Figures::cpu_ms), median_of(runs, &Figures::agent_cpu_ms),
                  median_of(runs, &Figures::bytes));
    }
    const double per_ms = (median_of(g_runs[{kind.name, 20}], &Figures::ms) -
                           median_of(g_runs[{kind.name, 0}], &Figures::ms)) / 20.0;
    std::printf("| %s | probe ms per ms of round trip: %.1f | | | | | |\n", kind.name, per_ms);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = kDefaultRounds;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) rounds = std::max(1, std::atoi(argv[i] + 9));
  }
  const std::string missing = orv::test::lab_missing(true, {"snmpget", "prometheus-snmp-exporter"});
  if (!missing.empty()) {
    std::fprintf(stderr, "exporter_distance: %s\n", missing.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  Lab lab;
  lab.agent = std::make_unique<orv::test::LightAgent>("printer-a");
  for (int delay : kDelays) {
    lab.relays[delay] = std::make_unique<orv::test::DelayRelay>(lab.agent->address(), delay);
  }
  lab.orv = std::make_unique<orv::test::Exporter>(orv::test::ExporterOptions{
      .program = ORV_EXPORTER_PATH,
      .config = "auths:\n  public:\n    version: 2c\n    community: public\n"
                "probe:\n  timeout: 30s\n  retries: 1\n"});
  lab.snmp = std::make_unique<orv::test::ServerProcess>(orv::test::ServerStart{
      .name = "snmp-exporter",
      .ready_path = "/metrics",
      .argv = [](const std::string&, int port) {
        return std::vector<std::string>{"prometheus-snmp-exporter",
                                        "--config.file=" ORV_SOURCE_DIR "/bench/snmp_exporter_printer.yml",
                                        "--web.listen-address=127.0.0.1:" + std::to_string(port)};
      }});
  g_lab = &lab;
  for (int round = 0; round < rounds; ++round) {
    for (size_t k = 0; k < std::size(kKinds); ++k) {
      const Kind& kind = kKinds[(k + static_cast<size_t>(round)) % std::size(kKinds)];
      for (int delay : kDelays) {
        benchmark::RegisterBenchmark((std::string(kind.name) + "/" + std::to_string(delay) + "ms").c_str(),
                                     probe_case, &kind, delay)
            ->Iterations(probes_for(kind, delay))
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  print_summary();
  benchmark::Shutdown();
  g_lab = nullptr;
  return 0;
}
