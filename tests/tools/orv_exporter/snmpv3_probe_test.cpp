// An SNMPv3 probe through the exporter against snmpsimd's user-based
// security: the configured user reads the printer; a wrong pass phrase gets
// no answer, and the printer is down rather than read with another view.
#include "exporter_harness.h"

namespace {

TEST(ExporterSnmpv3, AProbeWithAnSnmpv3AuthReadsThePrinter) {
  ORV_REQUIRE_LAB(true, {"snmpsimd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpsimAgent agent({.endpoints = {address + ":161"},
                                 .serve = {"printer-b"},
                                 .v3users = {"probe-user:SHA:auth-phrase-17:AES:priv-phrase-23"}});
  const std::string user =
      "{version: 3, username: probe-user, security_level: authPriv, "
      "auth_protocol: SHA, auth_password: auth-phrase-17, priv_protocol: AES, "
      "context_name: printer-b, priv_password: ";
  exporter_test::RunningExporter exporter(exporter_test::config_from(
      "auths:\n  good: " + user + "priv-phrase-23}\n  wrong: " + user + "not-the-phrase}\n"));
  const std::tuple<const char*, double, double> cases[] = {{"good", 1, 0}, {"wrong", 0, -203}};
  for (const auto& [auth, up, code] : cases) {
    const auto answer = exporter.get("/probe?target=" + address + "&auth=" + auth,
                                     "X-Prometheus-Scrape-Timeout-Seconds: 3\r\n");
    EXPECT_EQ(exporter_test::sample(answer.body, "orv_up"), up) << auth << answer.body;
    EXPECT_EQ(exporter_test::sample(answer.body, "orv_probe_result_code"), code) << answer.body;
    EXPECT_EQ(
        exporter_test::sample(answer.body, "orv_printer_info", {{"sys_name", "printer-b-lab"}}),
        up == 1 ? std::optional<double>(1) : std::nullopt);
  }
}

}  // namespace
