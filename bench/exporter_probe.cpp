// orv_exporter's /probe against simulated printers, and what the exporter
// adds to the exchanges a probe makes.
//
// Ten printers, each a private snmpd serving a tests/data file on a free
// 127.x address (port 161, so run as root): snmpd answers in tens of
// microseconds, so the client side, not the agent, is what is timed. The
// exporter runs as users run it, a process of its own on 127.0.0.1.
//
//   probe/threads:1    one scraper probing one printer, back to back, on a
//                      connection it keeps as Prometheus does
//   probe/threads:10   ten scrapers, each probing its own printer
//   bare/threads:1,10  the same exchanges in this process through the C
//                      interface: open, refresh, every status table
//
// Counters: probes_per_s; cpu_us_per_probe, the exporter process's CPU
// (utime + stime of /proc/PID/stat, which keeps the time of its ended probe
// threads) per probe, or for bare this process's. At the end the program
// prints the exporter's added time and CPU per probe against the bare
// exchanges, medians over --benchmark_repetitions=N. This machine's speed
// drifts over minutes; --benchmark_enable_random_interleaving=true spreads
// the drift over both kinds.
#include <benchmark/benchmark.h>
#include <orv/orv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/exporter_process.h"
#include "support/kept_http.h"
#include "support/lab.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPrinters = 10;
constexpr uint32_t kTimeoutMs = 2000;
constexpr uint32_t kRetries = 1;
// Fixed counts, about two seconds a run (/proc counts CPU in 10 ms ticks),
// so that every run counts and --benchmark_enable_random_interleaving can
// spread the machine's drift over both kinds.
constexpr int kSequentialProbes = 250;
constexpr int kParallelProbesPerThread = 80;
const char* const kFiles[] = {"printer-a", "printer-b"};

struct Lab {
  std::vector<std::string> addresses;
  std::vector<std::unique_ptr<orv::test::SnmpdAgent>> agents;
  std::unique_ptr<orv::test::Exporter> exporter;
};
Lab* g_lab = nullptr;

// Per kind ("probe", "bare") and thread count: wall seconds and CPU seconds
// per probe of each run (repetitions add runs).
struct PerProbe {
  std::vector<double> wall;
  std::vector<double> cpu;
};
std::mutex g_mutex;
std::map<std::pair<std::string, int>, PerProbe> g_results;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double process_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double exporter_cpu_seconds() {
  return static_cast<double>(g_lab->exporter->cpu_ticks()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Counts a status table and reads each of its records.
template <typename Record>
bool read_table(OrvHandle handle, int32_t (*count)(OrvHandle, int32_t*),
                int32_t (*get)(OrvHandle, uint32_t, Record*)) {
  int32_t n = 0;
  if (count(handle, &n) != ORV_OK) return false;
  Record record{};
  for (int32_t i = 0; i < n; ++i) {
    if (get(handle, static_cast<uint32_t>(i), &record) != ORV_OK) return false;
  }
  return true;
}

int32_t count_jobs(OrvHandle handle, int32_t* n) { return OrvGetNumberOfJobInfo(handle, ORV_JOBS_ALL, n); }

// The exchanges of one probe, made here: what the exporter does for a
// /probe apart from HTTP and the text of the answer.
bool bare_probe(const std::string& address) {
  OrvHandle handle = nullptr;
  if (OrvInit(&handle) != ORV_OK) return false;
  OrvPrinterInfo printer{};
  const bool ok =
      OrvInitDevice(handle, address.c_str(), ORV_PROTOCOL_IPV4, kTimeoutMs, kRetries) == ORV_OK &&
      OrvRefreshOptions(handle) == ORV_OK && OrvGetPrinterInfo(handle, &printer) == ORV_OK &&
      read_table(handle, OrvGetNumberOfStorageInfo, OrvGetStorageInfo) &&
      read_table(handle, OrvGetNumberOfInputTrayInfo, OrvGetInputTrayInfo) &&
      read_table(handle, OrvGetNumberOfOutputTrayInfo, OrvGetOutputTrayInfo) &&
      read_table(handle, OrvGetNumberOfTonerInfo, OrvGetTonerInfo) &&
      read_table(handle, OrvGetNumberOfAlertInfo, OrvGetAlertInfo) &&
      read_table(handle, count_jobs, OrvGetJobInfo);
  OrvUnInit(handle);
  return ok;
}

// Each scraper keeps its connection, as Prometheus does.
bool exporter_probe(const std::string& address) {
  thread_local orv::test::KeptHttpConnection connection("127.0.0.1", g_lab->exporter->port());
  const auto answer = connection.get("/probe?target=" + address,
                                     {{"X-Prometheus-Scrape-Timeout-Seconds", "10"}}, 20000);
  return answer.status == 200 && orv::test::sample(answer.body, "orv_up") == 1.0;
}

// Runs probe() on this thread's printer. Thread 0 takes the totals: the
// loops of all threads start and end together, and the process measured
// (the exporter, or this one for bare) does nothing but the probes.
template <bool (*probe)(const std::string&), double (*cpu_seconds)()>
void run(benchmark::State& state) {
  const std::string& address = g_lab->addresses[static_cast<size_t>(state.thread_index()) % kPrinters];
  const auto start = Clock::now();
  const double cpu_before = cpu_seconds();
  for (auto _ : state) {
    if (!probe(address)) {
      state.SkipWithError("a probe failed");
      break;
    }
  }
  if (state.thread_index() != 0) return;
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = cpu_seconds() - cpu_before;
  const double probes = static_cast<double>(state.iterations()) * state.threads();
  state.counters["probes_per_s"] = probes / wall;
  state.counters["cpu_us_per_probe"] = cpu * 1e6 / probes;
  std::lock_guard lock(g_mutex);
  PerProbe& runs = g_results[{probe == exporter_probe ? "probe" : "bare", state.threads()}];
  runs.wall.push_back(wall / static_cast<double>(state.iterations()));
  runs.cpu.push_back(cpu / probes);
}

// One scraper with a fixed count of probes, and ten with a count each; the
// names stay "probe/.../threads:N" and "bare/.../threads:N".
void register_runs() {
  const std::pair<const char*, void (*)(benchmark::State&)> kinds[] = {
      {"probe", run<exporter_probe, exporter_cpu_seconds>},
      {"bare", run<bare_probe, process_cpu_seconds>}};
  for (const auto& [name, function] : kinds) {
    for (const auto& [threads, iterations] :
         {std::pair{1, kSequentialProbes}, std::pair{kPrinters, kParallelProbesPerThread}}) {
      benchmark::RegisterBenchmark(name, function)
          ->Threads(threads)
          ->Iterations(iterations)
          ->UseRealTime();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  register_runs();
  const std::string missing = orv::test::lab_missing(true, {"snmpd", "snmpget"});
  if (!missing.empty()) {
    std::fprintf(stderr, "exporter_probe: %s\n", missing.c_str());
    return 1;
  }
  Lab lab;
  for (int i = 0; i < kPrinters; ++i) {
    lab.addresses.push_back(orv::test::free_loopback_address());
    lab.agents.push_back(std::make_unique<orv::test::SnmpdAgent>(orv::test::SnmpdOptions{
        .addresses = {lab.addresses.back()}, .data_file = orv::test::data_file(kFiles[i % 2])}));
  }
  lab.exporter = std::make_unique<orv::test::Exporter>(orv::test::ExporterOptions{
      .program = ORV_EXPORTER_PATH,
      .config = "auths:\n  public:\n    community: public\nprobe:\n  timeout: 10s\n  retries: " +
                std::to_string(kRetries) + "\n"});
  g_lab = &lab;
  benchmark::RunSpecifiedBenchmarks();
  // Medians over the repetitions (--benchmark_repetitions=N).
  for (const int threads : {1, kPrinters}) {
    const auto probe = g_results.find({"probe", threads});
    const auto bare = g_results.find({"bare", threads});
    if (probe == g_results.end() || bare == g_results.end()) continue;
    const double wall[] = {median(probe->second.wall), median(bare->second.wall)};
    const double cpu[] = {median(probe->second.cpu), median(bare->second.cpu)};
    std::printf("threads:%d (median of %zu): probe %.3f ms, bare %.3f ms, exporter adds %+.1f%% time; "
                "CPU per probe exporter %.0f us, bare %.0f us (%+.1f%%)\n",
                threads, probe->second.wall.size(), wall[0] * 1e3, wall[1] * 1e3,
                (wall[0] / wall[1] - 1) * 100, cpu[0] * 1e6, cpu[1] * 1e6, (cpu[0] / cpu[1] - 1) * 100);
  }
  g_lab = nullptr;
  benchmark::Shutdown();
  return 0;
}
