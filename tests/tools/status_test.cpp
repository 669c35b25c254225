// orvctl status, jobs, cancel and charset against simulated printers
// (snmpsimd on a loopback address of this run).
#include <sstream>

#include "orvctl_run.h"
#include "support/charset_printers.h"

namespace {

using orvctl_test::orvctl;
using orvctl_test::parse_document;

class OrvctlStatus : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { agent_.reset(); }

  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
    if (!agent_) {
      address_ = orv::test::free_loopback_address();
      agent_ = std::make_unique<orv::test::SnmpsimAgent>(orv::test::SnmpsimOptions{
          .endpoints = {address_ + ":161"},
          .serve = {"printer-a:public", "printer-a:writer", "printer-b:lab-b",
                    "printer-rowindex:rowindex", "printer-down:down", "printer-latin1",
                    "printer-sjis", "printer-badutf8"}});
    }
  }

  static std::vector<std::string> args(std::vector<std::string> words) {
    words.insert(words.begin() + 1, address_);
    return words;
  }

  static inline std::unique_ptr<orv::test::SnmpsimAgent> agent_;
  static inline std::string address_;
};

TEST_F(OrvctlStatus, JsonCarriesEveryTableWithNamesForItsCodes) {
  const auto result = orvctl(args({"status", "--json"}));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["storage"].size(), 4u);
  EXPECT_EQ(doc["storage"][3]["type_name"], "unknown (0)");
  EXPECT_EQ(doc["devices"][7]["type_name"], "vendor device (154)");
  EXPECT_EQ(doc["printer"]["status_name"], "idle (3)");
  EXPECT_EQ(doc["printer"]["error_state"], "a0040301");
  EXPECT_EQ(doc["printer"]["errors"][0], "lowPaper");
  EXPECT_EQ(doc["trays"][2]["level"], "some left");
  EXPECT_EQ(doc["trays"][2]["current_level"], -3);
  EXPECT_EQ(doc["outputs"][1]["type_name"], "removableBin (3)");
  EXPECT_EQ(doc["toner"][0]["level_text"], "12%");
  EXPECT_EQ(doc["alerts"][0]["group_name"], "markerSupplies (11)");
  EXPECT_EQ(doc["jobs"].size(), 5u);
  EXPECT_EQ(doc["jobs"][3]["created"], "2024-03-15 00:05:42");
  EXPECT_TRUE(doc["jobs"][4]["completed"].is_null());
}

TEST_F(OrvctlStatus, TrayNamesInEveryCharacterSetAreShownAsUtf8) {
  for (const auto& [community, name] : orv::test::kCharsetPrinters) {
    const auto json = orvctl(args({"status", "trays", "--json", "--community", community}));
    EXPECT_EQ(parse_document(json)["trays"][0]["name"], name) << json.out;
    const auto text = orvctl(args({"status", "trays", "--community", community}));
    EXPECT_NE(text.out.find(name), std::string::npos) << text.out;
  }
}

TEST_F(OrvctlStatus, NamedTablesOnlyAsText) {
  const auto result = orvctl(args({"status", "printer", "toner"}));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("lowPaper, lowToner, inputTrayEmpty"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Black Toner Cartridge"), std::string::npos);
  EXPECT_EQ(result.out.find("Storage"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Jobs"), std::string::npos) << result.out;
  EXPECT_EQ(orvctl(args({"status", "paper"})).exit_code, 1);
}

TEST_F(OrvctlStatus, StateMarkersAndSuppliesCarryNames) {
  const struct {
    const char* community;
    const char* state;
    nlohmann::json conditions;
    const char* counter_unit;
    uint32_t life_count;
    const char* black_level;
  } cases[] = {
      {"public", "warning", {"lowPaper", "lowToner", "inputTrayEmpty"},
       "tenThousandthsOfInches (3)", 182734, "12%"},
      {"down", "down", {"doorOpen", "jammed"}, "impressions (7)", 731502, "0%"},
  };
  for (const auto& c : cases) {
    const auto result = orvctl(
        args({"status", "state", "markers", "supplies", "--json", "--community", c.community}));
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const nlohmann::json doc = parse_document(result);
    EXPECT_EQ(doc["state"]["state_name"], c.state) << c.community;
    EXPECT_EQ(doc["state"]["conditions"], c.conditions) << c.community;
    EXPECT_EQ(doc["markers"][0]["counter_unit_name"], c.counter_unit) << c.community;
    EXPECT_EQ(doc["markers"][0]["life_count"], c.life_count) << c.community;
    EXPECT_EQ(doc["supplies"][0]["level_text"], c.black_level) << c.community;
    EXPECT_EQ(doc["supplies"][3]["colorant"], "yellow") << c.community;
    EXPECT_EQ(doc["supplies"][4]["type_name"], "opc (9)") << c.community;
    EXPECT_EQ(doc["supplies"][5]["class_name"], "receptacleThatIsFilled (4)") << c.community;
  }
  const auto text = orvctl(args({"status", "state", "supplies", "--community", "down"}));
  EXPECT_NE(text.out.find("down (5)  other (1)  doorOpen, jammed"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("Markers"), std::string::npos) << text.out;
}

TEST_F(OrvctlStatus, JobKinds) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> kinds = {
      {"all", {"7", "P043", "JOB-0042", "JOB-0044", "JOB-0045"}},
      {"active", {"7", "JOB-0045"}},
      {"done", {"P043", "JOB-0042", "JOB-0044"}}};
  for (const auto& [kind, ids] : kinds) {
    const auto result = orvctl(args({"jobs", "--kind", kind, "--json"}));
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const nlohmann::json doc = parse_document(result);
    std::vector<std::string> got;
    for (const auto& job : doc["jobs"]) got.push_back(job["id"]);
    EXPECT_EQ(got, ids) << kind;
  }
}

TEST_F(OrvctlStatus, CancelWithTheWriteCommunity) {
  // "writer" serves printer-a too; the agent keeps what was written.
  const auto done = orvctl(args({"cancel", "JOB-0045", "--write-community", "writer"}));
  EXPECT_EQ(done.exit_code, 0) << done.err;
  EXPECT_EQ(orv::test::snmpget(address_, "public",
                               {"1.3.6.1.4.1.253.8.76.3.2.1.1.101.8.74.79.66.45.48.48.52.53"})
                .out,
            "1414\n");
  const auto refused = orvctl(args({"cancel", "JOB-0042", "--write-community", "writer"}));
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("refused the cancel"), std::string::npos) << refused.err;
}

TEST_F(OrvctlStatus, CharacterSets) {
  const auto a = orvctl(args({"charset", "--json"}));
  ASSERT_EQ(a.exit_code, 0) << a.err;
  EXPECT_EQ(parse_document(a)["printer"], 106);
  const auto b = orvctl(args({"charset", "--community", "lab-b"}));
  ASSERT_EQ(b.exit_code, 0) << b.err;
  EXPECT_NE(b.out.find("Shift_JIS (17)"), std::string::npos) << b.out;
  EXPECT_NE(b.out.find("UTF-8 (106)"), std::string::npos) << b.out;
}

TEST_F(OrvctlStatus, WholeIdentifiersAreListedAndCancelled) {
  // printer-rowindex: identifiers that share eight characters, and one that
  // is not printable ASCII (listed and taken in its hex: form).
  const struct {
    std::string id;
    std::string cancel_index;  // the cancel object's index; empty for a done job
  } cases[] = {{"hex:4a4f42e9", "4.74.79.66.233"},
               {"JOB-0045", "8.74.79.66.45.48.48.52.53"},
               {"JOB-00451", "9.74.79.66.45.48.48.52.53.49"},
               {"JOB-00452", ""}};
  const auto listed = orvctl(args({"jobs", "--community", "rowindex", "--json"}));
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  const nlohmann::json doc = parse_document(listed);
  ASSERT_EQ(doc["jobs"].size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(doc["jobs"][i]["id"], c.id);
    if (c.cancel_index.empty()) continue;
    const auto cancelled = orvctl(
        args({"cancel", c.id, "--community", "rowindex", "--write-community", "rowindex"}));
    EXPECT_EQ(cancelled.exit_code, 0) << c.id << ": " << cancelled.err;
    EXPECT_EQ(orv::test::snmpget(address_, "rowindex",
                                 {"1.3.6.1.4.1.253.8.76.3.2.1.1.101." + c.cancel_index})
                  .out,
              "1414\n")
        << c.id;
  }
  EXPECT_EQ(orvctl(args({"cancel", "hex:4a4", "--community", "rowindex"})).exit_code, 1);
}

TEST_F(OrvctlStatus, PrinterValuesAreShownSoundly) {
  // printer-rowindex: an alert text with control characters, storage of
  // unknown size, an impossible completion time, a job in state 17.
  const auto text = orvctl(args({"status", "alerts", "storage", "jobs", "--community", "rowindex"}));
  ASSERT_EQ(text.exit_code, 0) << text.err;
  const auto json = orvctl(args({"status", "storage", "jobs", "--community", "rowindex", "--json"}));
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::json doc = parse_document(json);
  const struct {
    const char* what;
    bool holds;
  } cases[] = {
      {"escaped alert", text.out.find(R"(\x1b[31mLow\nToner\x07)") != std::string::npos},
      {"no raw control character", text.out.find_first_of("\x1b\x07") == std::string::npos},
      {"state 17 named", text.out.find("completed (17)") != std::string::npos},
      {"size of known operands", doc["storage"][0]["size_bytes"] == 1024LL * 524288},
      {"size of -1 x -1", doc["storage"][4]["size_bytes"].is_null()},
      {"size of 4096 x -1", doc["storage"][5]["size_bytes"].is_null()},
      {"impossible time", doc["jobs"][0]["completed"].is_null()},
      {"text table's keys", doc["jobs"][0]["status"] == "Waiting" &&
                                doc["jobs"][0]["origin"] == "Internal" &&
                                doc["jobs"][0]["reason"] == "Completed Normally" &&
                                !doc["jobs"][0].contains("text_t6c5")},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.holds) << c.what << "\n" << text.out << json.out;
}

TEST_F(OrvctlStatus, EveryTableIsShownAndEachFailureNamed) {
  // A scripted printer whose tables are two rows of OID texts: its job
  // indexes are no identifiers, and with rows without end no table ends.
  const struct {
    const char* walk;
    std::vector<std::string> words;
    const char* shown;   // a table title the text still shows
    const char* failed;  // what the failure line says
  } cases[] = {
      {"walk:2", {"status"}, "Storage", "reading the jobs table (OrvGetNumberOfJobInfo): a job index"},
      {"walk:-", {"status", "storage", "printer"}, "Printer", "past 10,000 rows"},
  };
  for (const auto& c : cases) {
    const std::string host = orv::test::free_loopback_address();
    orv::test::ScriptedPeer peer(host + ":161",
                                 {"sysobjectid:" + std::string(orvctl_test::kFamily) + ".1.2", c.walk});
    std::vector<std::string> words = c.words;
    words.insert(words.begin() + 1, host);
    const auto result = orvctl(words, 120000);
    EXPECT_EQ(result.exit_code, 1) << c.walk;
    EXPECT_NE(result.out.find(c.shown), std::string::npos) << c.walk << "\n" << result.out;
    EXPECT_NE(result.out.find(c.failed), std::string::npos) << c.walk << "\n" << result.out;
  }
}

}  // namespace
