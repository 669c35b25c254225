// Discovery through the C interface on a virtual LAN: simulated printers of
// the family, a look-alike and another vendor, each in its own namespace;
// the library runs in the client's namespace, so 255.255.255.255 and
// ff02::1 stay on the LAN.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "orv/orv.h"
#include "api/family_agent.h"
#include "support/lab.h"

namespace {

using orv::test::SnmpsimAgent;
using orv::test::VirtualLan;

using orv::test::kFamily;
constexpr uint32_t kFindTimeoutMs = 1500;

struct Found {
  std::string address, model, reserved, sys_object_id;
  bool operator==(const Found&) const = default;
};

std::vector<Found> all_found(OrvHandle h) {
  std::vector<Found> out;
  for (int guard = 0; guard < 100; ++guard) {
    char a[64] = "x", m[64] = "x", r[64] = "x", s[64] = "x";
    if (OrvGetDeviceNext(h, a, m, r, s) != 1) break;
    out.push_back({a, m, r, s});
  }
  return out;
}

std::set<std::string> addresses(const std::vector<Found>& found) {
  std::set<std::string> out;
  for (const Found& f : found) out.insert(f.address);
  return out;
}

class Discovery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!orv::test::lab_missing(true, {"ip", "snmpsimd"}).empty()) return;
    lan_ = std::make_unique<VirtualLan>(std::vector<std::pair<std::string, std::string>>{
        {"client", "198.18.0.1"},
        {"a", "198.18.0.11"},
        {"b", "198.18.0.12"},
        {"other", "198.18.0.13"},
        {"lookalike", "198.18.0.14"}});
    const std::pair<const char*, const char*> printers[] = {
        {"a", "printer-a"}, {"b", "printer-b"}, {"other", "other-vendor"},
        {"lookalike", "printer-prefix61"}};
    for (const auto& [host, file] : printers) {
      agents_.push_back(std::make_unique<SnmpsimAgent>(orv::test::SnmpsimOptions{
          .endpoints = {"0.0.0.0:161", "[::]:161"},
          .serve = {std::string(file) + ":public"},
          .netns = lan_->host(host).netns}));
    }
  }
  static void TearDownTestSuite() {
    agents_.clear();
    lan_.reset();
  }

  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"ip", "snmpsimd"});
    ASSERT_TRUE(lan_);
    ASSERT_EQ(OrvInit(&h_), 0);
  }
  void TearDown() override { OrvUnInit(h_); }

  // A find inside the client's namespace; its result code.
  int32_t find(const char* destination, int32_t protocol, int32_t* count) {
    int32_t rc = 0;
    lan_->run_in("client", [&] {
      rc = OrvFindDeviceSNMP(h_, destination, protocol, kFindTimeoutMs, 0, count);
    });
    return rc;
  }
  static const orv::test::LanHost& host(const char* name) { return lan_->host(name); }

  OrvHandle h_ = nullptr;
  static std::unique_ptr<VirtualLan> lan_;
  static std::vector<std::unique_ptr<SnmpsimAgent>> agents_;
};

std::unique_ptr<VirtualLan> Discovery::lan_;
std::vector<std::unique_ptr<SnmpsimAgent>> Discovery::agents_;

TEST_F(Discovery, BroadcastFindsExactlyTheSupportedPrinters) {
  int32_t count = -1;
  ASSERT_EQ(find(nullptr, 1, &count), 0);  // 255.255.255.255
  ASSERT_EQ(count, 2);
  const std::vector<Found> found = all_found(h_);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(addresses(found), (std::set<std::string>{host("a").ipv4, host("b").ipv4}));
  for (const Found& f : found) {
    EXPECT_EQ(f.model, "Verdane 8300");
    EXPECT_EQ(f.reserved, "");
    EXPECT_EQ(f.sys_object_id, f.address == host("a").ipv4 ? kFamily + ".1.2" : kFamily + ".2.7");
  }
  char a[64], m[64], r[64], s[64];
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, r, s), 0) << "exhausted";

  // Reset starts again over the same results in the same order.
  OrvFindResetPosition(h_);
  EXPECT_EQ(all_found(h_), found);

  // A new find replaces the list and starts at its first device.
  ASSERT_EQ(find("198.18.0.255", 1, &count), 0);  // the subnet's broadcast address
  EXPECT_EQ(count, 2);
  EXPECT_EQ(addresses(all_found(h_)), addresses(found));
}

TEST_F(Discovery, FiltersKeepMatchingPrintersUntilCleared) {
  ASSERT_EQ(OrvFindAddFilter(h_, (kFamily + ".1").c_str()), 0);
  int32_t count = -1;
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  ASSERT_EQ(count, 1);
  std::vector<Found> found = all_found(h_);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].address, host("a").ipv4);

  // A filter of the other vendor lets nothing of it through: the model
  // table comes first.
  ASSERT_EQ(OrvFindAddFilter(h_, "1.3.6.1.4.1.64999"), 0);
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  EXPECT_EQ(count, 1);

  OrvFindClearFilter(h_);
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  EXPECT_EQ(count, 2);
}

TEST_F(Discovery, UnicastFindAsksOnePrinter) {
  int32_t count = -1;
  ASSERT_EQ(find(host("b").ipv4.c_str(), 1, &count), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(all_found(h_)[0].sys_object_id, kFamily + ".2.7");
  ASSERT_EQ(find(host("other").ipv4.c_str(), 1, &count), 0);
  EXPECT_EQ(count, 0);
  char a[64], m[64], r[64], s[64];
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, r, s), 0);
}

TEST_F(Discovery, FindCommunityOfTheHandle) {
  // The agents answer only "public".
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", "nobody-answers-this"), 0);
  int32_t count = -1;
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  EXPECT_EQ(count, 0);
  // An empty community keeps the finder's earlier one.
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", ""), 0);
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  EXPECT_EQ(count, 0);
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", "public"), 0);
  ASSERT_EQ(find(nullptr, 1, &count), 0);
  EXPECT_EQ(count, 2);
}

TEST_F(Discovery, Ipv6MulticastFindsThePrintersAndOneOpensOverIpv6) {
  int32_t count = -1;
  ASSERT_EQ(find(nullptr, 5, &count), 0);  // ff02::1
  ASSERT_EQ(count, 2);
  const std::vector<Found> found = all_found(h_);
  ASSERT_EQ(found.size(), 2u);
  // The agents answer a link-local multicast from their link-local address.
  EXPECT_EQ(addresses(found).size(), 2u);
  std::string printer_a;
  for (const Found& f : found) {
    EXPECT_EQ(f.address.rfind("fe80::", 0), 0u) << f.address;
    EXPECT_EQ(f.model, "Verdane 8300");
    if (f.sys_object_id == kFamily + ".1.2") printer_a = f.address;
  }
  ASSERT_FALSE(printer_a.empty());

  // The address found opens over IPv6 and refreshes; so does the global one.
  for (const std::string& address : {printer_a, host("a").ipv6}) {
    SCOPED_TRACE(address);
    int32_t open = 0, refresh = 0;
    char sys_name[256] = "";
    lan_->run_in("client", [&] {
      open = OrvInitDevice(h_, address.c_str(), 5, 1000, 1);
      refresh = OrvRefreshOptions(h_);
      OrvGetOptionValueString(h_, "SysName", 0, sys_name);
    });
    EXPECT_EQ(open, 0);
    EXPECT_EQ(refresh, 0);
    EXPECT_STREQ(sys_name, "printer-a-floor2");
  }
}

}  // namespace
