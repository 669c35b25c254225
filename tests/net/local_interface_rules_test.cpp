#include <arpa/inet.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "net/local_interfaces.h"

namespace orv::net {
namespace {

Ipv4AdapterRecord v4(uint32_t type, uint8_t mac_last, const char* address) {
  Ipv4AdapterRecord record;
  record.type = type;
  record.mac = {0x02, 0x00, 0x5e, 0x10, 0x00, mac_last};
  record.mac_length = 6;
  record.first_address = address;
  return record;
}

AdapterRecord v6(uint32_t type, uint8_t mac_last, const char* address, uint32_t index, uint32_t scope = 0) {
  AdapterRecord record;
  record.type = type;
  record.mac = {0x02, 0x00, 0x5e, 0x10, 0x00, mac_last};
  record.mac_length = 6;
  record.ipv6_index = index;
  record.scope_id = scope;
  if (address) {
    record.has_unicast = true;
    record.unicast_family = AF_INET6;
    inet_pton(AF_INET6, address, record.unicast.data());
  }
  return record;
}

// Stands in for the resolver's normalisation with the C library's own.
std::string canonical(const std::string& text) {
  uint8_t bytes[16];
  char out[INET6_ADDRSTRLEN];
  if (inet_pton(AF_INET6, text.c_str(), bytes) != 1) return text;
  return inet_ntop(AF_INET6, bytes, out, sizeof out);
}

constexpr uint32_t kEthernet = 6;

TEST(LocalInterfaceRules, LoopbackNeverCountsAndTunnelsOnlyForIpv4) {
  std::vector<Ipv4AdapterRecord> only_loopback{v4(kIfTypeLoopback, 1, "127.0.0.1")};
  EXPECT_FALSE(has_usable_ipv4(only_loopback));
  EXPECT_EQ(count_ipv4(only_loopback), 0);
  std::vector<Ipv4AdapterRecord> tunnel{v4(kIfTypeTunnel, 1, "10.9.0.1")};
  EXPECT_TRUE(has_usable_ipv4(tunnel));
  EXPECT_EQ(count_ipv4(tunnel), 1);

  std::vector<AdapterRecord> v6_only_excluded{v6(kIfTypeLoopback, 1, "::1", 1),
                                              v6(kIfTypeTunnel, 2, "2001:db8::1", 2)};
  EXPECT_FALSE(has_usable_ipv6(v6_only_excluded));
  EXPECT_EQ(count_ipv6(v6_only_excluded), 0);
}

TEST(LocalInterfaceRules, UsableNeedsAnAddress) {
  std::vector<Ipv4AdapterRecord> unaddressed{v4(kEthernet, 1, "0.0.0.0")};
  EXPECT_FALSE(has_usable_ipv4(unaddressed));
  EXPECT_EQ(count_ipv4(unaddressed), 1);  // counted, but not usable
  unaddressed.push_back(v4(kEthernet, 2, "198.18.0.1"));
  EXPECT_TRUE(has_usable_ipv4(unaddressed));

  std::vector<AdapterRecord> v6s{v6(kEthernet, 1, "::", 1), v6(kEthernet, 2, nullptr, 2)};
  EXPECT_FALSE(has_usable_ipv6(v6s));
  EXPECT_EQ(count_ipv6(v6s), 1);  // only adapters with a unicast address count
  v6s.push_back(v6(kEthernet, 3, "fe80::1", 3, 3));
  EXPECT_TRUE(has_usable_ipv6(v6s));
  EXPECT_EQ(count_ipv6(v6s), 2);
}

TEST(LocalInterfaceRules, Ipv4MacOfExactAddressOrFirstAdapter) {
  std::vector<Ipv4AdapterRecord> adapters{v4(kIfTypeLoopback, 9, "127.0.0.1"),
                                          v4(kEthernet, 1, "198.18.0.1"), v4(kEthernet, 2, "198.18.1.1")};
  std::string mac;
  ASSERT_EQ(find_ipv4_mac(adapters, "198.18.1.1", &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-02");
  ASSERT_EQ(find_ipv4_mac(adapters, "", &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-01");
  EXPECT_EQ(find_ipv4_mac(adapters, "198.18.001.1", &mac), kErrNoValue);  // exact text only
  EXPECT_EQ(find_ipv4_mac(adapters, "127.0.0.1", &mac), kErrNoValue);
  EXPECT_TRUE(holds_mac_ipv4(adapters, "02-00-5e-10-00-02"));
  EXPECT_FALSE(holds_mac_ipv4(adapters, "02-00-5E-10-00-09"));  // the loopback's
}

TEST(LocalInterfaceRules, Ipv6MacByNormalisedFormOrScopedForm) {
  std::vector<AdapterRecord> adapters{v6(kEthernet, 1, "::", 1), v6(kEthernet, 2, "2001:DB8::1", 2),
                                      v6(kEthernet, 3, "fe80::5e:ff:fe10:3", 3, 3)};
  std::string mac;
  ASSERT_EQ(find_ipv6_mac(adapters, "2001:DB8::1", canonical, &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-02");
  ASSERT_EQ(find_ipv6_mac(adapters, "fe80::5e:ff:fe10:3%3", canonical, &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-03");
  ASSERT_EQ(find_ipv6_mac(adapters, "fe80::5e:ff:fe10:3", canonical, &mac), kOk);
  ASSERT_EQ(find_ipv6_mac(adapters, "", canonical, &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-02");  // the first with a non-zero address
  EXPECT_EQ(find_ipv6_mac(adapters, "fe80::5e:ff:fe10:3%4", canonical, &mac), kErrNoValue);
  EXPECT_EQ(find_ipv6_mac(adapters, "2001:db8::2", canonical, &mac), kErrNoValue);
  EXPECT_TRUE(holds_mac_ipv6(adapters, "02-00-5e-10-00-03"));
}

TEST(LocalInterfaceRules, ShortHardwareAddressIsPaddedWithZeros) {
  Ipv4AdapterRecord adapter = v4(kEthernet, 1, "198.18.0.1");
  adapter.mac_length = 4;
  std::string mac;
  ASSERT_EQ(find_ipv4_mac({adapter}, "", &mac), kOk);
  EXPECT_EQ(mac, "02-00-5E-10-00-00");
}

TEST(LocalInterfaceRules, AdapterForInterfaceMatchesFamilyAndIndex) {
  std::vector<AdapterRecord> adapters{v6(kEthernet, 1, "2001:db8::1", 4), v6(kEthernet, 2, "2001:db8::2", 5)};
  adapters[0].ipv4_index = 5;  // an IPv4 index must not be taken for an IPv6 one
  const AdapterRecord* found = adapter_for_interface(adapters, AF_INET6, 5);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->mac[5], 2);
  EXPECT_EQ(adapter_for_interface(adapters, AF_INET6, 6), nullptr);
  EXPECT_EQ(adapter_for_interface(adapters, AF_INET, 5), nullptr);
}

}  // namespace
}  // namespace orv::net
