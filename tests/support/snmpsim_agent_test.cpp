#include <gtest/gtest.h>

#include <fstream>

#include "support/lab.h"

namespace orv::test {
namespace {

// Gone, or a zombie waiting for its reaper.
bool alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  return std::getline(stat, line) && line.find(") Z ") == std::string::npos;
}

const char* kSysObjectId = "1.3.6.1.2.1.1.2.0";
const char* kPrinterA = ".1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2\n";

TEST(SnmpsimAgent, AnswersOnLoopbackV4AndV6AndStopsCleanly) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
  const std::string v4 = free_loopback_address();
  pid_t pid = 0;
  {
    SnmpsimAgent agent({.endpoints = {v4 + ":161", "[::1]:161"}, .serve = {"printer-a", "printer-a:public"}});
    pid = agent.pid();
    ASSERT_TRUE(agent.running());

    auto by_v4 = snmpget(v4, "printer-a", {kSysObjectId});
    EXPECT_EQ(by_v4.exit_code, 0) << by_v4.err;
    EXPECT_EQ(by_v4.out, kPrinterA);
    auto by_v6 = snmpget("udp6:[::1]", "public", {kSysObjectId});
    EXPECT_EQ(by_v6.exit_code, 0) << by_v6.err;
    EXPECT_EQ(by_v6.out, kPrinterA);
    // A file that was not chosen is not served: its community goes unanswered.
    EXPECT_NE(snmpget(v4, "printer-b", {kSysObjectId}, {"-v1", "-t", "0.2", "-r", "0"}).exit_code, 0);
  }
  EXPECT_FALSE(alive(pid)) << "the agent outlived its owner object";
  EXPECT_EQ(snmpget(v4, "printer-a", {kSysObjectId}, {"-v1", "-t", "0.2", "-r", "0"}).exit_code, 1);
}

TEST(SnmpsimAgent, ConstructorReportsAnAgentThatCannotStart) {
  ORV_REQUIRE_LAB(true, {"snmpsimd"});
  EXPECT_THROW(SnmpsimAgent({.endpoints = {"127.0.0.1:161"}, .serve = {"no-such-printer"}}),
               std::runtime_error);
}

}  // namespace
}  // namespace orv::test
