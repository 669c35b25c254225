// A real Prometheus server finds the printers of a virtual LAN through the
// exporter's /discover and scrapes each through /probe, as the packaged
// scrape configuration does; the values it stores are the data files'.
#include <gtest/gtest.h>

#include <map>

#include "support/exporter_process.h"
#include "support/lab.h"
#include "support/prometheus_server.h"

namespace orv::test {
namespace {

constexpr const char* kSupplyName = "1.3.6.1.2.1.43.11.1.1.6.1.1";

TEST(PrometheusScrape, DiscoversAndScrapesEverySupportedPrinter) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip", "prometheus"});
  VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"},
                  {"p3", "198.18.0.13"}});
  struct Printer {
    std::string host;
    std::string file;
    bool supported;
  };
  const Printer printers[] = {
      {"p1", "printer-a", true}, {"p2", "printer-b", true}, {"p3", "other-vendor", false}};
  std::vector<std::unique_ptr<SnmpsimAgent>> agents;
  for (const auto& printer : printers) {
    agents.push_back(std::make_unique<SnmpsimAgent>(SnmpsimOptions{
        .endpoints = {"0.0.0.0:161"}, .serve = {printer.file + ":public"}, .netns = lan.host(printer.host).netns}));
  }
  const std::string client = lan.host("client").netns;
  Exporter exporter({.program = ORV_EXPORTER_PATH, .config = R"(
auths:
  public:
    community: public
probe:
  timeout: 5s
  retries: 1
discovery:
  interval: 1m
  auth: public
)",
                     .netns = client});
  const std::string exporter_address = "127.0.0.1:" + std::to_string(exporter.port());
  // As the blackbox exporter is used: each discovered address becomes the
  // target parameter of a scrape of the exporter itself.
  PrometheusServer prometheus({.scrape_configs = R"(
  - job_name: printers
    scrape_timeout: 3s
    metrics_path: /probe
    http_sd_configs:
      - url: http://)" + exporter_address + R"(/discover
        refresh_interval: 5s
    relabel_configs:
      - source_labels: [__address__]
        target_label: __param_target
      - source_labels: [__param_target]
        target_label: instance
      - target_label: __address__
        replacement: )" + exporter_address + "\n",
                                          // Room for a slow agent on a busy machine.
                                          .scrape_interval = "3s",
                                          .netns = client});

  const auto up = prometheus.wait_for("orv_up", [](const nlohmann::json& r) { return r.size() >= 2; });
  std::map<std::string, std::string> up_by_instance;
  for (const auto& series : up) up_by_instance[series["metric"]["instance"]] = series["value"][1];
  // The other vendor's printer is not discovered, so never scraped.
  EXPECT_EQ(up_by_instance, (std::map<std::string, std::string>{{"198.18.0.11", "1"}, {"198.18.0.12", "1"}}))
      << up.dump() << "\n" << prometheus.log() << exporter.log();
  for (const auto& series : up) EXPECT_EQ(series["metric"].value("model", ""), "Verdane 8300") << series.dump();

  for (const auto& printer : printers) {
    if (!printer.supported) continue;
    const std::string& address = lan.host(printer.host).ipv4;
    const auto level = prometheus.query("orv_supply_level{index=\"1\",instance=\"" + address + "\"}");
    ASSERT_EQ(level.size(), 1u) << address << " " << level.dump();
    EXPECT_EQ(level[0]["value"][1], data_value(printer.file, kSupplyLevel)) << address;
    EXPECT_EQ(level[0]["metric"]["description"], data_value(printer.file, kSupplyName)) << address;
  }
  const ChildExit end = exporter.stop();
  EXPECT_TRUE(end.code == 0 && end.signal == 0) << end.code << "/" << end.signal << "\n" << exporter.log();
}

}  // namespace
}  // namespace orv::test
