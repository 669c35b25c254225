// A real Prometheus server finds the printers of a virtual LAN through the
// exporter's /discover and scrapes each through /probe, as the packaged
// scrape configuration does; the values it stores are the data files'.
#include <gtest/gtest.h>

#include <map>

#include "support/charset_printers.h"
#include "support/exporter_process.h"
#include "support/lab.h"
#include "support/prometheus_server.h"

namespace orv::test {
namespace {

constexpr const char* kSupplyName = "1.3.6.1.2.1.43.11.1.1.6.1.1";

TEST(PrometheusScrape, DiscoversAndScrapesEverySupportedPrinter) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip", "prometheus"});
  VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"},
                  {"p3", "198.18.0.13"}, {"p4", "198.18.0.14"}, {"p5", "198.18.0.15"},
                  {"p6", "198.18.0.16"}});
  struct Printer {
    std::string host;
    std::string file;
    bool supported;
    std::string tray;  // the first tray's name as UTF-8
  };
  const Printer printers[] = {{"p1", "printer-a", true, "Tray 1"},
                              {"p2", "printer-b", true, "Tray 1"},
                              {"p3", "other-vendor", false, ""},
                              {"p4", kCharsetPrinters[0].first, true, kCharsetPrinters[0].second},
                              {"p5", kCharsetPrinters[1].first, true, kCharsetPrinters[1].second},
                              {"p6", kCharsetPrinters[2].first, true, kCharsetPrinters[2].second}};
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

  const auto up = prometheus.wait_for("orv_up", [](const nlohmann::json& r) { return r.size() >= 5; });
  std::map<std::string, std::string> up_by_instance;
  for (const auto& series : up) up_by_instance[series["metric"]["instance"]] = series["value"][1];
  // The other vendor's printer is not discovered, so never scraped.
  // Texts that are not UTF-8 cost no printer its scrape.
  EXPECT_EQ(up_by_instance, (std::map<std::string, std::string>{{"198.18.0.11", "1"}, {"198.18.0.12", "1"},
                                                                {"198.18.0.14", "1"}, {"198.18.0.15", "1"},
                                                                {"198.18.0.16", "1"}}))
      << up.dump() << "\n" << prometheus.log() << exporter.log();
  // The discovered model is a meta label: orv_printer_info's own model stands.
  for (const auto& series : prometheus.query("orv_printer_info")) {
    EXPECT_EQ(series["metric"].value("model", ""), "Verdane 8300") << series.dump();
    EXPECT_FALSE(series["metric"].contains("exported_model")) << series.dump();
  }

  for (const auto& printer : printers) {
    if (!printer.supported) continue;
    const std::string& address = lan.host(printer.host).ipv4;
    const auto level = prometheus.query("orv_supply_level{index=\"1\",instance=\"" + address + "\"}");
    ASSERT_EQ(level.size(), 1u) << address << " " << level.dump();
    EXPECT_EQ(level[0]["value"][1], data_value(printer.file, kSupplyLevel)) << address;
    EXPECT_EQ(level[0]["metric"]["description"], data_value(printer.file, kSupplyName)) << address;
    const auto tray = prometheus.query("orv_input_tray_level{index=\"1\",instance=\"" + address + "\"}");
    ASSERT_EQ(tray.size(), 1u) << address << " " << tray.dump();
    EXPECT_EQ(tray[0]["metric"]["name"], printer.tray) << address;
  }
  const ChildExit end = exporter.stop();
  EXPECT_TRUE(end.code == 0 && end.signal == 0) << end.code << "/" << end.signal << "\n" << exporter.log();
}

}  // namespace
}  // namespace orv::test
