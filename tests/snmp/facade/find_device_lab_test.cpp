// The find-device object: one GET to a broadcast or multicast destination
// of a virtual LAN, one answer packet per agent.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "facade_lab.h"
#include "snmp/facade/find_device_snmp.h"
#include "snmp/message/snmp_packet.h"
#include "support/lab.h"

namespace orv::test {
namespace {

FindDevicePtr make_finder() {
  int32_t result = -99;
  FindDevicePtr finder(qel_create_find_device_snmp(&result));
  EXPECT_EQ(result, kOk);
  return finder;
}

std::string sys_object_id_of(const std::string& printer) {
  const auto lines = snmprec_lines(printer, kSysObjectId);
  return lines.empty() ? "" : lines.front().value;
}

// Who answered (address text) and with which sysObjectID.
std::map<std::string, std::string> answers_of(IQesSnmpPacketList* answers) {
  std::map<std::string, std::string> out;
  for (uint32_t i = 0; i < answers->count(); ++i) {
    IQesSnmpPacket* packet = answers->at(i);
    const IQelNetworkAddress* from = packet->target()->address();
    const IQesVarBindList* list = packet->pdu()->var_bind_list();
    EXPECT_EQ(binding_oids(packet->pdu()), std::vector<std::string>{"1.3.6.1.2.1.1.2.0"});
    out[from->text()] = list != nullptr && list->count() > 0 ? text_of(list->at(0)->value()) : "";
  }
  return out;
}

TEST(FindDeviceSnmp, FailingBroadcastLeavesTheCallersListAlone) {
  IQesSnmpPacketList* const mark = reinterpret_cast<IQesSnmpPacketList*>(0x5A5A);
  IQesSnmpPacketList* answers = mark;
  FindDevicePtr before_init = make_finder();
  EXPECT_EQ(before_init->send_broad_cast(&answers), kErrInvalidArg);
  EXPECT_EQ(answers, mark);
  EXPECT_EQ(before_init->send_broad_cast(nullptr), kErrInvalidArg);

  // This platform has no IPX sockets: the socket layer fails the send.
  FindDevicePtr ipx = make_finder();
  ASSERT_EQ(ipx->init("00000000:ffffffffffff", IQelNetworkAddress::kProtocolIpx, 36879, 0,
                      nullptr, 100, 0, 0),
            kOk);
  ASSERT_EQ(ipx->add_oid_string(kSysObjectId), kOk);
  const int32_t rc = ipx->send_broad_cast(&answers);
  EXPECT_NE(rc, kOk);
  EXPECT_EQ(answers, mark);
}

TEST(FindDeviceSnmp, AddsOnlyScalarInstancesAndRefusesBadTexts) {
  FindDevicePtr finder = make_finder();
  EXPECT_EQ(finder->add_oid_string(kSysObjectId), kErrInvalidArg) << "before init";
  ASSERT_EQ(finder->init("255.255.255.255", IQelNetworkAddress::kProtocolIpv4, 161, 0, nullptr,
                         100, 0, 0),
            kOk);
  EXPECT_EQ(finder->add_oid_string("1.3.x"), kErrInvalidArg);
  EXPECT_EQ(finder->add_oid_string(nullptr), kErrInvalidArg);
  int32_t protocol = 0;
  ASSERT_EQ(finder->get_protocol("ff02::1", &protocol), kOk);
  EXPECT_EQ(protocol, IQelNetworkAddress::kProtocolIpv6);
}

TEST(FindDeviceSnmp, BroadcastAndMulticastGiveOnePacketPerAgent) {
  ORV_REQUIRE_LAB(true, {"ip", "snmpsimd", "python3"});
  VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
  SnmpsimAgent p1({.endpoints = {"0.0.0.0:161", "[::]:161"},
                   .serve = {"printer-a:public"},
                   .netns = lan.host("p1").netns});
  SnmpsimAgent p2({.endpoints = {"0.0.0.0:161", "[::]:161"},
                   .serve = {"printer-b:public"},
                   .netns = lan.host("p2").netns});
  const std::string printer_a = sys_object_id_of("printer-a");
  const std::string printer_b = sys_object_id_of("printer-b");

  std::map<std::string, std::string> v4;
  std::map<std::string, std::string> v6;
  lan.run_in("client", [&] {
    for (const char* destination : {"255.255.255.255", "ff02::1"}) {
      FindDevicePtr finder = make_finder();
      int32_t protocol = 0;
      ASSERT_EQ(finder->get_protocol(destination, &protocol), kOk);
      ASSERT_EQ(finder->init(destination, protocol, 161, 0, nullptr, 1000, 0, 0), kOk);
      ASSERT_EQ(finder->add_oid_string(kSysObjectId), kOk);
      IQesSnmpPacketList* answers = nullptr;
      ASSERT_EQ(finder->send_broad_cast(&answers), kOk) << destination;
      ASSERT_NE(answers, nullptr);
      SnmpPacketListPtr owned(answers);
      (protocol == IQelNetworkAddress::kProtocolIpv4 ? v4 : v6) = answers_of(answers);
    }
  });

  EXPECT_EQ(v4, (std::map<std::string, std::string>{{"198.18.0.11", printer_a},
                                                    {"198.18.0.12", printer_b}}));
  ASSERT_EQ(v6.size(), 2u);
  std::multiset<std::string> v6_ids;
  for (const auto& [from, id] : v6) v6_ids.insert(id);
  EXPECT_EQ(v6_ids, (std::multiset<std::string>{printer_a, printer_b}));
}

}  // namespace
}  // namespace orv::test
