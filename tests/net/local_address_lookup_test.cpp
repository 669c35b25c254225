#include "net/local_address_lookup.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "net/mib_view.h"
#include "net/netns_sandbox.h"

namespace orv::net {
namespace {

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

TEST(LocalAddressCore, DottedTextNeedsFourOctets) {
  uint32_t value = 0;
  ASSERT_TRUE(parse_dotted_ipv4("198.18.0.255", &value));
  EXPECT_EQ(value, ip(198, 18, 0, 255));
  EXPECT_EQ(print_dotted_ipv4(value), "198.18.0.255");
  EXPECT_FALSE(parse_dotted_ipv4("198.18.0", &value));
  EXPECT_FALSE(parse_dotted_ipv4("198.18.0.256", &value));
  EXPECT_FALSE(parse_dotted_ipv4("198.-1.0.1", &value));
  EXPECT_FALSE(parse_dotted_ipv4(nullptr, &value));
}

TEST(LocalAddressCore, FirstExactRouteThenFirstAddressOfItsInterface) {
  std::vector<RouteRecord> routes = {
      {ip(198, 18, 1, 0), 3, 0, 3, ip(255, 255, 255, 0)},
      {ip(198, 18, 1, 0), 2, 0, 3, ip(255, 255, 0, 0)},  // less specific: not first
      {ip(0, 0, 0, 0), 2, ip(198, 18, 1, 254), 4, 0},
      {ip(198, 18, 2, 7), 9, 0, 3, ip(255, 255, 255, 255)},
  };
  std::vector<AddressRecord> addresses = {
      {ip(198, 18, 1, 20), 3, ip(255, 255, 255, 0), 1},
      {ip(198, 18, 1, 10), 3, ip(255, 255, 255, 0), 1},
      {ip(10, 0, 0, 1), 2, ip(255, 0, 0, 0), 1},
  };
  std::string found;
  ASSERT_EQ(find_local_address(routes, addresses, ip(198, 18, 1, 0), &found), kOk);
  EXPECT_EQ(found, "198.18.1.10");
  // Only an exact destination counts: the default route does not cover it.
  EXPECT_EQ(find_local_address(routes, addresses, ip(198, 18, 1, 5), &found), kErrPlatform);
  // A route whose interface has no address.
  EXPECT_EQ(find_local_address(routes, addresses, ip(198, 18, 2, 7), &found), kErrPlatform);
}

TEST(MibWalk, RowsEndWhereTheFirstColumnEnds) {
  MibView view;
  MibOid a = mib_oid("1.3.6.1.2.1.4.20.1.1");
  MibOid b = mib_oid("1.3.6.1.2.1.4.20.1.2");
  for (uint32_t row : {7u, 3u}) {
    MibOid ia = a, ib = b;
    ia.push_back(row);
    ib.push_back(row);
    view.set(ia, MibValue{row, {}});
    view.set(ib, MibValue{row * 10, {}});
  }
  view.set(mib_oid("1.3.6.1.2.1.4.21.1.1.1"), MibValue{99, {}});  // the next table
  auto rows = walk_columns(view, {a, b});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0].number, 3u);
  EXPECT_EQ(rows[0][1].number, 30u);
  EXPECT_EQ(rows[1][0].number, 7u);
  EXPECT_EQ(rows[1][1].number, 70u);
  EXPECT_TRUE(walk_columns(MibView{}, {a, b}).empty());
}

TEST(LocalAddressLookup, RefusesOtherProtocolsAndNullArguments) {
  IQelNetworkAddress* local = nullptr;
  NetworkAddressPtr ipx(qel_create_network_address_with_protocol(
      "0000000a:0000c0a80001", IQelNetworkAddress::kProtocolIpx, 36879));
  ASSERT_TRUE(ipx);
  EXPECT_EQ(qel_local_address_for_destination(ipx.get(), &local), kErrNotSupported);
  EXPECT_EQ(qel_local_address_for_destination(nullptr, &local), kErrInvalidArg);
  EXPECT_EQ(qel_local_address_for_destination(ipx.get(), nullptr), kErrInvalidArg);
  EXPECT_EQ(local, nullptr);
}

// Tables and answers of one source, as one text.
std::string answers_of(ILocalTableSource& source) {
  std::ostringstream out;
  std::vector<RouteRecord> routes;
  std::vector<AddressRecord> addresses;
  std::vector<InterfaceRecord> interfaces;
  uint32_t count = 0;
  out << "rc=" << source.read_routes(&routes) << source.read_addresses(&addresses)
      << source.read_interfaces(&interfaces) << source.interface_count(&count) << "\n";
  sort_routes(&routes);
  sort_addresses(&addresses);
  for (const auto& r : routes) {
    out << "route " << print_dotted_ipv4(r.dest) << "/" << print_dotted_ipv4(r.mask) << " if"
        << r.if_index << " via " << print_dotted_ipv4(r.next_hop) << " type" << r.type << "\n";
  }
  for (const auto& a : addresses) {
    out << "address " << print_dotted_ipv4(a.address) << "/" << print_dotted_ipv4(a.mask) << " if"
        << a.if_index << " b" << a.broadcast << "\n";
  }
  for (const auto& i : interfaces) out << "if " << i.index << " " << i.description << " " << i.type << "\n";
  out << "count " << count << "\n";
  for (const char* destination : {"198.18.7.7", "198.18.5.0", "198.18.9.0", "198.18.99.99",
                                   "198.18.5.255", "198.18.9.255", "198.18.5.9", "127.0.0.1",
                                   "255.255.255.255"}) {
    std::string found;
    Result rc = local_address_with_source(source, destination, &found);
    out << destination << " -> " << (rc == kOk ? found : std::to_string(rc)) << "\n";
  }
  return out.str();
}

TEST(LocalAddressLookup, BothSourcesGiveTheSameAnswersInANamespace) {
  std::string why;
  if (!testing::can_make_namespaces(&why)) GTEST_SKIP() << why;
  testing::NetnsSandbox sandbox;
  std::string a = sandbox.add_namespace("a");
  std::string b = sandbox.add_namespace("b");
  ASSERT_FALSE(a.empty() || b.empty());
  std::string output;
  ASSERT_TRUE(sandbox.run(
      "ip -n {a} link add va type veth peer name vb netns {b} && "
      "ip -n {a} link add vc type veth peer name vd && "
      "ip -n {a} addr add 198.18.5.9/24 dev va && ip -n {a} addr add 198.18.5.1/24 dev va && "
      "ip -n {a} addr add 198.18.9.1/24 dev vc && "
      "ip -n {a} link set va up && ip -n {a} link set vc up && ip -n {a} link set vd up && "
      "ip -n {a} route add 198.18.7.7/32 dev va && "
      "ip -n {a} route add 198.18.6.0/24 via 198.18.5.2",
      &output))
      << output;

  std::string seen = testing::run_in_namespace(a, [] {
    std::unique_ptr<ILocalTableSource> helper;
    std::unique_ptr<ILocalTableSource> kernel;
    if (make_iphelp_table_source(&helper) != kOk) return std::string("no helper source");
    if (make_kernel_table_source(&kernel) != kOk) return std::string("no kernel source");
    std::string first = answers_of(*helper);
    std::string second = answers_of(*kernel);
    if (first != second) return "differ:\n" + first + "----\n" + second;
    std::string process;
    for (const char* text : {"198.18.7.7", "198.18.9.255"}) {
      NetworkAddressPtr destination(qel_create_network_address_with_protocol(
          text, IQelNetworkAddress::kProtocolIpv4, 162));
      IQelNetworkAddress* local = nullptr;
      Result rc = qel_local_address_for_destination(destination.get(), &local);
      NetworkAddressPtr owned(local);
      process += "process " + std::string(text) + " ";
      if (rc == kOk) {
        process += std::string(owned->text()) + ":" + std::to_string(owned->port()) +
                   " protocol " + std::to_string(owned->protocol()) + "\n";
      } else {
        process += std::to_string(rc) + "\n";
      }
    }
    return first + process;
  });
  EXPECT_EQ(seen.find("differ"), std::string::npos) << seen;
  EXPECT_NE(seen.find("rc=0000\n"), std::string::npos) << seen;
  // The host route and the subnet route lead to va's lowest address; the
  // route via a gateway and a destination without route do not count.
  EXPECT_NE(seen.find("198.18.7.7 -> 198.18.5.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("198.18.5.0 -> 198.18.5.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("198.18.9.0 -> 198.18.9.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("198.18.99.99 -> -1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("route 198.18.6.0/255.255.255.0"), std::string::npos) << seen;
  EXPECT_NE(seen.find("via 198.18.5.2 type4"), std::string::npos) << seen;
  EXPECT_NE(seen.find("count 4\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("process 198.18.7.7 198.18.5.1:162 protocol 1\n"), std::string::npos) << seen;
  // Subnet broadcasts and the interfaces' own addresses are routed through
  // the kernel's local table: each leads to its own interface.
  EXPECT_NE(seen.find("198.18.5.255 -> 198.18.5.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("198.18.9.255 -> 198.18.9.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("198.18.5.9 -> 198.18.5.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("127.0.0.1 -> 127.0.0.1\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("process 198.18.9.255 198.18.9.1:162 protocol 1\n"), std::string::npos)
      << seen;
}

}  // namespace
}  // namespace orv::net
