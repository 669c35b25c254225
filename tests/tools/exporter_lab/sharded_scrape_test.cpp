// The packaged sharded set-up: two Prometheus servers read one /discover
// on a virtual LAN with the relabelling of
// packaging/prometheus/prometheus_sharded.yml, and each printer is scraped
// by exactly one of them.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "support/exporter_process.h"
#include "support/lab.h"
#include "support/prometheus_server.h"

namespace orv::test {
namespace {

// The example's scrape jobs, aimed at `exporter` and keeping `shard`.
std::string sharded_jobs(const std::string& exporter, const std::string& shard) {
  std::ifstream file(source_dir() + "/packaging/prometheus/prometheus_sharded.yml");
  std::stringstream text;
  text << file.rdbuf();
  std::string jobs = text.str().substr(text.str().find("scrape_configs:\n") + 16);
  for (size_t at; (at = jobs.find("orv-exporter.example.net:9470")) != std::string::npos;) {
    jobs.replace(at, 29, exporter);
  }
  const size_t at = jobs.find("regex: \"0\"");
  return jobs.replace(at, 10, "regex: \"" + shard + "\"");
}

TEST(ShardedScrape, EveryPrinterIsScrapedByExactlyOneServer) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip", "prometheus"});
  // Addresses whose hashes fall on both shards (three on 0, one on 1).
  const std::map<std::string, std::string> printers = {{"198.18.0.11", "printer-a"},
                                                       {"198.18.0.12", "printer-b"},
                                                       {"198.18.0.13", "printer-idle"},
                                                       {"198.18.0.14", "printer-printing"}};
  std::vector<std::pair<std::string, std::string>> hosts = {{"client", "198.18.0.1"}};
  for (const auto& [address, file] : printers) hosts.emplace_back("p" + address.substr(9), address);
  VirtualLan lan(hosts);
  std::vector<std::unique_ptr<SnmpsimAgent>> agents;
  for (const auto& [address, file] : printers) {
    agents.push_back(std::make_unique<SnmpsimAgent>(
        SnmpsimOptions{.endpoints = {"0.0.0.0:161"},
                       .serve = {file + ":public"},
                       .netns = lan.host("p" + address.substr(9)).netns}));
  }
  const std::string client = lan.host("client").netns;
  Exporter exporter(
      {.program = ORV_EXPORTER_PATH, .config = "probe: {timeout: 5s}\n", .netns = client});
  const std::string address = "127.0.0.1:" + std::to_string(exporter.port());
  PrometheusServer first(
      {.scrape_configs = sharded_jobs(address, "0"), .scrape_interval = "2s", .netns = client});
  PrometheusServer second(
      {.scrape_configs = sharded_jobs(address, "1"), .scrape_interval = "2s", .netns = client});

  std::map<std::string, int> scrapers;  // instance -> servers that scrape it
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (scrapers.size() < printers.size() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    scrapers.clear();
    for (const PrometheusServer* server : {&first, &second}) {
      for (const auto& series : server->query("orv_up == 1"))
        ++scrapers[series["metric"]["instance"]];
    }
  }
  std::map<std::string, int> expected;
  for (const auto& [address, file] : printers) expected[address] = 1;
  EXPECT_EQ(scrapers, expected) << first.log() << second.log() << exporter.log();
  EXPECT_EQ(first.query("orv_up").size(), 3u);
  EXPECT_EQ(second.query("orv_up").size(), 1u);
}

}  // namespace
}  // namespace orv::test
