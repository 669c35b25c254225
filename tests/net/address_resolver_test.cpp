#include "net/address_resolver.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/address_resolver_ex.h"
#include "net/address_resolver_ipv4.h"
#include "net/iphelp_api.h"
#include "net/netns_sandbox.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {
namespace {

using P = IQelNetworkAddress;

// Set in the child process that runs the IPv4-only suite.
constexpr const char* kIpv4OnlyChildEnv = "ORV_TEST_IPV4_ONLY_CHILD";

std::string normalised(IQelAddressResolver& resolver, const char* text, Result* result) {
  IQelBuffer* raw = nullptr;
  *result = resolver.normalise_text(text, &raw);
  BufferPtr buffer(raw);
  return buffer ? buffer->c_str() : "";
}

P::EProtocol detected(IQelAddressResolver& resolver, const char* text, Result* result) {
  P::EProtocol protocol = P::kProtocolIpv6;
  *result = resolver.detect_protocol(text, &protocol);
  return protocol;
}

// The C library's own reading of the service, as a witness for both variants.
uint16_t system_udp_port(const char* service) {
  const servent* entry = getservbyname(service, "udp");
  return entry ? ntohs(static_cast<uint16_t>(entry->s_port)) : 0;
}

// Forms both variants read without any lookup. A text that is no address, or
// an unknown service, is a failed getaddrinfo (-1) in the extended variant and
// "not found" (-7) in the IPv4-only one.
void expect_shared_text_forms(IQelAddressResolver& resolver, Result failed_lookup) {
  Result result = kErrPlatform;
  EXPECT_EQ(detected(resolver, "192.168.001.010", &result), P::kProtocolIpv4);
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(normalised(resolver, "192.168.001.010", &result), "192.168.1.10");
  EXPECT_EQ(result, kOk);

  EXPECT_EQ(detected(resolver, "1.2.3.4x", &result), P::kProtocolUnspecified);
  EXPECT_EQ(result, failed_lookup);
  normalised(resolver, "1.2.3.4x", &result);
  EXPECT_EQ(result, failed_lookup);

  EXPECT_EQ(detected(resolver, "0000000A:0000C0A80001", &result), P::kProtocolIpx);
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(normalised(resolver, "0000000A:0000C0A80001", &result), "0000000A:0000C0A80001");
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(detected(resolver, "0000000A:0000C0A8001", &result), P::kProtocolUnspecified);  // 20 characters
  EXPECT_NE(result, kOk);

  EXPECT_EQ(resolver.detect_protocol(nullptr, nullptr), kErrInvalidArg);
  EXPECT_EQ(resolver.normalise_text("10.0.0.1", nullptr), kErrInvalidArg);

  IQelNetworkAddress* local = nullptr;
  EXPECT_EQ(resolver.local_address(P::kProtocolIpx, &local), kErrNotSupported);
  EXPECT_EQ(local, nullptr);

  uint16_t port = 0;
  ASSERT_EQ(resolver.service_port("snmp", P::kProtocolIpv4, &port), kOk);
  EXPECT_EQ(port, system_udp_port("snmp"));
  EXPECT_EQ(port, 161);
  EXPECT_EQ(resolver.service_port("no-such-service-here", P::kProtocolIpv4, &port), failed_lookup);

  NetworkAddressPtr ipx(qel_create_network_address_with_protocol("0000000a:0000c0a80001", P::kProtocolIpx, 1));
  IQelNetworkAddress* source = nullptr;
  EXPECT_EQ(resolver.source_address(ipx.get(), &source), kErrNotSupported);
  EXPECT_EQ(resolver.source_address(nullptr, &source), kErrInvalidArg);
}

bool resolves_to_loopback(IQelAddressResolver& resolver, const char* name) {
  IQelNetworkAddressList* raw = nullptr;
  EXPECT_EQ(resolver.resolve_name(name, &raw), kOk);
  QelPtr<IQelNetworkAddressList> list(raw);
  if (!list) return false;
  for (int32_t i = 0; i < list->count(); ++i) {
    const IQelNetworkAddress* address = list->at(i);
    if (address->text() && std::string(address->text()) == "127.0.0.1" && address->protocol() == P::kProtocolIpv4) {
      return true;
    }
  }
  return false;
}

TEST(AddressResolver, ProcessWideResolverUsesTheExtendedCalls) {
  Result result = kErrPlatform;
  IQelAddressResolver* resolver = qel_address_resolver(&result);
  ASSERT_EQ(result, kOk);
  ASSERT_NE(resolver, nullptr);
  EXPECT_EQ(resolver, qel_address_resolver());
  if (std::getenv(kIpv4OnlyChildEnv)) GTEST_SKIP() << "the IPv4-only child checks its own variant";
  EXPECT_NE(dynamic_cast<net::CQelAddressResolverEx*>(resolver), nullptr);
}

TEST(AddressResolverEx, SharedTextForms) {
  net::CQelAddressResolverEx resolver;
  expect_shared_text_forms(resolver, kErrPlatform);
}

TEST(AddressResolverEx, Ipv6TextsNormaliseToOneCanonicalForm) {
  net::CQelAddressResolverEx resolver;
  Result result = kErrPlatform;
  EXPECT_EQ(detected(resolver, "FF02::1", &result), P::kProtocolIpv6);
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(normalised(resolver, "FF02::1", &result), "ff02::1");
  EXPECT_EQ(normalised(resolver, "ff02:0::1", &result), "ff02::1");
  EXPECT_EQ(normalised(resolver, "2001:0DB8:0000:0000:0000:0000:0000:0001", &result), "2001:db8::1");
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(detected(resolver, "ff02::1::2", &result), P::kProtocolUnspecified);
  EXPECT_EQ(result, kErrPlatform);

  NetworkAddressPtr upper(qel_create_network_address_from_text("FF02::1", 161));
  NetworkAddressPtr spelled(qel_create_network_address_from_text("ff02:0::1", 0));
  ASSERT_TRUE(upper && spelled);
  EXPECT_TRUE(upper->equals(spelled.get()));
  EXPECT_TRUE(upper->is_numeric());
}

TEST(AddressResolverEx, NamesAndPortsAgreeWithTheSystem) {
  net::CQelAddressResolverEx resolver;
  EXPECT_TRUE(resolves_to_loopback(resolver, "localhost"));
  IQelNetworkAddressList* none = nullptr;
  EXPECT_EQ(resolver.resolve_name("no-such-host.invalid", &none), kErrPlatform);
  EXPECT_EQ(none, nullptr);

  char witness[NI_MAXHOST];
  sockaddr_in loopback{};
  loopback.sin_family = AF_INET;
  loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(getnameinfo(reinterpret_cast<sockaddr*>(&loopback), sizeof loopback, witness, sizeof witness,
                        nullptr, 0, NI_NAMEREQD),
            0);
  IQelBuffer* raw = nullptr;
  ASSERT_EQ(resolver.host_name("127.0.0.1", &raw), kOk);
  BufferPtr name(raw);
  EXPECT_STREQ(name->c_str(), witness);

  uint16_t port = 0;
  ASSERT_EQ(resolver.service_port("snmp-trap", P::kProtocolIpv6, &port), kOk);
  EXPECT_EQ(port, 162);
}

TEST(AddressResolverEx, LocalAddressHasTheAskedFamily) {
  net::CQelAddressResolverEx resolver;
  IQelNetworkAddress* raw = nullptr;
  ASSERT_EQ(resolver.local_address(P::kProtocolIpv4, &raw), kOk);
  NetworkAddressPtr local(raw);
  EXPECT_EQ(local->protocol(), P::kProtocolIpv4);
  EXPECT_TRUE(local->is_numeric());
}

TEST(AddressResolver, TransportAvailabilityRefusesReservedCodes) {
  EXPECT_FALSE(qel_transport_available(P::kProtocolNone));
  EXPECT_FALSE(qel_transport_available(P::kProtocolUnspecified));
  EXPECT_FALSE(qel_transport_available(static_cast<P::EProtocol>(5)));
  // There are no IPX sockets on this platform.
  EXPECT_FALSE(qel_transport_available(P::kProtocolIpx));
}

// ---- The IPv4-only variant, in a child process whose socket module lacks getaddrinfo ----

TEST(AddressResolverIpv4OnlyChild, ChosenWhenTheModuleLacksGetaddrinfo) {
  if (!std::getenv(kIpv4OnlyChildEnv)) GTEST_SKIP() << "runs in the child of AddressResolverIpv4Only";
  IQelAddressResolver* resolver = qel_address_resolver();
  ASSERT_NE(resolver, nullptr);
  EXPECT_NE(dynamic_cast<net::CQelAddressResolver*>(resolver), nullptr);
}

TEST(AddressResolverIpv4OnlyChild, SharedTextFormsAndNoIpv6) {
  if (!std::getenv(kIpv4OnlyChildEnv)) GTEST_SKIP() << "runs in the child of AddressResolverIpv4Only";
  net::CQelAddressResolver resolver;
  expect_shared_text_forms(resolver, kErrNoValue);
  Result result = kOk;
  EXPECT_EQ(detected(resolver, "FF02::1", &result), P::kProtocolUnspecified);
  EXPECT_EQ(result, kErrNoValue);
  normalised(resolver, "ff02::1", &result);
  EXPECT_EQ(result, kErrNoValue);
  IQelNetworkAddress* local = nullptr;
  EXPECT_EQ(resolver.local_address(P::kProtocolIpv6, &local), kErrNotSupported);
  NetworkAddressPtr v6(qel_create_network_address_with_protocol("2001:db8::1", P::kProtocolIpv6, 161));
  EXPECT_EQ(resolver.source_address(v6.get(), &local), kErrNotSupported);
}

TEST(AddressResolverIpv4OnlyChild, NamesThroughTheOlderCalls) {
  if (!std::getenv(kIpv4OnlyChildEnv)) GTEST_SKIP() << "runs in the child of AddressResolverIpv4Only";
  net::CQelAddressResolver resolver;
  EXPECT_TRUE(resolves_to_loopback(resolver, "localhost"));
  IQelBuffer* raw = nullptr;
  EXPECT_EQ(resolver.host_name("1.2.3.4x", &raw), kErrPlatform);
  ASSERT_EQ(resolver.host_name("127.0.0.1", &raw), kOk);
  BufferPtr name(raw);
  EXPECT_GT(name->length(), 0u);
  IQelNetworkAddress* local = nullptr;
  ASSERT_EQ(resolver.local_address(P::kProtocolIpv4, &local), kOk);
  NetworkAddressPtr owned(local);
  EXPECT_EQ(owned->protocol(), P::kProtocolIpv4);
  EXPECT_EQ(owned->port(), 0);
}

// Runs this test program again with `environment` and `filter`; the child
// must pass `expected_passes` tests.
void expect_child_passes(const std::string& environment, const std::string& filter, int expected_passes) {
  std::string command = "env " + environment + " /proc/" + std::to_string(getpid()) +
                        "/exe --gtest_filter='" + filter + "'";
  std::string output;
  bool passed = testing::run_shell(command, &output);
  EXPECT_TRUE(passed) << output;
  EXPECT_NE(output.find("[  PASSED  ] " + std::to_string(expected_passes) + " test"), std::string::npos) << output;
}

TEST(AddressResolverIpv4Only, ChildProcessPasses) {
  if (std::getenv(kIpv4OnlyChildEnv)) GTEST_SKIP() << "this is the child";
  expect_child_passes(std::string(kIpv4OnlyChildEnv) + "=1 " + net::kSocketModuleEnv + "=" +
                          ORV_TEST_SOCK_NO_GETADDRINFO,
                      "AddressResolverIpv4OnlyChild.*:AddressResolver.*", 4);
}

// Set in the child whose IP-helper module lacks GetBestInterfaceEx.
constexpr const char* kNoBestInterfaceChildEnv = "ORV_TEST_NO_BEST_INTERFACE_CHILD";

TEST(AddressResolverNoBestInterfaceChild, Ipv6SourceIsNotSupported) {
  if (!std::getenv(kNoBestInterfaceChildEnv)) GTEST_SKIP() << "runs in the child of AddressResolverNoBestInterface";
  NetworkAddressPtr v6(qel_create_network_address_with_protocol("::1", P::kProtocolIpv6, 161));
  IQelNetworkAddress* source = nullptr;
  EXPECT_EQ(qel_resolver_source_address(v6.get(), &source), kErrNotSupported);
  EXPECT_EQ(source, nullptr);
  // The adapter lists themselves are still there.
  int32_t count = -1;
  EXPECT_EQ(qel_resolver_interface_count(P::kProtocolIpv4, &count), kOk);
}

TEST(AddressResolverNoBestInterface, ChildProcessPasses) {
  if (std::getenv(kNoBestInterfaceChildEnv)) GTEST_SKIP() << "this is the child";
  expect_child_passes(std::string(kNoBestInterfaceChildEnv) + "=1 " + net::kIpHelpModuleEnv + "=" +
                          ORV_TEST_IPHELP_NO_BEST_INTERFACE,
                      "AddressResolverNoBestInterfaceChild.*", 1);
}

}  // namespace
}  // namespace orv
