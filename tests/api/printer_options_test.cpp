// Opening simulated printers and refreshing their options through the C
// interface, as a host does; every value is the one tests/data/README.md
// lists for the printer's data file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "orv/orv.h"
#include "orv/orv_log.hpp"
#include "api/family_agent.h"
#include "support/lab.h"

namespace {

using orv::test::SnmpsimAgent;

constexpr int32_t kTimeoutMs = 1000;
constexpr int32_t kRetries = 1;
using orv::test::kFamily;

struct Tray {
  std::string name;
  int32_t type, feed, xfeed, size, direction, max, percent;
  std::string description, media_type;
};

// The lines the "Orv" category writes at Error level while `run` runs; the
// other categories stay as the environment set them.
std::string orv_error_lines(const std::function<void()>& run) {
  static const std::string path = [] {
    std::string p = "/tmp/orv-options-test-" + std::to_string(getpid()) + ".log";
    std::remove(p.c_str());
    orv::log::attach_file_log(p.c_str(), 16u << 20);
    std::atexit([] { std::remove(("/tmp/orv-options-test-" + std::to_string(getpid()) + ".log").c_str()); });
    return p;
  }();
  std::ifstream before(path, std::ios::binary | std::ios::ate);
  const std::streamoff start = before ? static_cast<std::streamoff>(before.tellg()) : 0;
  orv::log::set_category_log_mask("Orv", orv::log::kMaskError);
  run();
  orv::log::set_category_log_mask("Orv", 0);
  std::ifstream in(path, std::ios::binary);
  in.seekg(start);
  std::stringstream all;
  all << in.rdbuf();
  std::string orv_lines, line;
  while (std::getline(all, line)) {
    if (line.find("Orv             , ") != std::string::npos) orv_lines += line + "\n";
  }
  return orv_lines;
}

// What a refresh of one printer gives.
struct Expected {
  std::string sys_name, rom_version;
  int32_t major, minor, revision, memory_kb;
  std::map<std::string, bool> flags;
  std::string netware;
  int32_t min_password, user_prompt;
  std::vector<Tray> trays;
};

class PrinterOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd"});
    address_ = orv::test::free_loopback_address();
    // Each file answers the community named after it.
    agent_ = std::make_unique<SnmpsimAgent>(orv::test::SnmpsimOptions{
        .endpoints = {address_ + ":161"},
        .serve = {"printer-a", "printer-b", "printer-badversion", "printer-manytrays",
                  "printer-prefix61", "other-vendor"}});
    ASSERT_EQ(OrvInit(&h_), 0);
  }
  void TearDown() override { OrvUnInit(h_); }

  int32_t open(const std::string& printer) {
    EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", printer.c_str()), 0);
    return OrvInitDevice(h_, address_.c_str(), 1, kTimeoutMs, kRetries);
  }

  bool flag(const char* key) {
    int16_t out = 7;
    EXPECT_EQ(OrvGetOptionValueBoolean(h_, key, 0, &out), 0) << key;
    EXPECT_TRUE(out == 0 || out == 1) << key;
    return out == 1;
  }
  int32_t integer(const char* key, uint16_t index = 0) {
    int32_t out = -12345;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, key, index, &out), 0) << key << " " << index;
    return out;
  }
  std::string text(const char* key, uint16_t index = 0) {
    char out[256] = "untouched";
    EXPECT_EQ(OrvGetOptionValueString(h_, key, index, out), 0) << key << " " << index;
    return out;
  }

  void expect_options(const Expected& e) {
    EXPECT_EQ(text("SysName"), e.sys_name);
    EXPECT_EQ(text("PrinterRomVersion"), e.rom_version);
    EXPECT_EQ(integer("PrinterRomVersionMajor"), e.major);
    EXPECT_EQ(integer("PrinterRomVersionMinor"), e.minor);
    EXPECT_EQ(integer("PrinterRomVersionRevision"), e.revision);
    EXPECT_EQ(integer("MemorySizeInKByte"), e.memory_kb);
    EXPECT_EQ(integer("MemorySizeInMByte"), e.memory_kb / 1024);
    for (const auto& [key, value] : e.flags) EXPECT_EQ(flag(key.c_str()), value) << key;
    EXPECT_EQ(text("NetWareSAPUnitName"), e.netware);
    EXPECT_EQ(integer("MinPasswordLength"), e.min_password);
    EXPECT_EQ(integer("UserPromptSetting"), e.user_prompt);
    ASSERT_EQ(integer("NumberOfInputTray"), static_cast<int32_t>(e.trays.size()));
    for (uint16_t i = 0; i < e.trays.size(); ++i) {
      const Tray& t = e.trays[i];
      SCOPED_TRACE("tray " + std::to_string(i));
      EXPECT_EQ(integer("InputTrayIndex", i), i + 1);
      EXPECT_EQ(text("InputTrayName", i), t.name);
      EXPECT_EQ(integer("InputTrayType", i), t.type);
      EXPECT_EQ(integer("InputTrayMediaDimFeedDirChosen", i), t.feed);
      EXPECT_EQ(integer("InputTrayMediaDimXFeedDirChosen", i), t.xfeed);
      EXPECT_EQ(integer("InputTrayMediaSize", i), t.size);
      EXPECT_EQ(integer("InputTrayMediaDirection", i), t.direction);
      EXPECT_EQ(integer("InputTrayMaxCapacityInSheets", i), t.max);
      EXPECT_EQ(integer("InputTrayCurrentLevelInPercent", i), t.percent);
      EXPECT_EQ(text("InputTrayDescription", i), t.description);
      EXPECT_EQ(text("InputTrayMediaType", i), t.media_type);
    }
    const uint16_t past = static_cast<uint16_t>(e.trays.size());
    int32_t out = 0;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, "InputTrayType", past, &out), -11);
  }

  std::string address_;
  std::unique_ptr<SnmpsimAgent> agent_;
  OrvHandle h_ = nullptr;
};

TEST_F(PrinterOptions, PrinterAGivesEveryValueOfItsDataFile) {
  ASSERT_EQ(open("printer-a"), 0);
  EXPECT_EQ(OrvIsSupportedOID(h_, (kFamily + ".1.2").c_str()), 1);
  EXPECT_EQ(OrvIsSupportedOID(h_, (kFamily + ".1.2.9").c_str()), 0);
  ASSERT_EQ(OrvRefreshOptions(h_), 0);
  expect_options({"printer-a-floor2",
                  "Printer Controller v2.41.7 - Processor",
                  2, 41, 7, 524288,
                  {{"Scanner", true}, {"Copier", false}, {"HardDisk", true}, {"RamDisk", true},
                   {"InTrayEx1", true}, {"InTrayEx2", false}, {"DuplexModule", true},
                   {"InTrayMSI", true}},
                  "VERDANE8300_0A15", 8, 1,
                  {{"Tray 1", 4, 297000, 210000, 25, 3, 500, 50, "Paper Tray 1 (A4)", "stationery"},
                   {"Tray 2", 4, 215900, 279400, 1, 2, 550, 75, "Paper Tray 2 (Letter)",
                    "stationery"},
                   {"Bypass Tray", 5, 210000, 148000, 26, 3, 100, -1, "Manual Feed Tray",
                    "transparency"}}});
}

TEST_F(PrinterOptions, PrinterBGivesEveryValueOfItsDataFile) {
  ASSERT_EQ(open("printer-b"), 0);
  ASSERT_EQ(OrvRefreshOptions(h_), 0);
  expect_options({"printer-b-lab",
                  "Printer Controller v3.5.12 - Processor",
                  3, 5, 12, 262144,
                  {{"Scanner", false}, {"Copier", true}, {"HardDisk", true}, {"RamDisk", false},
                   {"InTrayEx1", false}, {"InTrayEx2", true}, {"DuplexModule", false},
                   {"InTrayMSI", false}},
                  "VERDANE8300_0A16", 12, 0,
                  {{"Tray 1", 4, 257000, 182000, 86, 3, 1000, 0, "Paper Tray 1", "stationery"},
                   {"Tray 2", 4, 420000, 297000, 24, 3, 500, 99, "Paper Tray 2", "stationery"},
                   // Dimensions in unit 3 and capacity in unit 3: nothing derived.
                   {"Envelope Feeder", 6, 85000, 110000, 10000, 1, -1, -1, "Envelope Feeder",
                    "envelope"}}});
}

TEST_F(PrinterOptions, TwentyFiveInputRowsKeepTheFirstTwenty) {
  ASSERT_EQ(open("printer-manytrays"), 0);
  ASSERT_EQ(OrvRefreshOptions(h_), 0);
  ASSERT_EQ(integer("NumberOfInputTray"), 20);
  for (uint16_t i = 0; i < 20; ++i) {
    const int32_t n = i + 1;
    SCOPED_TRACE("tray " + std::to_string(n));
    EXPECT_EQ(text("InputTrayName", i), "Tray " + std::to_string(n));
    EXPECT_EQ(integer("InputTrayMediaSize", i), n % 2 == 1 ? 25 : 1);
    EXPECT_EQ(integer("InputTrayMediaDirection", i), n % 2 == 1 ? 3 : 2);
    EXPECT_EQ(integer("InputTrayMaxCapacityInSheets", i), 100 * n);
    EXPECT_EQ(integer("InputTrayCurrentLevelInPercent", i), 40);
  }
  EXPECT_EQ(text("SysName"), "printer-production");
  EXPECT_EQ(integer("MemorySizeInMByte"), 2048);
  EXPECT_EQ(integer("PrinterRomVersionMinor"), 50);
  EXPECT_EQ(text("NetWareSAPUnitName"), "VERDANE8300_0A18");
}

TEST_F(PrinterOptions, ABrokenVersionTextStopsTheRefreshAfterTheDeviceTable) {
  ASSERT_EQ(open("printer-badversion"), 0);  // sysObjectID is the family prefix itself
  EXPECT_EQ(OrvIsSupportedOID(h_, kFamily.c_str()), 1);
  EXPECT_EQ(OrvRefreshOptions(h_), -1);
  // The first two steps' values stay ...
  EXPECT_EQ(text("SysName"), "printer-fieldtest");
  EXPECT_EQ(text("PrinterRomVersion"), "Controller v1.20.3 - Processor");
  EXPECT_TRUE(flag("RamDisk"));
  EXPECT_TRUE(flag("HardDisk"));
  EXPECT_FALSE(flag("Scanner"));
  // ... the later steps' stay cleared.
  EXPECT_EQ(integer("PrinterRomVersionMajor"), 0);
  EXPECT_EQ(integer("NumberOfInputTray"), 0);
  EXPECT_EQ(integer("MemorySizeInKByte"), 0);
  EXPECT_FALSE(flag("DuplexModule"));
  EXPECT_FALSE(flag("InTrayMSI"));
  EXPECT_EQ(text("NetWareSAPUnitName"), "");
  EXPECT_EQ(integer("MinPasswordLength"), 0);
}

TEST_F(PrinterOptions, OnlyTheBrokenVersionTextIsLoggedAsAnError) {
  // The refused version text: one Error line of the "Orv" category.
  std::string lines = orv_error_lines([&] {
    ASSERT_EQ(open("printer-badversion"), 0);
    EXPECT_EQ(OrvRefreshOptions(h_), -1);
  });
  EXPECT_NE(lines.find("Orv             , Error, invalid PrinterROMVersion format"),
            std::string::npos)
      << lines;
  EXPECT_NE(lines.find("-1"), std::string::npos) << lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;

  // A printer of another family, a full refresh and a silent printer's
  // first step are not failures of a request step: nothing is logged.
  lines = orv_error_lines([&] {
    EXPECT_EQ(open("other-vendor"), -2);
    ASSERT_EQ(open("printer-a"), 0);
    EXPECT_EQ(OrvRefreshOptions(h_), 0);
    agent_->stop();
    EXPECT_EQ(OrvRefreshOptions(h_), -203);
  });
  EXPECT_EQ(lines, "");
}

TEST_F(PrinterOptions, AFailingOutputTrayWalkEndsTheRefreshAndIsLogged) {
  // printer-a whose first output tray answers only after every try has
  // timed out (snmpsimd's delay variation).
  char dir_template[] = "/tmp/orv-slow-printer-XXXXXX";
  ASSERT_NE(mkdtemp(dir_template), nullptr);
  const std::string dir = dir_template;
  {
    std::ifstream in(orv::test::data_file("printer-a"));
    std::ofstream out(dir + "/slow-output.snmprec");
    std::string line;
    while (std::getline(in, line)) {
      if (line == "1.3.6.1.2.1.43.9.2.1.2.1.1|2|4") {
        line = "1.3.6.1.2.1.43.9.2.1.2.1.1|2:delay|value=4,wait=2500";
      }
      out << line << "\n";
    }
  }
  const std::string address = orv::test::free_loopback_address();
  auto slow = std::make_unique<SnmpsimAgent>(orv::test::SnmpsimOptions{
      .endpoints = {address + ":161"}, .serve = {"slow-output"}, .data_dir = dir});
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", "slow-output"), 0);
  ASSERT_EQ(OrvInitDevice(h_, address.c_str(), 1, 500, 1), 0);

  const std::string lines = orv_error_lines([&] { EXPECT_EQ(OrvRefreshOptions(h_), -203); });
  EXPECT_NE(lines.find("Orv             , Error, fail pGetData->get_data(). result=-203"),
            std::string::npos)
      << lines;
  // The steps before the output trays kept their values ...
  EXPECT_EQ(text("SysName"), "printer-a-floor2");
  EXPECT_EQ(integer("NumberOfInputTray"), 3);
  // ... memory, duplex, NetWare name and vendor settings stay cleared.
  EXPECT_EQ(integer("MemorySizeInKByte"), 0);
  EXPECT_FALSE(flag("DuplexModule"));
  EXPECT_EQ(text("NetWareSAPUnitName"), "");
  EXPECT_EQ(integer("MinPasswordLength"), 0);

  slow.reset();
  std::remove((dir + "/slow-output.snmprec").c_str());
  rmdir(dir.c_str());
}

TEST_F(PrinterOptions, EachRefreshStartsFromAClearedStore) {
  ASSERT_EQ(open("printer-a"), 0);
  ASSERT_EQ(OrvRefreshOptions(h_), 0);
  ASSERT_EQ(integer("NumberOfInputTray"), 3);
  // The same printer again gives the same values, not twice the rows.
  ASSERT_EQ(OrvRefreshOptions(h_), 0);
  EXPECT_EQ(integer("NumberOfInputTray"), 3);
  // The printer falls silent: the first step fails with the time-out and
  // everything stays cleared.
  agent_->stop();
  EXPECT_EQ(OrvRefreshOptions(h_), -203);
  EXPECT_EQ(text("SysName"), "");
  EXPECT_EQ(integer("NumberOfInputTray"), 0);
  EXPECT_FALSE(flag("Scanner"));
}

TEST_F(PrinterOptions, PrintersOutsideTheFamilyAreRefusedButKeepTheOptionObject) {
  struct Case {
    const char* printer;
    std::string sys_object_id;
    std::string sys_name;
  };
  for (const Case& c : {Case{"other-vendor", "1.3.6.1.4.1.64999.2.3.1", "kestrel-lx40"},
                        Case{"printer-prefix61", kFamily + "1", "printer-lookalike"}}) {
    SCOPED_TRACE(c.printer);
    EXPECT_EQ(open(c.printer), -2);
    // The option object answers from its cleared store ...
    EXPECT_EQ(integer("MemorySizeInKByte"), 0);
    EXPECT_EQ(text("SysName"), "");
    // ... and a refresh still reads the refused printer, as orv.h says.
    OrvRefreshOptions(h_);
    EXPECT_EQ(text("SysName"), c.sys_name);
    // ... and knows the sysObjectID the check read.
    EXPECT_EQ(OrvIsSupportedOID(h_, c.sys_object_id.c_str()), 1);
    EXPECT_EQ(OrvIsSupportedOID(h_, (c.sys_object_id + ".1").c_str()), 0);
    // No status reader was made.
    int32_t count = 5;
    EXPECT_EQ(OrvGetNumberOfTonerInfo(h_, &count), -8);
    OrvTonerInfo toner;
    EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), -8);
    EXPECT_EQ(count, 5);
  }
}

TEST_F(PrinterOptions, AnAgentThatDoesNotAnswerGivesTheTimeOut) {
  // snmpsimd drops requests of a community it does not serve.
  EXPECT_EQ(open("no-such-printer"), -203);
  EXPECT_EQ(OrvIsSupportedOID(h_, "1"), 0);  // nothing read
  int32_t count = 0;
  EXPECT_EQ(OrvGetNumberOfTonerInfo(h_, &count), -8);
}

TEST(PrinterOpen, ASilentPeerAndAnEmptyAddressGiveTheTimeOut) {
  ORV_REQUIRE_LAB(true, {"python3"});
  const std::string silent = orv::test::free_loopback_address();
  orv::test::ScriptedPeer peer(silent + ":161", {"silent"});
  OrvHandle h = nullptr;
  ASSERT_EQ(OrvInit(&h), 0);
  EXPECT_EQ(OrvInitDevice(h, silent.c_str(), 1, 300, 1), -203);
  EXPECT_TRUE(peer.wait_for_datagrams(2, 2000)) << "one try and one retry";
  const std::string nobody = orv::test::free_loopback_address();
  EXPECT_EQ(OrvInitDevice(h, nobody.c_str(), 1, 300, 0), -203);
  OrvUnInit(h);
}

}  // namespace
