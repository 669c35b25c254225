// orvctl options and supported against simulated printers (snmpsimd on a
// loopback address of this run), and the failure messages of a printer that
// never answers (the scripted peer).
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "orvctl_run.h"

namespace {

using orvctl_test::orvctl;
using orvctl_test::parse_document;
using orvctl_test::kFamily;

class OrvctlPrinters : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { agent_.reset(); }

  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
    if (!agent_) {
      address_ = orv::test::free_loopback_address();
      // One agent, one printer per community.
      agent_ = std::make_unique<orv::test::SnmpsimAgent>(orv::test::SnmpsimOptions{
          .endpoints = {address_ + ":161"},
          .serve = {"printer-a:public", "printer-b:lab-b", "other-vendor:kestrel",
                    "printer-badversion:badversion"}});
    }
  }

  static std::vector<std::string> options_args(std::vector<std::string> extra) {
    std::vector<std::string> args = {"options", address_, "--timeout", "1000", "--retries", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  static inline std::unique_ptr<orv::test::SnmpsimAgent> agent_;
  static inline std::string address_;
};

TEST_F(OrvctlPrinters, OptionsJsonCarriesEveryKeyAndTheTrays) {
  const auto result = orvctl(options_args({"--json"}));
  ASSERT_EQ(result.exit_code, 0) << result.err << result.out;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["command"], "options");
  EXPECT_EQ(doc["ok"], true);
  EXPECT_EQ(doc["address"], address_);
  const nlohmann::json& o = doc["options"];
  EXPECT_EQ(o["SysName"], "printer-a-floor2");
  EXPECT_EQ(o["PrinterRomVersion"], "Printer Controller v2.41.7 - Processor");
  EXPECT_EQ(o["PrinterRomVersionMajor"], 2);
  EXPECT_EQ(o["PrinterRomVersionMinor"], 41);
  EXPECT_EQ(o["PrinterRomVersionRevision"], 7);
  EXPECT_EQ(o["MemorySizeInKByte"], 524288);
  EXPECT_EQ(o["MemorySizeInMByte"], 512);
  EXPECT_EQ(o["Scanner"], true);
  EXPECT_EQ(o["Copier"], false);
  EXPECT_EQ(o["HardDisk"], true);
  EXPECT_EQ(o["DuplexModule"], true);
  EXPECT_EQ(o["InTrayMSI"], true);
  EXPECT_EQ(o["InTrayEx2"], false);
  EXPECT_EQ(o["NumberOfInputTray"], 3);
  EXPECT_EQ(o["NetWareSAPUnitName"], "VERDANE8300_0A15");
  EXPECT_EQ(o["MinPasswordLength"], 8);
  EXPECT_EQ(o["UserPromptSetting"], 1);
  EXPECT_EQ(o.size(), 19u);

  const nlohmann::json& trays = doc["input_trays"];
  ASSERT_EQ(trays.size(), 3u);
  EXPECT_EQ(trays[0]["index"], 1);
  EXPECT_EQ(trays[0]["name"], "Tray 1");
  EXPECT_EQ(trays[0]["media_size"], 25);
  EXPECT_EQ(trays[0]["media_size_name"], "A4");
  EXPECT_EQ(trays[0]["direction"], 3);
  EXPECT_EQ(trays[0]["max_capacity"], 500);
  EXPECT_EQ(trays[0]["level_percent"], 50);
  EXPECT_EQ(trays[0]["media_type"], "stationery");
  EXPECT_EQ(trays[1]["media_size_name"], "Letter");
  EXPECT_EQ(trays[1]["direction"], 2);
  EXPECT_EQ(trays[2]["type"], 5);
  EXPECT_EQ(trays[2]["type_name"], "manual feed");
  EXPECT_EQ(trays[2]["level_percent"], -1);
  EXPECT_EQ(trays[2]["description"], "Manual Feed Tray");
}

TEST_F(OrvctlPrinters, OptionsTextShowsKeysAndTrayTable) {
  const auto result = orvctl(options_args({}));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  bool sys_name = false, duplex = false, tray1 = false, bypass = false;
  while (std::getline(lines, line)) {
    sys_name |= line.rfind("SysName", 0) == 0 && line.find("printer-a-floor2") != std::string::npos;
    duplex |= line.rfind("DuplexModule", 0) == 0 && line.find("yes") != std::string::npos;
    tray1 |= line.rfind("1 ", 0) == 0 && line.find("Tray 1") != std::string::npos &&
             line.find("A4 (25)") != std::string::npos && line.find("50%") != std::string::npos;
    bypass |= line.find("Bypass Tray") != std::string::npos &&
              line.find("manual feed (5)") != std::string::npos &&
              line.find("unknown") != std::string::npos;
  }
  EXPECT_TRUE(sys_name && duplex && tray1 && bypass) << result.out;
}

TEST_F(OrvctlPrinters, JsonStaysOneDocumentWhileTheLogIsOn) {
  // Without a log file the library writes its lines on standard output;
  // with --json they must move to standard error, success and failure alike.
  auto result = orvctl(options_args({"--json", "--log-mask", "31"}));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(parse_document(result)["options"]["SysName"], "printer-a-floor2");
  EXPECT_NE(result.err.find(", Trace, "), std::string::npos) << result.err.substr(0, 2000);

  result = orvctl(options_args({"--json", "--log-mask", "1", "--community", "badversion"}));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(parse_document(result)["error"]["code"], -1);
  EXPECT_NE(result.err.find(", Error, "), std::string::npos) << result.err;
}

TEST_F(OrvctlPrinters, CommunityChoosesThePrinter) {
  const auto result = orvctl(options_args({"--json", "--community", "lab-b"}));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["options"]["SysName"], "printer-b-lab");
  EXPECT_EQ(doc["options"]["DuplexModule"], false);
  ASSERT_EQ(doc["input_trays"].size(), 3u);
  EXPECT_EQ(doc["input_trays"][0]["media_size_name"], "JIS B5");
  EXPECT_EQ(doc["input_trays"][2]["media_size"], 10000);
  EXPECT_EQ(doc["input_trays"][2]["media_size_name"], "");
  EXPECT_EQ(doc["input_trays"][2]["max_capacity"], -1);
}

TEST_F(OrvctlPrinters, OtherVendorIsRefusedWithCodeAndAdvice) {
  const auto result = orvctl(options_args({"--json", "--community", "kestrel"}));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find(address_ + " is not a printer of the supported family"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("(-2): "), std::string::npos) << result.err;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["ok"], false);
  EXPECT_EQ(doc["error"]["code"], -2);
  EXPECT_NE(doc["error"]["message"].get<std::string>().find("(-2)"), std::string::npos);
  EXPECT_FALSE(doc.contains("options"));
}

TEST_F(OrvctlPrinters, BadRomVersionFailsTheRefresh) {
  const auto result = orvctl(options_args({"--json", "--community", "badversion"}));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("ROM version"), std::string::npos) << result.err;
  EXPECT_EQ(parse_document(result)["error"]["code"], -1);
}

TEST_F(OrvctlPrinters, SupportedAnswersByExitStatus) {
  auto yes = orvctl({"supported", address_, "1.3.6.1.4.1.119", "--json"});
  EXPECT_EQ(yes.exit_code, 0) << yes.err;
  nlohmann::json doc = parse_document(yes);
  EXPECT_EQ(doc["supported"], true);
  EXPECT_EQ(doc["ok"], true);

  // printer-a is F.1.2: one more arc is no longer a prefix.
  const std::string longer = std::string(kFamily) + ".1.2.9";
  auto no = orvctl({"supported", address_, longer, "--json"});
  EXPECT_EQ(no.exit_code, 1);
  doc = parse_document(no);
  EXPECT_EQ(doc["supported"], false);
  EXPECT_EQ(doc["ok"], true);
  EXPECT_TRUE(no.err.empty()) << no.err;

  auto text = orvctl({"supported", address_, std::string(".") + kFamily + ".1"});
  EXPECT_EQ(text.exit_code, 0) << text.err;
  EXPECT_NE(text.out.find("begins with " + std::string(kFamily) + ".1"), std::string::npos)
      << text.out;
}

TEST(OrvctlSilentPrinter, NoAnswerMessageAndTheTriesReachThePrinter) {
  ORV_REQUIRE_LAB(true, {"python3"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::ScriptedPeer peer(address + ":161", {"silent"});
  char log_path[] = "/tmp/orvctl-log-XXXXXX";
  const int fd = mkstemp(log_path);
  ASSERT_GE(fd, 0);
  close(fd);

  const auto result = orvctl({"options", address, "--timeout", "200", "--retries", "1", "--json",
                              "--log-file", log_path});
  EXPECT_EQ(result.exit_code, 1);
  const std::string expected = "no answer from " + address +
                               " within 200 ms after 2 tries (-203): check the address and "
                               "community";
  EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
  EXPECT_EQ(parse_document(result)["error"]["code"], -203);
  // --retries 1 means two requests on the wire.
  EXPECT_TRUE(peer.wait_for_datagrams(2, 2000));
  EXPECT_EQ(peer.datagrams().size(), 2u);
  // --log-file alone switches every level on: the time-out is written there.
  std::ifstream log(log_path);
  const std::string lines((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(lines.empty());
  unlink(log_path);
}

}  // namespace
