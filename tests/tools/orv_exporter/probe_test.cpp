// /probe against every simulated printer of tests/data (snmpsimd on a
// loopback address of this run, each file under its own community): the
// exposition passes promtool, and its values are the data files' own.
#include <cstdio>
#include <fstream>
#include <thread>

#include "exporter_harness.h"
#include "support/charset_printers.h"
#include "support/kept_http.h"

namespace {

using exporter_test::promtool_problems;
using exporter_test::RunningExporter;
using exporter_test::sample;

// OID -> value of a data file.
std::map<std::string, std::string> data_values(const std::string& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(orv::test::data_file(file));
  for (std::string line; std::getline(in, line);) {
    const size_t first = line.find('|');
    const size_t second = line.find('|', first + 1);
    if (second != std::string::npos) values[line.substr(0, first)] = line.substr(second + 1);
  }
  return values;
}

int number(const std::map<std::string, std::string>& values, const std::string& oid) {
  return std::stoi(values.at(oid));
}

class ExporterProbe : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    exporter_.reset();
    agent_.reset();
  }

  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "promtool"});
    if (agent_) return;
    address_ = orv::test::free_loopback_address();
    agent_ = std::make_unique<orv::test::SnmpsimAgent>(
        orv::test::SnmpsimOptions{.endpoints = {address_ + ":161"}});
    std::string yaml = "auths:\n";
    for (const char* file : kPrinters)
      yaml += std::string("  ") + file + ": {community: " + file + "}\n";
    exporter_ = std::make_unique<RunningExporter>(exporter_test::config_from(yaml));
  }

  static std::string probe(const std::string& auth) {
    const auto answer = exporter_->get("/probe?target=" + address_ + "&auth=" + auth);
    EXPECT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(promtool_problems(answer.body), "") << auth << ":\n" << answer.body;
    return answer.body;
  }

  static constexpr const char* kPrinters[] = {
      "printer-a",        "printer-b",     "printer-manytrays", "printer-badversion",
      "printer-prefix61", "other-vendor",  "printer-idle",      "printer-printing",
      "printer-warmup",   "printer-down",  "printer-offline",   "printer-testing",
      "printer-latin1",   "printer-sjis",  "printer-badutf8"};
  static inline std::unique_ptr<orv::test::SnmpsimAgent> agent_;
  static inline std::unique_ptr<RunningExporter> exporter_;
  static inline std::string address_;
};

TEST_F(ExporterProbe, EverySupportedPrinterShowsItsDataFilesValues) {
  for (const char* file : {"printer-a", "printer-b", "printer-manytrays", "printer-badversion"}) {
    SCOPED_TRACE(file);
    const std::string metrics = probe(file);
    const auto data = data_values(file);
    EXPECT_EQ(sample(metrics, "orv_up"), 1);
    // A refresh that fails (printer-badversion) leaves the option texts empty.
    const bool options = sample(metrics, "orv_table_ok", {{"table", "options"}}) == 1;
    EXPECT_EQ(sample(metrics, "orv_printer_info",
                     {{"sys_name", options ? data.at("1.3.6.1.2.1.1.5.0") : ""},
                      {"sys_object_id", data.at("1.3.6.1.2.1.1.2.0")},
                      {"model", "Verdane 8300"}}),
              1)
        << metrics;
    // The library reports the last hrPrinterTable row.
    std::string row;
    for (const auto& [oid, value] : data) {
      if (oid.rfind("1.3.6.1.2.1.25.3.5.1.1.", 0) == 0) row = oid.substr(oid.rfind('.'));
    }
    const char* states[] = {"other", "unknown", "idle", "printing", "warmup"};
    const int status = number(data, "1.3.6.1.2.1.25.3.5.1.1" + row);
    for (int code = 1; code <= 5; ++code) {
      EXPECT_EQ(sample(metrics, "orv_printer_status", {{"status", states[code - 1]}}),
                code == status ? 1 : 0);
    }
    // The first octet's highest bit is lowPaper.
    const int first_octet =
        std::stoi(data.at("1.3.6.1.2.1.25.3.5.1.2" + row).substr(0, 2), nullptr, 16);
    EXPECT_EQ(sample(metrics, "orv_printer_error", {{"condition", "lowPaper"}}),
              (first_octet & 0x80) ? 1 : 0);
    // Every supply, whatever its type, under its own index, with its colorant.
    const std::map<int, std::string> types = {
        {3, "toner"}, {4, "wasteToner"}, {9, "opc"}, {15, "fuser"}};
    int supplies = 0;
    for (int row = 1; data.count("1.3.6.1.2.1.43.11.1.1.5.1." + std::to_string(row)); ++row) {
      const std::string suffix = ".1." + std::to_string(row);
      const int colorant = number(data, "1.3.6.1.2.1.43.11.1.1.3" + suffix);
      const std::map<std::string, std::string> labels = {
          {"index", std::to_string(++supplies)},
          {"type", types.at(number(data, "1.3.6.1.2.1.43.11.1.1.5" + suffix))},
          {"colorant",
           colorant == 0 ? "" : data.at("1.3.6.1.2.1.43.12.1.1.4.1." + std::to_string(colorant))},
          {"description", data.at("1.3.6.1.2.1.43.11.1.1.6" + suffix)}};
      EXPECT_EQ(sample(metrics, "orv_supply_level", labels),
                number(data, "1.3.6.1.2.1.43.11.1.1.9" + suffix));
      EXPECT_EQ(sample(metrics, "orv_supply_max_capacity", labels),
                number(data, "1.3.6.1.2.1.43.11.1.1.8" + suffix));
    }
    EXPECT_GT(supplies, 0);
    EXPECT_FALSE(sample(metrics, "orv_supply_level", {{"index", std::to_string(supplies + 1)}}));
    int trays = 0;
    for (int row = 1; data.count("1.3.6.1.2.1.43.8.2.1.10.1." + std::to_string(row)); ++row) {
      const std::string suffix = ".1." + std::to_string(row);
      const std::map<std::string, std::string> labels = {
          {"index", std::to_string(++trays)},
          {"name", data.at("1.3.6.1.2.1.43.8.2.1.13" + suffix)}};
      EXPECT_EQ(sample(metrics, "orv_input_tray_level", labels),
                number(data, "1.3.6.1.2.1.43.8.2.1.10" + suffix));
      EXPECT_EQ(sample(metrics, "orv_input_tray_max_capacity", labels),
                number(data, "1.3.6.1.2.1.43.8.2.1.9" + suffix));
    }
    EXPECT_FALSE(sample(metrics, "orv_input_tray_level", {{"index", std::to_string(trays + 1)}}));
  }
}

TEST_F(ExporterProbe, OptionsAndTheirFailures) {
  const std::string a = probe("printer-a");
  EXPECT_EQ(sample(a, "orv_memory_bytes"), 524288.0 * 1024);
  EXPECT_EQ(sample(a, "orv_option_installed", {{"option", "DuplexModule"}}), 1);
  EXPECT_EQ(sample(a, "orv_option_installed", {{"option", "Copier"}}), 0);
  EXPECT_EQ(sample(a, "orv_input_tray_media_info",
                   {{"index", "2"}, {"name", "Tray 2"}, {"media_size", "Letter"}}),
            1);
  EXPECT_EQ(sample(a, "orv_supply_level_ratio", {{"index", "1"}}), 0.12);
  // The ROM version of this one breaks the refresh; the tables still come.
  const std::string bad = probe("printer-badversion");
  EXPECT_EQ(sample(bad, "orv_table_ok", {{"table", "options"}}), 0);
  EXPECT_EQ(sample(bad, "orv_table_result_code", {{"table", "options"}}), -1);
  EXPECT_EQ(sample(bad, "orv_table_ok", {{"table", "toner"}}), 1);
}

TEST_F(ExporterProbe, PageCountersAndTheOverallStateAreThePrintersOwn) {
  const std::pair<const char*, const char*> cases[] = {
      {"printer-idle", "idle"}, {"printer-printing", "printing"}, {"printer-warmup", "warming_up"},
      {"printer-down", "down"}, {"printer-offline", "offline"},   {"printer-testing", "testing"},
      {"printer-a", "warning"}};
  for (const auto& [file, state] : cases) {
    SCOPED_TRACE(file);
    const std::string metrics = probe(file);
    const auto data = data_values(file);
    for (const auto& [other, other_state] : cases) {
      EXPECT_EQ(sample(metrics, "orv_printer_state", {{"state", other_state}}),
                std::string(other_state) == state ? 1 : 0);
    }
    // Counters in pages carry their unit in the name, the others in a label.
    int markers = 0;
    for (int row = 1; data.count("1.3.6.1.2.1.43.10.2.1.4.1." + std::to_string(row)); ++row) {
      const std::string suffix = ".1." + std::to_string(row);
      const int unit = number(data, "1.3.6.1.2.1.43.10.2.1.3" + suffix);
      const std::string stem = unit == 7   ? "_impressions_total"
                               : unit == 8 ? "_sheets_total"
                                           : "_total";
      std::map<std::string, std::string> labels = {{"marker", std::to_string(++markers)}};
      if (unit != 7 && unit != 8) labels["unit"] = "tenThousandthsOfInches";
      EXPECT_EQ(sample(metrics, "orv_marker_life" + stem, labels),
                std::stod(data.at("1.3.6.1.2.1.43.10.2.1.4" + suffix)))
          << metrics;
      EXPECT_EQ(sample(metrics, "orv_marker_power_on" + stem, labels),
                std::stod(data.at("1.3.6.1.2.1.43.10.2.1.5" + suffix)));
    }
    EXPECT_GT(markers, 0);
  }
}

TEST_F(ExporterProbe, PrintersOutsideTheFamilyAreDown) {
  for (const char* file : {"printer-prefix61", "other-vendor"}) {
    const std::string metrics = probe(file);
    EXPECT_EQ(sample(metrics, "orv_up"), 0) << metrics;
    EXPECT_EQ(sample(metrics, "orv_probe_result_code"), -2) << metrics;
    EXPECT_FALSE(sample(metrics, "orv_printer_info")) << metrics;
  }
}

TEST_F(ExporterProbe, ProbesOfDifferentPrintersRunAtOnce) {
  // Each on its own handle and thread; every answer is its own printer's.
  std::vector<std::thread> threads;
  std::vector<std::string> answers(std::size(kPrinters) * 2);
  for (size_t i = 0; i < answers.size(); ++i) {
    threads.emplace_back([&, i] {
      answers[i] =
          exporter_
              ->get("/probe?target=" + address_ + "&auth=" + kPrinters[i % std::size(kPrinters)])
              .body;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < answers.size(); ++i) {
    const std::string file = kPrinters[i % std::size(kPrinters)];
    const bool supported = file != "printer-prefix61" && file != "other-vendor";
    EXPECT_EQ(sample(answers[i], "orv_up"), supported ? 1 : 0) << file;
    if (supported) {
      EXPECT_EQ(sample(answers[i], "orv_printer_info",
                       {{"sys_object_id", data_values(file).at("1.3.6.1.2.1.1.2.0")}}),
                1)
          << file << answers[i];
    }
  }
}

TEST_F(ExporterProbe, RequestsTheServerRefusesOrAnswersAlone) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"/probe", 400, "the target parameter is missing"},
      {"/probe?target=", 400, "the target parameter is missing"},
      {"/probe?target=" + address_ + "&auth=nosuch", 400, "unknown auth \"nosuch\""},
      {"/probes", 404, "no such page"},
      {"/", 200, "href=\"/discover\""},
      {"/printer?target=255.255.255.255", 400, "is a broadcast address"},
      {"/metrics", 200, "orv_exporter_probes_total"},
  };
  for (const auto& [path, status, text] : cases) {
    const auto answer = exporter_->get(path);
    EXPECT_EQ(answer.status, status) << path;
    EXPECT_NE(answer.body.find(text), std::string::npos) << path << ": " << answer.body;
  }
  const auto metrics = exporter_->get("/metrics");
  EXPECT_EQ(promtool_problems(metrics.body), "") << metrics.body;
}

// Header and body in one piece: when the body followed in a write of its
// own, on a kept connection it waited for the header's delayed
// acknowledgement, 40 ms a scrape.
TEST_F(ExporterProbe, AnswersOnAKeptConnectionArriveWhole) {
  orv::test::KeptHttpConnection connection("127.0.0.1", exporter_->port());
  for (const char* path : {"/", "/metrics", "/", "/metrics"}) {
    const auto answer = connection.get(path);
    EXPECT_EQ(answer.status, 200) << path << " " << answer.error;
    EXPECT_TRUE(connection.last_came_whole()) << path;
  }
}

TEST_F(ExporterProbe, AnswersWithinTheScrapeTimeout) {
  orv::test::ScriptedPeer silent(orv::test::free_loopback_address() + ":161", {"silent"});
  // A silent printer, and one that answers but has more rows than the time
  // allows: both are down when the time is up, and the answer is there.
  const std::tuple<std::string, std::string, double> cases[] = {
      {silent.bind().substr(0, silent.bind().rfind(':')), "2", 2.0},
      {address_ + "&auth=printer-manytrays", "0.1", 1.0},
  };
  for (const auto& [target, timeout, limit] : cases) {
    const auto start = std::chrono::steady_clock::now();
    const auto answer = exporter_->get("/probe?target=" + target,
                                       "X-Prometheus-Scrape-Timeout-Seconds: " + timeout + "\r\n");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), limit) << target;
    EXPECT_EQ(sample(answer.body, "orv_up"), 0) << target << answer.body;
    EXPECT_EQ(sample(answer.body, "orv_probe_result_code"), -203) << target << answer.body;
  }
}

TEST_F(ExporterProbe, TextsInEveryCharacterSetReachTheLabelsAsUtf8) {
  for (const auto& [file, name] : orv::test::kCharsetPrinters) {
    const std::string metrics = probe(file);  // promtool passes it
    EXPECT_EQ(sample(metrics, "orv_input_tray_level", {{"index", "1"}, {"name", name}}), 250)
        << file << "\n" << metrics;
  }
}

// No label changes with the state; printer-b's model is found though its
// address is not written canonically.
TEST_F(ExporterProbe, StatesAndCodesKeepTheirSeriesAndTheModelAnySpelling) {
  unsigned a[4] = {};
  std::sscanf(address_.c_str(), "%u.%u.%u.%u", &a[0], &a[1], &a[2], &a[3]);
  char padded[32];  // 127.0.0.21 -> 127.000.000.021
  std::snprintf(padded, sizeof padded, "%03u.%03u.%03u.%03u", a[0], a[1], a[2], a[3]);
  const std::tuple<std::string, double, double> cases[] = {
      {std::string(padded) + "&auth=printer-b", 1, 0}, {address_ + "&auth=printer-prefix61", 0, -2}};
  for (const auto& [target, up, code] : cases) {
    const std::string body = exporter_->get("/probe?target=" + target).body;
    EXPECT_EQ(sample(body, "orv_up"), up) << body;
    EXPECT_EQ(sample(body, "orv_probe_result_code"), code) << body;
    EXPECT_EQ(body.find("orv_up{"), std::string::npos) << body;
    const std::optional<double> one = up == 1 ? std::optional<double>(1) : std::nullopt;
    EXPECT_EQ(sample(body, "orv_printer_info", {{"model", "Verdane 8300"}}), one) << body;
    EXPECT_EQ(sample(body, "orv_printer_status", {{"status", "printing"}}), one) << body;
  }
}

}  // namespace
