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
// threads) per probe, or for bare this process's.
//
// This machine's speed drifts by tens of percent over minutes, so runs come
// in rounds (--rounds=N, default 9): each round runs probe and bare back to
// back for each thread count, in turn first, and gives the ratio of the
// two. At the end the program prints the median of the rounds' ratios and
// their range: a ratio of neighbours cancels the drift that medians of
// separate runs keep.
#include <benchmark/benchmark.h>
#include <orv/orv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
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

constexpr int kDefaultRounds = 9;

// Wall seconds per probe of one scraper, and CPU seconds per probe, of one run.
struct PerProbe {
  double wall = 0;
  double cpu = 0;
};
// Per round, thread count and kind ("probe", "bare"): its run.
std::mutex g_mutex;
std::map<std::tuple<int, int, std::string>, PerProbe> g_results;

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
void run(benchmark::State& state, int round) {
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
  g_results[{round, state.threads(), probe == exporter_probe ? "probe" : "bare"}] = {
      wall / static_cast<double>(state.iterations()), cpu / probes};
}

// Per round and thread count, probe and bare back to back, in turn first
// (one scraper with a fixed count of probes, ten with a count each).
void register_rounds(int rounds) {
  using Run = void (*)(benchmark::State&, int);
  const std::pair<const char*, Run> kinds[] = {{"probe", run<exporter_probe, exporter_cpu_seconds>},
                                               {"bare", run<bare_probe, process_cpu_seconds>}};
  for (int round = 0; round < rounds; ++round) {
    for (const auto& [threads, iterations] :
         {std::pair{1, kSequentialProbes}, std::pair{kPrinters, kParallelProbesPerThread}}) {
      for (int k = 0; k < 2; ++k) {
        const auto& [name, function] = kinds[(k + round) % 2];
        benchmark::RegisterBenchmark(name, function, round)
            ->Threads(threads)
            ->Iterations(iterations)
            ->UseRealTime();
      }
    }
  }
}

// The rounds' ratios probe / bare of one thread count: median and range.
void print_ratios(int threads) {
  std::vector<std::pair<PerProbe, PerProbe>> rounds;  // probe, bare
  for (const auto& [key, probe] : g_results) {
    const auto& [round, n, kind] = key;
    const auto bare = g_results.find({round, n, "bare"});
    if (n == threads && kind == "probe" && bare != g_results.end()) {
      rounds.emplace_back(probe, bare->second);
    }
  }
  if (rounds.empty()) return;
  // A figure of each round, sorted.
  const auto each = [&](double (*figure)(const PerProbe&, const PerProbe&)) {
    std::vector<double> values;
    for (const auto& [probe, bare] : rounds) values.push_back(figure(probe, bare));
    std::sort(values.begin(), values.end());
    return values;
  };
  const auto wall = each([](const PerProbe& p, const PerProbe& b) { return p.wall / b.wall; });
  const auto cpu = each([](const PerProbe& p, const PerProbe& b) { return p.cpu / b.cpu; });
  std::printf("threads:%d, medians of %zu rounds: probe %.3f ms, bare %.3f ms; CPU per probe "
              "exporter %.0f us, bare %.0f us\n",
              threads, rounds.size(),
              median(each([](const PerProbe& p, const PerProbe&) { return p.wall; })) * 1e3,
              median(each([](const PerProbe&, const PerProbe& b) { return b.wall; })) * 1e3,
              median(each([](const PerProbe& p, const PerProbe&) { return p.cpu; })) * 1e6,
              median(each([](const PerProbe&, const PerProbe& b) { return b.cpu; })) * 1e6);
  const auto percent = [](double ratio) { return (ratio - 1) * 100; };
  std::printf("threads:%d, %zu rounds: exporter adds %+.1f%% time (rounds %+.1f%% to %+.1f%%), "
              "%+.1f%% CPU (%+.1f%% to %+.1f%%)\n",
              threads, rounds.size(), percent(median(wall)), percent(wall.front()),
              percent(wall.back()), percent(median(cpu)), percent(cpu.front()), percent(cpu.back()));
}

// --rounds=N, taken out of argv before the benchmark library reads it.
int take_rounds(int& argc, char** argv) {
  int rounds = kDefaultRounds;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--rounds=", 0) == 0) {
      rounds = std::max(1, std::atoi(arg.c_str() + 9));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return rounds;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = take_rounds(argc, argv);
  benchmark::Initialize(&argc, argv);
  register_rounds(rounds);
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
  for (const int threads : {1, kPrinters}) print_ratios(threads);
  g_lab = nullptr;
  benchmark::Shutdown();
  return 0;
}
