// orvctl discover on a virtual LAN of its own: two supported printers and
// one of another vendor, each snmpsimd in its namespace. orvctl runs in the
// client namespace, so its broadcasts never leave the LAN.
#include <unistd.h>

#include <memory>
#include <set>

#include "orvctl_run.h"

namespace {

using orvctl_test::orvctl_argv;
using orvctl_test::parse_document;
using orvctl_test::kFamily;

class OrvctlDiscover : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    agents_.clear();
    lan_.reset();
  }

  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip"});
    if (lan_) return;
    lan_ = std::make_unique<orv::test::VirtualLan>(std::vector<std::pair<std::string, std::string>>{
        {"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"},
        {"p3", "198.18.0.13"}});
    const std::pair<const char*, const char*> printers[] = {
        {"p1", "printer-a"}, {"p2", "printer-b"}, {"p3", "other-vendor"}};
    for (const auto& [host, file] : printers) {
      agents_.push_back(std::make_unique<orv::test::SnmpsimAgent>(orv::test::SnmpsimOptions{
          .endpoints = {"0.0.0.0:161", "[::]:161"},
          .serve = {std::string(file) + ":public"},
          .netns = lan_->host(host).netns}));
    }
  }

  static orv::test::RunResult discover(std::vector<std::string> extra) {
    std::vector<std::string> args = {"discover", "--timeout", "500", "--retries", "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    return lan_->exec("client", orvctl_argv(args), 30000);
  }

  static std::vector<std::string> addresses(const nlohmann::json& doc) {
    std::vector<std::string> out;
    for (const auto& p : doc["printers"]) out.push_back(p["address"]);
    return out;
  }

  static inline std::unique_ptr<orv::test::VirtualLan> lan_;
  static inline std::vector<std::unique_ptr<orv::test::SnmpsimAgent>> agents_;
};

TEST_F(OrvctlDiscover, FindsBothSupportedPrintersOnceEach) {
  const auto result = discover({"--json"});
  ASSERT_EQ(result.exit_code, 0) << result.err << result.out;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["command"], "discover");
  EXPECT_EQ(doc["ok"], true);
  // The limited broadcast and the client's directed broadcast both reach
  // every printer; each is listed once.
  std::vector<std::string> destinations;
  for (const auto& s : doc["searches"]) {
    destinations.push_back(s["destination"]);
    EXPECT_EQ(s["result"], 0) << s.dump();
  }
  EXPECT_EQ(destinations, (std::vector<std::string>{"255.255.255.255", "198.18.0.255"}));
  ASSERT_EQ(addresses(doc), (std::vector<std::string>{"198.18.0.11", "198.18.0.12"}));
  EXPECT_EQ(doc["printers"][0]["model"], "Verdane 8300");
  EXPECT_EQ(doc["printers"][0]["sys_object_id"], std::string(kFamily) + ".1.2");
  EXPECT_EQ(doc["printers"][1]["sys_object_id"], std::string(kFamily) + ".2.7");
}

TEST_F(OrvctlDiscover, TextRowsAndNoProgressBarWhenNotATerminal) {
  const auto result = discover({});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("address", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("198.18.0.11  Verdane 8300  " + std::string(kFamily) + ".1.2"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.find("198.18.0.13"), std::string::npos) << result.out;
  EXPECT_EQ(result.err.find("s left"), std::string::npos) << result.err;
}

TEST_F(OrvctlDiscover, ProgressBarOnATerminal) {
  ORV_REQUIRE_LAB(true, {"script"});
  // script(1) gives orvctl a pseudo-terminal and copies what it draws.
  const std::string command = std::string(ORVCTL_PATH) + " discover --timeout 600 --retries 0";
  const auto result = lan_->exec("client", {"script", "-qec", command, "/dev/null"}, 30000);
  ASSERT_EQ(result.exit_code, 0) << result.err << result.out;
  EXPECT_NE(result.out.find("s left"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("198.18.0.12"), std::string::npos) << result.out;
}

TEST_F(OrvctlDiscover, FilterAndExplicitBroadcast) {
  auto result = discover({"--json", "--filter", std::string(kFamily) + ".2"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(addresses(parse_document(result)), (std::vector<std::string>{"198.18.0.12"}));

  result = discover({"--json", "--broadcast", "198.18.0.255"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const nlohmann::json doc = parse_document(result);
  ASSERT_EQ(doc["searches"].size(), 1u);
  EXPECT_EQ(doc["searches"][0]["destination"], "198.18.0.255");
  EXPECT_EQ(addresses(doc), (std::vector<std::string>{"198.18.0.11", "198.18.0.12"}));
}

TEST_F(OrvctlDiscover, Ipv6AllNodes) {
  const auto result = discover({"--json", "--ipv6"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const nlohmann::json doc = parse_document(result);
  // The client's one link, named by its scope.
  ASSERT_EQ(doc["searches"].size(), 1u);
  EXPECT_EQ(doc["searches"][0]["destination"].get<std::string>().rfind("ff02::1%", 0), 0u)
      << doc["searches"].dump();
  EXPECT_EQ(addresses(doc).size(), 2u) << result.out;
}

TEST_F(OrvctlDiscover, BroadcastOfTheWrongFamilyFailsWithAdvice) {
  const auto result = discover({"--json", "--broadcast", "ff02::1"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("does not fit the protocol (-2)"), std::string::npos) << result.err;
  const nlohmann::json doc = parse_document(result);
  EXPECT_EQ(doc["ok"], false);
  EXPECT_EQ(doc["error"]["code"], -2);
}

// The client on two links, one printer on each: p1 on the LAN's bridge,
// p2 only behind a second veth link (e1) straight to the client.
class OrvctlDiscoverTwoLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget", "ip"});
    lan_ = std::make_unique<orv::test::VirtualLan>(std::vector<std::pair<std::string, std::string>>{
        {"client", "198.18.0.1"}, {"p1", "198.18.0.11"}, {"p2", "198.18.0.12"}});
    const std::string p2 = lan_->host("p2").netns;
    ip("client", {"link", "add", "e1", "type", "veth", "peer", "name", "e1", "netns", p2});
    ip("p2", {"link", "set", "e0", "down"});
    ip("p2", {"link", "set", "e1", "up"});
    ip("client", {"link", "set", "e1", "up"});
    // Bounded wait for the link-local addresses the link's traffic uses.
    for (int i = 0; i < 50 && !(has_link_local("client") && has_link_local("p2")); ++i) {
      usleep(100 * 1000);
    }
    ASSERT_TRUE(has_link_local("client") && has_link_local("p2"));
    const std::pair<const char*, const char*> printers[] = {{"p1", "printer-a"},
                                                             {"p2", "printer-b"}};
    for (const auto& [host, file] : printers) {
      agents_.push_back(std::make_unique<orv::test::SnmpsimAgent>(orv::test::SnmpsimOptions{
          .endpoints = {"[::]:161"},
          .serve = {std::string(file) + ":public"},
          .netns = lan_->host(host).netns}));
    }
  }

  void ip(const std::string& host, std::vector<std::string> args) {
    args.insert(args.begin(), "ip");
    const auto result = lan_->exec(host, args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
  }

  bool has_link_local(const std::string& host) const {
    const auto result = lan_->exec(host, {"ip", "-6", "addr", "show", "dev", "e1", "scope", "link"});
    return result.out.find("fe80::") != std::string::npos &&
           result.out.find("tentative") == std::string::npos;
  }

  std::unique_ptr<orv::test::VirtualLan> lan_;
  std::vector<std::unique_ptr<orv::test::SnmpsimAgent>> agents_;
};

TEST_F(OrvctlDiscoverTwoLinks, Ipv6SearchesEveryLinkAndFindsBothPrinters) {
  const auto result = lan_->exec(
      "client", orvctl_argv({"discover", "--timeout", "800", "--retries", "0", "--ipv6", "--json"}),
      30000);
  ASSERT_EQ(result.exit_code, 0) << result.err << result.out;
  const nlohmann::json doc = parse_document(result);
  ASSERT_EQ(doc["searches"].size(), 2u) << doc.dump();
  for (const auto& search : doc["searches"]) {
    EXPECT_EQ(search["destination"].get<std::string>().rfind("ff02::1%", 0), 0u) << search.dump();
    EXPECT_EQ(search["found"], 1) << search.dump();
  }
  std::set<std::string> found;
  for (const auto& p : doc["printers"]) found.insert(p["sys_object_id"].get<std::string>());
  EXPECT_EQ(found, (std::set<std::string>{std::string(kFamily) + ".1.2",
                                          std::string(kFamily) + ".2.7"}))
      << doc.dump();
}

}  // namespace
