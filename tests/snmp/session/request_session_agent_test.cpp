// The request session and dispatcher against real agents: snmpsimd serving
// a printer and a private Net-SNMP snmpd, over IPv4 and IPv6 loopback.
// Net-SNMP's snmpget reads the same objects as an independent witness.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session_fixtures.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "support/lab.h"

namespace orv {
namespace {

using testing::make_get;
using testing::make_target;
using testing::TargetSettings;

const std::vector<std::string> kSystemOids = {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.2.0",
                                              "1.3.6.1.2.1.1.5.0", "1.3.6.1.2.1.1.7.0"};

// Our answer's values as text, one per binding.
std::vector<std::string> values_of(const IQesPdu* pdu) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < testing::count_of(pdu); ++i) out.push_back(testing::value_text(pdu, i));
  return out;
}

// snmpget's values, with the quotes of text values taken off.
std::vector<std::string> witness(const std::string& target, const std::string& version,
                                 const std::vector<std::string>& oids) {
  test::RunResult r = test::snmpget(target, "public", oids, {version, "-t", "1", "-r", "1"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> out;
  size_t at = 0;
  while (at < r.out.size()) {
    size_t end = r.out.find('\n', at);
    std::string line = r.out.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
    if (!line.empty() && line.front() == '.') line = line.substr(1);
    out.push_back(line);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return out;
}

void get_matches_witness(const std::string& address, int32_t version, const std::string& witness_target,
                         const std::vector<std::string>& oids = kSystemOids) {
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
  TargetSettings s;
  s.address = address;
  s.version = version;
  s.timeout_ms = 2000;
  s.retries = 1;
  SnmpTargetPtr target = make_target(s);
  PduPtr pdu = make_get(oids);
  ASSERT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(pdu->error_status(), 0);
  EXPECT_EQ(values_of(pdu.get()), witness(witness_target, version == kSnmpV1 ? "-v1" : "-v2c", oids));
}

TEST(RequestSessionAgents, SnmpsimPrinterOverIpv4AndIpv6) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
  std::string host = test::free_loopback_address(161);
  test::SnmpsimAgent printer({.endpoints = {host + ":161", "[::1]:161"}, .serve = {"printer-a:public"}});
  get_matches_witness(host, kSnmpV1, host);
  get_matches_witness(host, kSnmpV2c, host);
  get_matches_witness("::1", kSnmpV1, "udp6:[::1]");
}

TEST(RequestSessionAgents, NetSnmpAgentAnswersAndReportsMissingObjects) {
  ORV_REQUIRE_LAB(true, {"snmpd", "snmpget"});
  std::string host = test::free_loopback_address(161);
  test::SnmpdAgent agent({.addresses = {host}, .sysobjectid = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2"});
  get_matches_witness(host, kSnmpV2c, host, {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.2.0", "1.3.6.1.2.1.1.5.0"});
  // SNMPv1: an unknown object is noSuchName at its index.
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());
  TargetSettings s;
  s.address = host;
  SnmpTargetPtr target = make_target(s);
  PduPtr pdu = make_get({"1.3.6.1.2.1.1.2.0", "1.3.6.1.4.1.9999.42.0"});
  ASSERT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kOk);
  EXPECT_EQ(pdu->error_status(), 2);
  EXPECT_EQ(pdu->error_index(), 2);
  // SNMPv2c: the same object comes back as noSuchInstance or noSuchObject.
  target->set_version(kSnmpV2c);
  PduPtr v2 = make_get({"1.3.6.1.2.1.1.2.0", "1.3.6.1.2.1.1.2.1"});
  ASSERT_EQ(dispatcher->send_sync(v2.get(), target.get()), kOk);
  EXPECT_EQ(v2->error_status(), 0);
  ASSERT_EQ(testing::count_of(v2.get()), 2u);
  EXPECT_EQ(v2->var_bind_list()->at(1)->value()->kind(), 0x81u);
}

}  // namespace
}  // namespace orv
