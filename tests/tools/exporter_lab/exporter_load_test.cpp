// The exporter under trouble and load: a printer that stops answering is
// reported down within the scraper's time-out while the others are still
// probed, and a hundred probes at once all answer, again and again, with
// memory flat and, in sanitized builds, no report at the end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/exporter_process.h"
#include "support/lab.h"

namespace orv::test {
namespace {

constexpr const char* kConfig = R"(
auths:
  public:
    community: public
probe:
  timeout: 10s
  retries: 1
)";

void expect_clean_end(Exporter& exporter) {
  const ChildExit end = exporter.stop();
  EXPECT_TRUE(end.code == 0 && end.signal == 0)
      << "exit " << end.code << ", signal " << end.signal << "\n" << exporter.log();
}

TEST(ExporterLoad, PrinterThatStopsAnsweringIsDownWithinTheScrapeTimeout) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
  const std::string a = free_loopback_address();
  const std::string b = free_loopback_address();
  SnmpsimAgent printer_a({.endpoints = {a + ":161"}, .serve = {"printer-a:public"}});
  SnmpsimAgent printer_b({.endpoints = {b + ":161"}, .serve = {"printer-b:public"}});
  Exporter exporter({.program = ORV_EXPORTER_PATH, .config = kConfig});
  ASSERT_EQ(sample(exporter.probe(a, "10").body, "orv_up"), 1.0) << exporter.log();

  printer_a.stop();
  HttpResponse silent;
  std::chrono::steady_clock::duration took{};
  std::thread scrape([&] {
    const auto start = std::chrono::steady_clock::now();
    silent = exporter.probe(a, "2");
    took = std::chrono::steady_clock::now() - start;
  });
  // Meanwhile the other printer is probed as usual; its budget is wider so
  // that a slow agent on a busy test machine is not mistaken for a fault.
  const HttpResponse other = exporter.probe(b, "10");
  scrape.join();
  EXPECT_EQ(silent.status, 200) << silent.error;
  EXPECT_EQ(sample(silent.body, "orv_up"), 0.0) << silent.body;
  EXPECT_LT(took, std::chrono::seconds(2))
      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
  EXPECT_EQ(sample(other.body, "orv_up"), 1.0) << other.body;
  const HttpResponse again = exporter.probe(b, "10");
  EXPECT_EQ(sample(again.body, "orv_up"), 1.0) << again.body;
  expect_clean_end(exporter);
}

TEST(ExporterLoad, HundredConcurrentProbesAllAnswerWithMemoryFlat) {
  ORV_REQUIRE_LAB(true, {"snmpd", "snmpget"});
  constexpr int kProbes = 100;
  // snmpd serves the data files fast enough that the exporter, not the
  // agents, carries the load.
  const std::vector<std::string> files = {"printer-a", "printer-b", "printer-a", "printer-b"};
  std::vector<std::string> addresses;
  std::vector<std::unique_ptr<SnmpdAgent>> agents;
  for (const auto& file : files) {
    addresses.push_back(free_loopback_address());
    agents.push_back(std::make_unique<SnmpdAgent>(
        SnmpdOptions{.addresses = {addresses.back()}, .data_file = data_file(file)}));
  }
  // One malloc arena: with glibc's default of up to eight per core, a
  // hundred threads spread over many arenas and fragmentation alone makes
  // the resident size creep for several rounds.
  Exporter exporter({.program = ORV_EXPORTER_PATH,
                     .config = kConfig,
                     .max_requests = kProbes + 8,
                     .env = {"MALLOC_ARENA_MAX=1"}});

  const auto hundred_at_once = [&] {
    std::atomic<int> right{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kProbes; ++i) {
      threads.emplace_back([&, i] {
        const size_t printer = static_cast<size_t>(i) % files.size();
        const HttpResponse r = exporter.probe(addresses[printer], "10");
        const auto level = sample(r.body, "orv_supply_level", {"index=\"1\""});
        if (r.status == 200 && sample(r.body, "orv_up") == 1.0 && level &&
            *level == std::stod(data_value(files[printer], kSupplyLevel))) {
          ++right;
        }
      });
    }
    for (auto& t : threads) t.join();
    return right.load();
  };
  // The first hundreds also warm up: the allocator's high-water mark follows
  // the most probes that overlapped, which takes rounds to reach. Sanitized
  // builds, far slower, check no memory and run one round each.
  const int rounds = ORV_EXPORTER_SANITIZED ? 1 : 2;
  for (int round = 0; round < rounds; ++round) ASSERT_EQ(hundred_at_once(), kProbes) << exporter.log();
  const long before = exporter.rss_kb();
  for (int round = 0; round < rounds; ++round) ASSERT_EQ(hundred_at_once(), kProbes) << exporter.log();
  const long after = exporter.rss_kb();
  // Measured: at most 1.8 MB more after these 200 probes; a probe's records
  // and answer kept each time would add well over 3 MB. A sanitizer's
  // allocator keeps freed memory aside on purpose; there the leak check at
  // the exit below stands for this.
  if (!ORV_EXPORTER_SANITIZED) {
    EXPECT_LT(after - before, 3072) << before << " kB, then " << after << " kB";
  }
  expect_clean_end(exporter);
}

}  // namespace
}  // namespace orv::test
