// orvctl traps: the SNMPv1 fields behind a trap OID, how values print, and
// the installed binary receiving traps from Net-SNMP's snmptrap.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <thread>
#include <tuple>

#include "orv/qel_trap.h"
#include "tools/orvctl_run.h"
#include "trap_format.h"

namespace {

using orvctl_test::orvctl;

TEST(OrvctlTraps, V1FieldsBehindTheTrapOid) {
  struct Case {
    const char* oid;
    bool v1;
    int32_t generic;
    uint32_t specific;
    const char* name;
  };
  const std::string enterprise = "1.3.6.1.4.1.253.8";
  for (const Case& c : std::vector<Case>{
           {"1.3.6.1.6.3.1.1.5.1", true, 0, 0, "coldStart"},
           {"1.3.6.1.6.3.1.1.5.6", true, 5, 0, "egpNeighborLoss"},
           {"1.3.6.1.4.1.253.8.0.17", true, 6, 17, "enterpriseSpecific"},
           {"1.3.6.1.6.3.1.1.5.7", false, 0, 0, ""},
           {"1.3.6.1.4.1.253.9.0.17", false, 0, 0, ""},
           {"1.3.6.1.4.1.253.8.1.17", false, 0, 0, ""},
           {"1.3.6.1.4.1.253.8.0.", false, 0, 0, ""},
           {"17", false, 0, 0, ""}}) {
    SCOPED_TRACE(c.oid);
    const auto fields = orvctl::v1_trap_fields(c.oid, enterprise);
    ASSERT_EQ(fields.has_value(), c.v1);
    if (!c.v1) continue;
    EXPECT_EQ(fields->enterprise, enterprise);
    EXPECT_EQ(fields->generic, c.generic);
    EXPECT_EQ(fields->specific, c.specific);
    EXPECT_STREQ(orvctl::generic_trap_name(fields->generic), c.name);
  }
  EXPECT_EQ(orvctl::printable_octets({'t', 'r', 'a', 'y'}), "tray");
  EXPECT_EQ(orvctl::printable_octets({0x00, 0xFF, 'a'}), "00 ff 61");
  EXPECT_EQ(orvctl::printable_octets({'B', 0xC3, 0xA4, 'r', ' ', 0xE2, 0x82, 0xAC}), "B\xC3\xA4r \xE2\x82\xAC");
  // A cut sequence, an overlong NUL, a surrogate.
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{0xC3, 'a'}, {0xC0, 0x80}, {0xED, 0xA0, 0x80}})
    EXPECT_EQ(orvctl::printable_octets(bad).size(), 3 * bad.size() - 1);
  EXPECT_EQ(orvctl::uptime_text(4242), "00:00:42.42");
  EXPECT_EQ(orvctl::uptime_text(8640000u * 3 + 360000u * 4 + 6000u * 5 + 606), "3d 04:05:06.06");
  EXPECT_EQ(orvctl::value_type_name(0x46), "Counter64");
  EXPECT_EQ(orvctl::value_type_name(0x47), "0x47");
}

// A port that was free a moment ago.
uint16_t free_port() {
  QelTrapReceiver* probe = nullptr;
  EXPECT_EQ(qel_trap_receiver_open(ORV_PROTOCOL_IPV4, 0, &probe), ORV_OK);
  const auto port = static_cast<uint16_t>(qel_trap_receiver_port(probe));
  qel_trap_receiver_close(probe);
  return port;
}

TEST(OrvctlTraps, PrintsTrapsFromSnmptrapAsJsonLinesAndEndsAfterCount) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  const std::string port = std::to_string(free_port());
  orv::test::RunResult result;
  std::atomic<bool> ended{false};
  std::thread listener([&] {
    result = orvctl({"traps", "--port", port, "--count", "2", "--for", "20", "--json"});
    ended = true;
  });
  // Until it is listening, what is sent is lost: send until it has ended.
  const std::string target = "127.0.0.1:" + port;
  for (int i = 0; i < 100 && !ended; ++i) {
    orv::test::run({"snmptrap", "-v2c", "-c", "public", target, "4242", "1.3.6.1.4.1.253.8.0.5",
                    "1.3.6.1.2.1.1.5.0", "s", "hello", "1.3.6.1.4.1.9999.1", "x", "00FF"});
    orv::test::run({"snmptrap", "-v1", "-c", "public", target, "1.3.6.1.4.1.253.8", "127.0.0.1", "6", "17",
                    "77", "1.3.6.1.4.1.9999.2", "C", "8589934593"});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  listener.join();
  ASSERT_EQ(result.exit_code, 0) << result.err;
  std::istringstream lines(result.out);
  std::vector<nlohmann::json> traps;
  for (std::string line; std::getline(lines, line);) traps.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(traps.size(), 3u) << result.out;
  const nlohmann::json summary = traps.back();  // the counts, on exit
  traps.pop_back();
  EXPECT_GE(summary["received"].get<uint64_t>(), 2u) << summary;
  EXPECT_EQ(summary["dropped"], 0) << summary;
  for (const nlohmann::json& trap : traps) {
    EXPECT_EQ(trap["sender"], "127.0.0.1");
    EXPECT_FALSE(trap["time"].get<std::string>().empty());
    if (trap["version"] == "v2c") {
      EXPECT_EQ(trap["trap_oid"], "1.3.6.1.4.1.253.8.0.5");
      EXPECT_EQ(trap["uptime"], 4242);
      ASSERT_EQ(trap["bindings"].size(), 4u);
      EXPECT_EQ(trap["bindings"][2], (nlohmann::json{{"oid", "1.3.6.1.2.1.1.5.0"}, {"type", "OctetString"}, {"value", "hello"}}));
      EXPECT_EQ(trap["bindings"][3]["value"], "00 ff");
    } else {
      EXPECT_EQ(trap["version"], "v1");
      EXPECT_EQ(trap["enterprise"], "1.3.6.1.4.1.253.8");
      EXPECT_EQ(trap["agent_address"], "127.0.0.1");
      EXPECT_EQ(trap["generic"], 6);
      EXPECT_EQ(trap["specific"], 17);
      EXPECT_EQ(trap["uptime"], 77);
      ASSERT_EQ(trap["bindings"].size(), 1u);
      EXPECT_EQ(trap["bindings"][0], (nlohmann::json{{"oid", "1.3.6.1.4.1.9999.2"}, {"type", "Counter64"}, {"value", "8589934593"}}));
    }
  }
}

// A port in use and a privileged port are told apart, each with its remedy.
TEST(OrvctlTraps, APortThatCannotBeBoundSaysWhyAndSuggestsAnother) {
  ORV_REQUIRE_LAB(true, {"setpriv"});
  QelTrapReceiver* holder = nullptr;
  ASSERT_EQ(qel_trap_receiver_open(ORV_PROTOCOL_IPV4, 0, &holder), ORV_OK);
  const std::string held = std::to_string(qel_trap_receiver_port(holder));
  const std::vector<std::string> me, nobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  // Who runs orvctl, the port, what it must say.
  for (const auto& [as_user, port, says] : {std::tuple{me, held, "(-202): port " + held + " is in use by another program"},
                                            std::tuple{nobody, std::string("162"), std::string("(-206): ports below 1024 need privileges")}}) {
    SCOPED_TRACE(says);
    std::vector<std::string> argv = as_user;
    for (const std::string& a : orvctl_test::orvctl_argv({"traps", "--port", port, "--for", "1"})) argv.push_back(a);
    const orv::test::RunResult result = orv::test::run(argv);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("cannot listen for traps on UDP port " + port + " " + says), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("--port N"), std::string::npos) << result.err;
  }
  qel_trap_receiver_close(holder);
}

}  // namespace
