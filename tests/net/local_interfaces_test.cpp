// The local interface questions against network namespaces made here: one
// with two veth ends of known addresses and MACs, one with nothing but
// loopback.
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "net/address_resolver.h"
#include "net/netns_sandbox.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {
namespace {

using P = IQelNetworkAddress;
using Answers = std::map<std::string, std::string>;

constexpr const char* kVethMac = "02-00-5E-10-00-01";
constexpr const char* kDummyMac = "02-00-5E-10-00-02";

Answers parse(const std::string& text) {
  Answers answers;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) answers[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return answers;
}

// Each answer is "code" or "code value", so a wrong code shows next to its value.
std::string usable(P::EProtocol protocol) {
  bool yes = false;
  Result result = qel_resolver_has_usable_interface(protocol, &yes);
  return std::to_string(result) + " " + (yes ? "yes" : "no");
}

std::string count(P::EProtocol protocol) {
  int32_t n = -1;
  Result result = qel_resolver_interface_count(protocol, &n);
  return std::to_string(result) + " " + std::to_string(n);
}

std::string mac(const char* address, P::EProtocol protocol) {
  IQelBuffer* raw = nullptr;
  Result result = qel_resolver_interface_mac(address, protocol, &raw);
  BufferPtr text(raw);
  return std::to_string(result) + (text ? std::string(" ") + text->c_str() : "");
}

std::string local_mac(const char* text) {
  bool yes = false;
  Result result = qel_resolver_is_local_mac(text, &yes);
  return std::to_string(result) + " " + (yes ? "yes" : "no");
}

std::string source(const char* destination, P::EProtocol protocol) {
  NetworkAddressPtr to(qel_create_network_address_with_protocol(destination, protocol, 161));
  IQelNetworkAddress* raw = nullptr;
  Result result = qel_resolver_source_address(to.get(), &raw);
  NetworkAddressPtr from(raw);
  if (!from) return std::to_string(result);
  return std::to_string(result) + " " + (from->text() ? from->text() : "") + " " +
         std::to_string(from->protocol()) + " " + std::to_string(from->port());
}

std::string transport(P::EProtocol protocol) { return qel_transport_available(protocol) ? "yes" : "no"; }

class LocalInterfaces : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    if (!testing::can_make_namespaces(&why)) {
      skip_reason_ = new std::string(why);
      return;
    }
    sandbox_ = new testing::NetnsSandbox();
    if (sandbox_->add_namespace("a").empty() || sandbox_->add_namespace("b").empty() ||
        sandbox_->add_namespace("lo").empty()) {
      setup_error_ = new std::string("cannot create the namespaces");
      return;
    }
    const char* commands[] = {
        "ip -n {a} link add e0 address 02:00:5e:10:00:01 type veth peer name e1 netns {b}",
        // Only the address given below, so "first unicast address" is known.
        "ip -n {a} link set e0 addrgenmode none",
        "ip -n {a} link add d0 address 02:00:5e:10:00:02 type veth peer name d1 netns {b}",
        "ip netns exec {a} sysctl -qw net.ipv6.conf.d0.disable_ipv6=1",
        "ip -n {a} addr add 198.18.7.1/24 dev e0",
        "ip -n {a} addr add 2001:db8:7::1/64 dev e0 nodad",
        "ip -n {a} link set d0 addrgenmode none",
        "ip -n {a} addr add 198.18.8.1/24 dev d0",
        "ip -n {a} link set e0 up",
        "ip -n {a} link set d0 up",
        "ip -n {b} link set e1 up",
        "ip -n {b} link set d1 up",
        "ip -n {b} addr add 198.18.7.2/24 dev e1",
        "ip -n {b} addr add 2001:db8:7::2/64 dev e1 nodad",
        "ip -n {a} route add 198.18.9.9/32 dev e0",
    };
    for (const char* command : commands) {
      std::string output;
      if (!sandbox_->run(command, &output)) {
        setup_error_ = new std::string(std::string(command) + ": " + output);
        return;
      }
    }
  }

  static void TearDownTestSuite() {
    delete sandbox_;  // removes the namespaces and their interfaces
    sandbox_ = nullptr;
  }

  void SetUp() override {
    if (skip_reason_) GTEST_SKIP() << *skip_reason_;
    if (setup_error_) FAIL() << "namespace setup: " << *setup_error_;
  }

  static Answers ask_in(const std::string& suffix, const std::function<std::string()>& work) {
    std::string answer = testing::run_in_namespace(sandbox_->name_of(suffix), work);
    EXPECT_EQ(answer.rfind("child failed:", 0), std::string::npos) << answer;
    return parse(answer);
  }

  static inline testing::NetnsSandbox* sandbox_ = nullptr;
  static inline std::string* skip_reason_ = nullptr;
  static inline std::string* setup_error_ = nullptr;
};

TEST_F(LocalInterfaces, UsableInterfacesAndCountsPerFamily) {
  Answers a = ask_in("a", [] {
    return "usable4=" + usable(P::kProtocolIpv4) + "\nusable6=" + usable(P::kProtocolIpv6) +
           "\ncount4=" + count(P::kProtocolIpv4) + "\ncount6=" + count(P::kProtocolIpv6) +
           "\ncountx=" + count(P::kProtocolIpx) + "\ntransport4=" + transport(P::kProtocolIpv4) +
           "\ntransport6=" + transport(P::kProtocolIpv6) + "\ntransportx=" + transport(P::kProtocolIpx) + "\n";
  });
  EXPECT_EQ(a["usable4"], "0 yes");
  EXPECT_EQ(a["usable6"], "0 yes");
  EXPECT_EQ(a["count4"], "0 2");  // e0 and d0; loopback never counts
  EXPECT_EQ(a["count6"], "0 1");  // only e0 has an IPv6 address
  EXPECT_EQ(a["countx"], "-2 -1");
  EXPECT_EQ(a["transport4"], "yes");
  EXPECT_EQ(a["transport6"], "yes");
  EXPECT_EQ(a["transportx"], "no");

  Answers lo = ask_in("lo", [] {
    return "usable4=" + usable(P::kProtocolIpv4) + "\nusable6=" + usable(P::kProtocolIpv6) +
           "\ncount4=" + count(P::kProtocolIpv4) + "\ncount6=" + count(P::kProtocolIpv6) +
           "\ntransport4=" + transport(P::kProtocolIpv4) + "\ntransport6=" + transport(P::kProtocolIpv6) + "\n";
  });
  EXPECT_EQ(lo["usable4"], "0 no");
  EXPECT_EQ(lo["usable6"], "0 no");
  EXPECT_EQ(lo["count4"], "0 0");
  EXPECT_EQ(lo["count6"], "0 0");
  EXPECT_EQ(lo["transport4"], "no");
  EXPECT_EQ(lo["transport6"], "no");
}

TEST_F(LocalInterfaces, MacOfTheInterfaceHoldingAnAddress) {
  Answers a = ask_in("a", [] {
    return "veth=" + mac("198.18.7.1", P::kProtocolIpv4) + "\ndummy=" + mac("198.18.8.1", P::kProtocolIpv4) +
           "\nfirst=" + mac("", P::kProtocolIpv4) + "\nunknown=" + mac("198.18.7.99", P::kProtocolIpv4) +
           "\nveth6=" + mac("2001:DB8:7::1", P::kProtocolIpv6) + "\nunknown6=" + mac("2001:db8:7::2", P::kProtocolIpv6) +
           "\nipx=" + mac("", P::kProtocolIpx) + "\nlocal=" + local_mac("02-00-5e-10-00-02") +
           "\nforeign=" + local_mac("02-00-5E-10-00-09") + "\n";
  });
  EXPECT_EQ(a["veth"], std::string("0 ") + kVethMac);
  EXPECT_EQ(a["dummy"], std::string("0 ") + kDummyMac);
  EXPECT_TRUE(a["first"] == std::string("0 ") + kVethMac || a["first"] == std::string("0 ") + kDummyMac) << a["first"];
  EXPECT_EQ(a["unknown"], "-7");
  EXPECT_EQ(a["veth6"], std::string("0 ") + kVethMac);
  EXPECT_EQ(a["unknown6"], "-7");
  EXPECT_EQ(a["ipx"], "-2");
  EXPECT_EQ(a["local"], "0 yes");
  EXPECT_EQ(a["foreign"], "0 no");
}

TEST_F(LocalInterfaces, SourceAddressTowardsADestination) {
  Answers a = ask_in("a", [] {
    return "host_route=" + source("198.18.9.9", P::kProtocolIpv4) + "\nnetwork=" +
           source("198.18.7.0", P::kProtocolIpv4) + "\nno_route=" + source("198.18.6.6", P::kProtocolIpv4) +
           "\nipv6=" + source("2001:db8:7::2", P::kProtocolIpv6) + "\nipx=" +
           source("0000000a:0000c0a80001", P::kProtocolIpx) + "\n";
  });
  EXPECT_EQ(a["host_route"], "0 198.18.7.1 1 161");
  EXPECT_EQ(a["network"], "0 198.18.7.1 1 161");
  EXPECT_EQ(a["no_route"], "-1");
  EXPECT_EQ(a["ipv6"], "0 2001:db8:7::1 4 161");
  EXPECT_EQ(a["ipx"], "-5");
}

// This machine's own interfaces, read by the C library as a witness.
bool host_has_ipv4_interface() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool found = false;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET && (entry->ifa_flags & IFF_UP) &&
        !(entry->ifa_flags & IFF_LOOPBACK)) {
      found = true;
    }
  }
  freeifaddrs(list);
  return found;
}

TEST(LocalInterfacesHost, Ipv4TransportFollowsTheMachinesInterfaces) {
  EXPECT_EQ(qel_transport_available(P::kProtocolIpv4), host_has_ipv4_interface());
}

}  // namespace
}  // namespace orv
