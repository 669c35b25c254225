// SET through the get-data object: a writable object of a private snmpd,
// and refusals of every kind.
#include <gtest/gtest.h>

#include <algorithm>

#include "facade_lab.h"
#include "snmp/facade/get_data.h"
#include "support/lab.h"
#include "support/snmp_probe.h"

namespace orv::test {
namespace {

// snmpEnableAuthenTraps: writable in snmpd, enabled(1) / disabled(2).
constexpr const char* kAuthenTraps = "1.3.6.1.2.1.11.30";

std::string read_authen_traps(const std::string& address) {
  RunResult r = snmpget(address, "public", {"1.3.6.1.2.1.11.30.0"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  return r.out;
}

int32_t set_value(const std::string& address, const char* community, const char* oid,
                  int32_t value, uint16_t port = 161) {
  GetDataPtr request = open_get_data(address, community, port, 1000, 1);
  EXPECT_EQ(request->add_oid_string(oid, "0", value), kOk);
  return request->set_data();
}

TEST(SetData, WritesThroughTheWriteCommunityAndRefusalsGiveNoValue) {
  ORV_REQUIRE_LAB(true, {"snmpd", "snmpget"});
  const std::string address = free_loopback_address();
  SnmpdAgent agent({.addresses = {address}, .community = "public", .rwcommunity = "private"});

  EXPECT_EQ(set_value(address, "private", kAuthenTraps, 1), kOk);
  EXPECT_EQ(read_authen_traps(address), "1\n");
  EXPECT_EQ(set_value(address, "private", kAuthenTraps, 2), kOk);
  EXPECT_EQ(read_authen_traps(address), "2\n");

  // Read-only community: SNMPv1 reports the refusal as noSuchName.
  EXPECT_EQ(set_value(address, "public", kAuthenTraps, 1), kErrNoValue);
  // An object the agent does not have.
  EXPECT_EQ(set_value(address, "private", "1.3.6.1.2.1.1.99", 1), kErrNoValue);
  // A value outside the object's range (badValue) is a refusal too.
  EXPECT_EQ(set_value(address, "private", kAuthenTraps, 7), kErrNoValue);
  EXPECT_EQ(read_authen_traps(address), "2\n");
}

TEST(SetData, EveryErrorStatusIsARefusal) {
  ORV_REQUIRE_LAB(false, {"python3"});
  constexpr uint16_t kPort = 16100;
  const std::string oid = "1.3.6.1.4.1.253.8.76.3.2.1.1.101.8";
  // noSuchName, readOnly, genErr, noAccess (an SNMPv2 code some agents send).
  for (int status : {2, 4, 5, 6}) {
    const std::string host = free_loopback_address(kPort);
    ScriptedPeer peer(host + ":" + std::to_string(kPort),
                      {"error-at:" + oid + ".0:" + std::to_string(status)});
    EXPECT_EQ(set_value(host, "private", oid.c_str(), 1414, kPort), kErrNoValue)
        << "status " << status;
  }
  const std::string host = free_loopback_address(kPort);
  ScriptedPeer echo(host + ":" + std::to_string(kPort), {"echo"});
  EXPECT_EQ(set_value(host, "private", oid.c_str(), 1414, kPort), kOk);
  ASSERT_TRUE(echo.wait_for_datagrams(1, 1000));
  // One SNMPv1 SetRequest carrying the INTEGER.
  const auto sent = echo.datagrams();
  ASSERT_EQ(sent.size(), 1u);
  const auto parsed = parse_snmp_reply(sent[0].bytes);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->pdu_tag, 0xA3);
  EXPECT_EQ(parsed->oids, std::vector<std::string>{oid + ".0"});
  EXPECT_EQ(sent[0].bytes[4], 0x00) << "version";
  const std::vector<uint8_t> set_tail = {0x02, 0x02, 0x05, 0x86};  // INTEGER 1414
  EXPECT_TRUE(std::search(sent[0].bytes.begin(), sent[0].bytes.end(), set_tail.begin(),
                          set_tail.end()) != sent[0].bytes.end());
}

}  // namespace
}  // namespace orv::test
