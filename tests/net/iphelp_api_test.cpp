#include "net/iphelp_api.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "net/netns_sandbox.h"
#include "orv/orv_log.hpp"

namespace orv::net {
namespace {

using H = NQelIpHelpAPI;

TEST(IpHelpApiLoad, MissingBestInterfaceIsLoggedAndLeftEmpty) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::string path = "/tmp/orv-iphelp-api-" + std::to_string(getpid()) + ".log";
        log::set_log_mask(log::kMaskAll);
        log::attach_file_log(path.c_str());
        setenv(kIpHelpModuleEnv, ORV_TEST_IPHELP_NO_BEST_INTERFACE, 1);
        Result rc = H::load_library();
        std::ifstream file(path);
        std::string line;
        int missing = 0;
        while (std::getline(file, line)) {
          missing += line.find("[NQelIpHelpAPI::set_api] fail GetProcAddress "
                               "\"GetBestInterfaceEx\": GetLastError()=127") != std::string::npos;
        }
        std::remove(path.c_str());
        fprintf(stderr, "rc=%d entries=%d%d%d missing=%d\n", rc,
                H::pfn_GetBestInterfaceEx != nullptr, H::pfn_GetAdaptersInfo != nullptr,
                H::pfn_GetAdaptersAddresses != nullptr, missing);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "rc=0 entries=011 missing=1");
}

TEST(IpHelpApiLoad, NoLoadableModuleGivesMinusTenUntilOneLoads) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv(kIpHelpModuleEnv, "/nonexistent/liborv-iphelp.so", 1);
        Result first = H::load_library();
        bool empty = H::pfn_GetAdaptersInfo == nullptr;
        setenv(kIpHelpModuleEnv, ORV_TEST_IPHELP_MODULE, 1);
        Result second = H::load_library();
        fprintf(stderr, "first=%d empty=%d second=%d entries=%d%d%d\n", first, empty, second,
                H::pfn_GetBestInterfaceEx != nullptr, H::pfn_GetAdaptersInfo != nullptr,
                H::pfn_GetAdaptersAddresses != nullptr);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "first=-10 empty=1 second=0 entries=111");
}

// Both adapter lists read the two-call way.
std::vector<char> adapters_info_block(uint32_t* rc) {
  uint32_t size = 0;
  *rc = H::pfn_GetAdaptersInfo(nullptr, &size);
  if (*rc != kIpHelpBufferOverflow) return {};
  std::vector<char> block(size);
  *rc = H::pfn_GetAdaptersInfo(reinterpret_cast<QelIpAdapterInfo*>(block.data()), &size);
  return block;
}

std::vector<char> adapters_addresses_block(uint32_t family, uint32_t* rc) {
  uint32_t size = 0;
  const uint32_t flags = kGaaSkipAnycast | kGaaSkipMulticast | kGaaSkipDnsServer | kGaaIncludePrefix;
  *rc = H::pfn_GetAdaptersAddresses(family, flags, nullptr, nullptr, &size);
  if (*rc != kIpHelpBufferOverflow) return {};
  std::vector<char> block(size);
  *rc = H::pfn_GetAdaptersAddresses(family, flags, nullptr,
                                    reinterpret_cast<QelAdapterAddresses*>(block.data()), &size);
  return block;
}

std::string sockaddr_text(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address->sa_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  } else {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
              sizeof text);
  }
  return text;
}

uint32_t best_interface(const char* ipv4) {
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  inet_pton(AF_INET, ipv4, &destination.sin_addr);
  uint32_t index = 0;
  uint32_t rc = H::pfn_GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&destination), &index);
  return rc == kIpHelpOk ? index : 100000 + rc;
}

// Everything the three entries tell about the namespace, as one text.
std::string describe_namespace() {
  if (H::load_library() != kOk) return "no module";
  std::string out;
  uint32_t rc = 0;
  std::vector<char> info = adapters_info_block(&rc);
  out += "info rc=" + std::to_string(rc) + "\n";
  for (auto* a = reinterpret_cast<const QelIpAdapterInfo*>(info.data()); rc == kIpHelpOk && a;
       a = a->next) {
    char mac[32];
    std::snprintf(mac, sizeof mac, "%02X-%02X-%02X-%02X-%02X-%02X", a->address[0], a->address[1],
                  a->address[2], a->address[3], a->address[4], a->address[5]);
    out += std::string(a->adapter_name) + " type=" + std::to_string(a->type) + " mac=" + mac +
           " ip=" + a->ip_address_list.address.text + "/" + a->ip_address_list.mask.text +
           " index_ok=" + std::to_string(a->index == if_nametoindex(a->adapter_name)) + "\n";
  }
  std::vector<char> all = adapters_addresses_block(AF_UNSPEC, &rc);
  out += "addresses rc=" + std::to_string(rc) + "\n";
  for (auto* a = reinterpret_cast<const QelAdapterAddresses*>(all.data()); rc == kIpHelpOk && a;
       a = a->next) {
    out += std::string(a->adapter_name) + " type=" + std::to_string(a->if_type) + ":";
    for (auto* u = a->first_unicast_address; u; u = u->next) {
      std::string text = sockaddr_text(u->address.sockaddr_ptr);
      if (text.rfind("fe80", 0) == 0) {
        auto* in6 = reinterpret_cast<const sockaddr_in6*>(u->address.sockaddr_ptr);
        text = "fe80-scope-ok=" + std::to_string(in6->sin6_scope_id == a->ipv6_if_index);
      }
      out += " " + text + "/" + std::to_string(u->on_link_prefix_length);
    }
    out += "\n";
  }
  out += "best peer=" + std::to_string(best_interface("198.18.5.2") == if_nametoindex("va"));
  out += " unrouted=" + std::to_string(best_interface("198.18.77.1"));
  return out;
}

TEST(IpHelpApi, AdapterListsAndBestInterfaceDescribeANamespace) {
  std::string why;
  if (!testing::can_make_namespaces(&why)) GTEST_SKIP() << why;
  testing::NetnsSandbox sandbox;
  std::string a = sandbox.add_namespace("a");
  std::string b = sandbox.add_namespace("b");
  ASSERT_FALSE(a.empty() || b.empty());
  std::string output;
  ASSERT_TRUE(sandbox.run(
      "ip -n {a} link add va address 02:00:5e:00:05:01 type veth peer name vb netns {b} && "
      "ip -n {a} addr add 198.18.5.1/24 dev va && "
      "ip -n {a} addr add 198.18.6.1/24 dev va && "
      "ip -n {a} addr add fd00:5::1/64 dev va nodad && "
      "ip -n {a} link set va up && ip -n {b} addr add 198.18.5.2/24 dev vb && "
      "ip -n {b} link set vb up",
      &output))
      << output;

  std::string seen = testing::run_in_namespace(a, describe_namespace);
  EXPECT_EQ(seen.find("child failed"), std::string::npos) << seen;
  // Loopback is no adapter of the IPv4 list; the first address stands first.
  EXPECT_NE(seen.find("info rc=0\nva type=6 mac=02-00-5E-00-05-01 ip=198.18.5.1/255.255.255.0 "
                      "index_ok=1\naddresses"),
            std::string::npos)
      << seen;
  EXPECT_NE(seen.find("lo type=24: 127.0.0.1/8 ::1/128\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("va type=6: 198.18.5.1/24 198.18.6.1/24 fd00:5::1/64"), std::string::npos)
      << seen;
  EXPECT_NE(seen.find("best peer=1 unrouted=" + std::to_string(100000 + kIpHelpNotFound)),
            std::string::npos)
      << seen;
}

TEST(IpHelpApi, InterfaceThatIsDownListsNoAddress) {
  std::string why;
  if (!testing::can_make_namespaces(&why)) GTEST_SKIP() << why;
  testing::NetnsSandbox sandbox;
  std::string a = sandbox.add_namespace("a");
  ASSERT_FALSE(a.empty());
  std::string output;
  ASSERT_TRUE(sandbox.run("ip -n {a} link add va type veth peer name vz && "
                          "ip -n {a} addr add 198.18.5.1/24 dev va",
                          &output))
      << output;
  std::string seen = testing::run_in_namespace(a, [] {
    if (H::load_library() != kOk) return std::string("no module");
    uint32_t rc = 0;
    std::vector<char> info = adapters_info_block(&rc);
    if (rc != kIpHelpOk) return "rc=" + std::to_string(rc);
    for (auto* a = reinterpret_cast<const QelIpAdapterInfo*>(info.data()); a; a = a->next) {
      if (std::string(a->adapter_name) == "va") return std::string(a->ip_address_list.address.text);
    }
    return std::string("va not listed");
  });
  EXPECT_EQ(seen, "0.0.0.0");
}

TEST(IpHelpApi, LoopbackOnlyNamespaceHasNoIpv4Adapter) {
  std::string why;
  if (!testing::can_make_namespaces(&why)) GTEST_SKIP() << why;
  testing::NetnsSandbox sandbox;
  std::string a = sandbox.add_namespace("a");
  ASSERT_FALSE(a.empty());
  std::string seen = testing::run_in_namespace(a, [] {
    if (H::load_library() != kOk) return std::string("no module");
    uint32_t size = 0;
    return std::to_string(H::pfn_GetAdaptersInfo(nullptr, &size));
  });
  EXPECT_EQ(seen, std::to_string(kIpHelpNoData));
}

}  // namespace
}  // namespace orv::net
