// Headless chromium loads the fleet page from an exporter on a virtual LAN:
// every printer with its data file's values, no printer read twice by
// reloads, and a screenshot left in the build folder for a person.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "support/exporter_process.h"
#include "support/http_get.h"
#include "support/lab.h"

namespace orv::test {
namespace {

// What chromium shows of `url`; with `screenshot`, the picture instead.
RunResult browse(const VirtualLan& lan, const std::string& profile, const std::string& url,
                 const std::string& screenshot = {}) {
  std::vector<std::string> argv = {"chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
                                   "--user-data-dir=" + profile};
  argv.push_back(screenshot.empty() ? "--dump-dom" : "--screenshot=" + screenshot);
  argv.insert(argv.end(), {"--window-size=1280,900", url});
  return lan.exec("client", argv, 60000);
}

// The card of `address` in the page: the text of its <article>.
std::string card(const std::string& dom, const std::string& address) {
  const size_t start = dom.find("<article data-target=\"" + address + "\"");
  return start == std::string::npos ? "" : dom.substr(start, dom.find("</article>", start) - start);
}

// A supply's level as the page writes it, from the data file's row.
std::string level_words(const std::string& file, const std::string& suffix) {
  const int level = std::stoi(data_value(file, "1.3.6.1.2.1.43.11.1.1.9" + suffix));
  const int max = std::stoi(data_value(file, "1.3.6.1.2.1.43.11.1.1.8" + suffix));
  if (level == -3) return "some left";
  if (level < 0 || max <= 0) return std::to_string(level);
  const bool receptacle = data_value(file, "1.3.6.1.2.1.43.11.1.1.4" + suffix) == "4";
  return std::to_string((level * 100 + max / 2) / max) + "%" + (receptacle ? " free" : "");
}

TEST(FleetPage, EveryPrinterWithItsValuesFromBoundedProbes) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip", "chromium"});
  struct Printer {
    std::string host, address, file, state, pages;
  };
  const std::vector<Printer> printers = {
      {"p1", "198.18.0.11", "printer-a", "Warning: lowPaper, lowToner, inputTrayEmpty", "182734"},
      {"p2", "198.18.0.12", "printer-idle", "Idle", "72320"},
      {"p3", "198.18.0.13", "printer-down", "Down: ", "731502"},
      {"p4", "198.18.0.14", "printer-offline", "Offline", "90210"}};
  std::vector<std::pair<std::string, std::string>> hosts = {{"client", "198.18.0.1"}};
  for (const Printer& p : printers) hosts.emplace_back(p.host, p.address);
  VirtualLan lan(hosts);
  std::vector<std::unique_ptr<SnmpsimAgent>> agents;
  for (const Printer& p : printers) {
    agents.push_back(
        std::make_unique<SnmpsimAgent>(SnmpsimOptions{.endpoints = {"0.0.0.0:161"},
                                                      .serve = {p.file + ":public"},
                                                      .netns = lan.host(p.host).netns}));
  }
  const std::string client = lan.host("client").netns;
  Exporter exporter({.program = ORV_EXPORTER_PATH,
                     .config = "probe: {timeout: 5s}\ndiscovery: {interval: 10m}\n"
                               "web: {page_max_age: 10m}\n",
                     .netns = client});
  const std::string base = "http://127.0.0.1:" + std::to_string(exporter.port());
  const std::string profile =
      std::filesystem::temp_directory_path() / ("orv-chromium-" + lan.name());

  HttpResponse metrics;  // the page shows what /discover found, as Prometheus asks it
  run_in_netns(client, [&] { metrics = http_get("127.0.0.1", exporter.port(), "/discover"); });
  std::string dom;
  for (int load = 0; load < 4; ++load) dom = browse(lan, profile, base + "/").out;
  EXPECT_LT(dom.size(), 100u * 1024);
  EXPECT_NE(dom.find("<html lang=\"en\""), std::string::npos) << dom;
  for (const Printer& p : printers) {
    SCOPED_TRACE(p.file);
    const std::string text = card(dom, p.address);
    ASSERT_FALSE(text.empty()) << dom;
    EXPECT_NE(text.find(data_value(p.file, "1.3.6.1.2.1.1.5.0")), std::string::npos) << text;
    EXPECT_NE(text.find(">" + p.state), std::string::npos) << text;
    EXPECT_NE(text.find(">" + p.pages), std::string::npos) << text;  // pages or marker count
    int supplies = 0;
    for (int row = 1;; ++row, ++supplies) {
      const std::string suffix = ".1." + std::to_string(row);
      std::string description;
      try {
        description = data_value(p.file, "1.3.6.1.2.1.43.11.1.1.6" + suffix);
      } catch (const std::runtime_error&) {
        break;  // past the last supply
      }
      const std::string level = level_words(p.file, suffix);
      EXPECT_NE(text.find(description), std::string::npos) << text;
      EXPECT_NE(text.find("<span>" + level + "</span>"), std::string::npos) << level << text;
    }
    EXPECT_GT(supplies, 0);
  }
  // One probe a printer however often the page was loaded.
  run_in_netns(client, [&] { metrics = http_get("127.0.0.1", exporter.port(), "/metrics"); });
  EXPECT_EQ(sample(metrics.body, "orv_exporter_probes_total"), printers.size()) << metrics.body;

  // A printer's own page has its status tables, with their headers.
  const std::string one = browse(lan, profile, base + "/printer?target=198.18.0.12").out;
  EXPECT_NE(one.find("<caption>Supplies</caption>"), std::string::npos) << one;
  EXPECT_NE(one.find("<th scope=\"col\">Colorant</th>"), std::string::npos) << one;

  const std::string picture = std::string(ORV_SCREENSHOT_DIR) + "/fleet_page.png";
  std::filesystem::remove(picture);
  browse(lan, profile, base + "/", picture);
  EXPECT_GT(std::filesystem::exists(picture) ? std::filesystem::file_size(picture) : 0, 0u);
  std::filesystem::remove_all(profile);
  const ChildExit end = exporter.stop();  // a sanitizer's report makes this fail
  EXPECT_TRUE(end.code == 0 && end.signal == 0) << end.code << "/" << end.signal << exporter.log();
}

}  // namespace
}  // namespace orv::test
