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
  const nlohmann::json groups = nlohmann::json::parse(first.body);
  ASSERT_EQ(groups.size(), 2u) << first.body;
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i]["targets"], nlohmann::json::array({"198.18.0.1" + std::to_string(i + 1)}));
    EXPECT_EQ(groups[i]["labels"]["__meta_orv_model"], "Verdane 8300");
  }
  EXPECT_EQ(second.body, first.body);
  EXPECT_EQ(exporter_test::sample(metrics.body, "orv_exporter_discovery_runs_total"), 1);
  EXPECT_EQ(exporter_test::sample(metrics.body, "orv_exporter_discovered_printers"), 2);
  EXPECT_EQ(exporter_test::sample(probe.body, "orv_printer_info",
                                  {{"model", "Verdane 8300"}, {"sys_name", "printer-b-lab"}}),
            1)
      << probe.body;
}

// A printer switched off stays on the list for the retention (and probes
// orv_up 0); one that ignores the first search is found by its retry.
TEST(ExporterDiscover, PrintersStayListedForTheRetentionAndOneLostAnswerIsRetried) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "ip", "python3"});
  orv::test::VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
  auto printer = std::make_unique<orv::test::SnmpsimAgent>(orv::test::SnmpsimOptions{
      .endpoints = {"0.0.0.0:161"}, .serve = {"printer-a:public"}, .netns = lan.host("p1").netns});
  orv::test::ScriptedPeer late("0.0.0.0:161",
                               {"silent-first:1", "sysobjectid:1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2"},
                               lan.host("p2").netns);
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"24h", {"198.18.0.11", "198.18.0.12"}}, {"1ms", {"198.18.0.12"}}};
  std::vector<nlohmann::json> before, after;
  exporter_test::HttpAnswer off;
  lan.run_in("client", [&] {
    std::vector<std::unique_ptr<exporter_test::RunningExporter>> exporters;
    for (const auto& [retention, listed] : cases) {
      exporters.push_back(std::make_unique<exporter_test::RunningExporter>(exporter_test::config_from(
          std::string("discovery: {timeout: 300ms, interval: 1ms, addresses: [198.18.0.255], "
                      "retention: ") + retention + "}\n")));
      before.push_back(nlohmann::json::parse(exporters.back()->get("/discover").body));
    }
    printer.reset();  // switched off
    for (const auto& exporter : exporters) {
      after.push_back(nlohmann::json::parse(exporter->get("/discover").body));
    }
    off = exporters[0]->get("/probe?target=198.18.0.11", "X-Prometheus-Scrape-Timeout-Seconds: 1\r\n");
  });
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(before[i].size(), 2u) << before[i];
    std::vector<std::string> targets;
    for (const auto& group : after[i]) targets.push_back(group["targets"][0]);
    EXPECT_EQ(targets, cases[i].second) << after[i];
  }
  EXPECT_EQ(after[0][0]["labels"].value("__meta_orv_last_seen_seconds", "after"),
            before[0][0]["labels"].value("__meta_orv_last_seen_seconds", "before"));
  EXPECT_EQ(exporter_test::sample(off.body, "orv_up"), 0) << off.body;
}

}  // namespace
