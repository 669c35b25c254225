// A virtual LAN: hosts reach each other, broadcast and ff02::1 stay on it,
// and taking it down leaves no namespace behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "support/lab.h"
#include "support/snmp_probe.h"
#include "support/udp_probe.h"

namespace orv::test {
namespace {

ino_t net_namespace_of_this_thread() {
  struct stat st {};
  return stat("/proc/thread-self/ns/net", &st) == 0 ? st.st_ino : 0;
}

std::set<std::string> namespaces() {
  std::set<std::string> names;
  RunResult r = run({"ip", "netns", "list"});
  std::istringstream in(r.out);
  std::string line;
  while (std::getline(in, line)) names.insert(line.substr(0, line.find(' ')));
  return names;
}

// Asks every agent on the LAN for sysObjectID and lists who answered.
std::set<std::string> responders(const std::string& destination, bool ipv6) {
  UdpProbe probe(ipv6, !ipv6);
  probe.send_to(destination, 16100, snmp_get_request(21, "public", {"1.3.6.1.2.1.1.2.0"}));
  std::set<std::string> who;
  for (const auto& reply : probe.receive_all(800)) {
    auto parsed = parse_snmp_reply(reply.bytes);
    if (parsed && parsed->request_id == 21) who.insert(reply.sender);
  }
  return who;
}

TEST(VirtualLan, HostsReachEachOtherAndDownRemovesEverything) {
  ORV_REQUIRE_LAB(true, {"ip", "ping", "python3"});
  std::vector<std::string> made;
  {
    VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
    ASSERT_EQ(lan.hosts().size(), 3u);
    for (const auto& h : lan.hosts()) made.push_back(h.netns);
    EXPECT_EQ(lan.host("p1").ipv4, "198.18.0.11");
    EXPECT_FALSE(lan.host("p2").ipv6.empty());

    auto ping4 = lan.exec("client", {"ping", "-c", "1", "-W", "2", lan.host("p1").ipv4});
    EXPECT_EQ(ping4.exit_code, 0) << ping4.out << ping4.err;
    auto ping6 = lan.exec("client", {"ping", "-c", "1", "-W", "2", lan.host("p2").ipv6});
    EXPECT_EQ(ping6.exit_code, 0) << ping6.out << ping6.err;
    // Not reachable from the machine's own namespace.
    EXPECT_NE(run({"ping", "-c", "1", "-W", "1", lan.host("p1").ipv4}).exit_code, 0);

    const std::set<std::string> all = namespaces();
    for (const auto& n : made) EXPECT_TRUE(all.count(n)) << n;
  }
  const std::set<std::string> after = namespaces();
  for (const auto& n : made) EXPECT_FALSE(after.count(n)) << n << " left behind";
}

TEST(VirtualLan, BroadcastAndMulticastReachEveryAgentOnceAndStayOnTheLan) {
  ORV_REQUIRE_LAB(true, {"ip", "python3"});
  VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
  ScriptedPeer p1v4("0.0.0.0:16100", {"echo"}, lan.host("p1").netns);
  ScriptedPeer p1v6("[::]:16100", {"echo"}, lan.host("p1").netns);
  ScriptedPeer p2v4("0.0.0.0:16100", {"echo"}, lan.host("p2").netns);
  ScriptedPeer p2v6("[::]:16100", {"echo"}, lan.host("p2").netns);

  const ino_t own = net_namespace_of_this_thread();
  ino_t inside = 0;
  std::set<std::string> v4;
  std::set<std::string> v6;
  lan.run_in("client", [&] {
    inside = net_namespace_of_this_thread();
    v4 = responders("255.255.255.255", false);
    v6 = responders("ff02::1%e0", true);
  });
  EXPECT_NE(inside, own);
  EXPECT_EQ(net_namespace_of_this_thread(), own);
  EXPECT_EQ(v4, (std::set<std::string>{"198.18.0.11", "198.18.0.12"}));
  ASSERT_EQ(v6.size(), 2u);
  for (const auto& sender : v6) EXPECT_EQ(sender.rfind("fe80::", 0), 0u) << sender;
  // One datagram per agent socket: each v4 and each v6 peer saw its own.
  EXPECT_EQ(p1v4.datagrams().size(), 1u);
  EXPECT_EQ(p2v6.datagrams().size(), 1u);
}

TEST(VirtualLan, RunInPassesExceptionsBack) {
  ORV_REQUIRE_LAB(true, {"ip", "python3"});
  VirtualLan lan({{"solo", "198.18.0.1"}, {"other", "198.18.0.2"}});
  EXPECT_THROW(lan.run_in("solo", [] { throw std::logic_error("from the namespace"); }), std::logic_error);
  EXPECT_THROW(lan.host("nobody"), std::invalid_argument);
}

}  // namespace
}  // namespace orv::test
