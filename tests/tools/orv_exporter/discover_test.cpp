// /discover on a virtual LAN of its own: two supported printers and one of
// another vendor, each snmpsimd in its namespace; the exporter runs in the
// client namespace, so its broadcasts never leave the LAN.
#include <nlohmann/json.hpp>

#include "exporter_harness.h"

namespace {

TEST(ExporterDiscover, ListsTheSupportedPrintersOnceAndCachesTheSearch) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "ip"});
  orv::test::VirtualLan lan({{"client", "198.18.0.1"},
                             {"p1", "198.18.0.11"},
                             {"p2", "198.18.0.12"},
                             {"p3", "198.18.0.13"}});
  std::vector<std::unique_ptr<orv::test::SnmpsimAgent>> agents;
  for (const auto& [host, file] : {std::pair{"p1", "printer-a"}, std::pair{"p2", "printer-b"},
                                   std::pair{"p3", "other-vendor"}}) {
    agents.push_back(std::make_unique<orv::test::SnmpsimAgent>(
        orv::test::SnmpsimOptions{.endpoints = {"0.0.0.0:161"},
                                  .serve = {std::string(file) + ":public"},
                                  .netns = lan.host(host).netns}));
  }
  std::unique_ptr<exporter_test::RunningExporter> exporter;
  exporter_test::HttpAnswer first, second, probe, metrics;
  lan.run_in("client", [&] {
    // Started here, the server's threads and the library's sockets are on the LAN.
    exporter = std::make_unique<exporter_test::RunningExporter>(
        exporter_test::config_from("discovery: {timeout: 500ms, interval: 1h}\n"));
    first = exporter->get("/discover");
    second = exporter->get("/discover");
    probe = exporter->get("/probe?target=198.18.0.12");
    metrics = exporter->get("/metrics");
  });
  exporter.reset();
  ASSERT_EQ(first.status, 200) << first.body;
  EXPECT_EQ(nlohmann::json::parse(first.body), nlohmann::json::parse(R"([
      {"targets": ["198.18.0.11"], "labels": {"model": "Verdane 8300"}},
      {"targets": ["198.18.0.12"], "labels": {"model": "Verdane 8300"}}])"));
  EXPECT_EQ(second.body, first.body);
  EXPECT_EQ(exporter_test::sample(metrics.body, "orv_exporter_discovery_runs_total"), 1);
  EXPECT_EQ(exporter_test::sample(metrics.body, "orv_exporter_discovered_printers"), 2);
  EXPECT_EQ(exporter_test::sample(probe.body, "orv_printer_info",
                                  {{"model", "Verdane 8300"}, {"sys_name", "printer-b-lab"}}),
            1)
      << probe.body;
}

}  // namespace
