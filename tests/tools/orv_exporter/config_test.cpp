// The YAML configuration and the small rules of the command line and the
// scrape time-out: good files give the values written, bad ones are refused
// with words that point at the mistake.
#include <gtest/gtest.h>

#include "exporter_config.h"
#include "exporter_server.h"

namespace {

using namespace std::chrono_literals;
using orv_exporter::Config;
using orv_exporter::parse_config;

TEST(ExporterConfig, GoodFilesGiveTheirValues) {
  struct Case {
    const char* yaml;
    std::function<void(const Config&)> check;
  };
  const Case cases[] = {
      {"",
       [](const Config& c) {
         ASSERT_EQ(c.auths.size(), 1u);
         EXPECT_EQ(c.find_auth("")->request.community, "public");
         EXPECT_EQ(c.probe.timeout, 10s);
         EXPECT_EQ(c.discovery.interval, 5min);
         EXPECT_EQ(c.web.page_max_age, 60s);
       }},
      {"web: {page_max_age: 2m}\n", [](const Config& c) { EXPECT_EQ(c.web.page_max_age, 2min); }},
      {"auths:\n  site: {community: s1}\n  public: {community: p}\n",
       [](const Config& c) {
         EXPECT_EQ(c.find_auth("")->name, "public");  // "public" wins over the first
         EXPECT_EQ(c.find_auth("site")->request.community, "s1");
         EXPECT_EQ(c.find_auth("other"), nullptr);
       }},
      {"auths:\n  first: {community: one, version: 2c}\n  second: {community: two}\n",
       [](const Config& c) { EXPECT_EQ(c.find_auth("")->name, "first"); }},
      {R"(auths:
  v3:
    version: 3
    username: admin
    security_level: authPriv
    auth_protocol: md5
    auth_password: secret-one
    priv_protocol: DES
    priv_password: secret-two
    context_name: printer-a
probe: {timeout: 1m30s, retries: 0}
discovery: {interval: 90s, timeout: 250ms, auth: v3, addresses: [198.18.0.255, "fd00::1"], ipv6: true}
)",
       [](const Config& c) {
         const OrvUSMParameters usm = orvctl::usm_parameters(c.find_auth("v3")->request.v3);
         EXPECT_STREQ(usm.user_name, "admin");
         EXPECT_EQ(usm.security_level, 2);
         EXPECT_EQ(usm.auth_protocol, 1);
         EXPECT_EQ(usm.priv_protocol, 1);
         EXPECT_STREQ(usm.priv_pass_phrase, "secret-two");
         EXPECT_STREQ(usm.context_name, "printer-a");
         EXPECT_EQ(c.probe.timeout, 90s);
         EXPECT_EQ(c.probe.retries, 0u);
         EXPECT_EQ(c.discovery.timeout, 250ms);
         EXPECT_EQ(c.discovery.addresses, (std::vector<std::string>{"198.18.0.255", "fd00::1"}));
         EXPECT_TRUE(c.discovery.ipv6);
       }},
  };
  for (const Case& test : cases) {
    std::string error;
    const auto config = parse_config(test.yaml, error);
    ASSERT_TRUE(config) << test.yaml << "\n-> " << error;
    test.check(*config);
  }
}

TEST(ExporterConfig, BadFilesAreRefusedWithTheirMistake) {
  const std::pair<const char*, const char*> cases[] = {
      {"auths: [public]", "auths must name at least one auth"},
      {"auths: {}", "auths must name at least one auth"},
      {"auth:\n  public: {community: public}\n",
       "unknown key \"auth\" in the configuration (line 1)"},
      {"auths:\n  a: {community: x, colour: red}\n", "unknown key \"colour\" in auth \"a\""},
      {"auths:\n  a: {}\n", "auth \"a\" needs a community"},
      {"auths:\n  a: {community: x, username: u}\n", "username needs version: 3"},
      {"auths:\n  a: {version: 3, community: x, username: u}\n", "a community is for versions"},
      {"auths:\n  a: {version: 4, community: x}\n", "version \"4\" is none of 1, 2, 2c, 3"},
      {"auths:\n  a: {version: 3}\n", "needs a username"},
      {"auths:\n  a: {version: 3, username: u, security_level: authNoPriv}\n",
       "security_level authNoPriv needs auth_password"},
      {"auths:\n  a: {version: 3, username: u, security_level: authPriv, auth_password: password1}\n",
       "authPriv needs priv_password"},
      {"auths:\n  a: {version: 3, username: u, security_level: high}\n", "none of noAuthNoPriv"},
      {"auths:\n  a: {version: 3, username: u, auth_protocol: SHA256}\n", "none of MD5, SHA"},
      {"auths:\n  a: {version: 3, username: 0123456789012345678901234567890123}\n",
       "username is at most 32 characters"},
      {"probe: {timeout: 10}\n", "probe: timeout must be a duration"},
      {"probe: {timeout: 0s}\n", "probe: timeout must be a duration"},
      {"probe: {retries: -1}\n", "retries must be a number from 0 to 100"},
      {"discovery: {auth: nosuch}\n", "discovery: auth \"nosuch\" is not in auths"},
      {"discovery: {addresses: [printer.example]}\n", "\"printer.example\" is not an IPv4"},
      {"discovery: {ipv6: maybe}\n", "ipv6 must be true or false"},
      {"web: {page_max_age: soon}\n", "web: page_max_age must be a duration"},
      {"web: {refresh: 1s}\n", "unknown key \"refresh\" in web"},
      {"auths: {a: {community: x}\n", "not YAML"},
      {"auths:\n  a: {version: 3, username: u, security_level: authNoPriv, auth_password: 1234567}\n",
       "auth_password has fewer than 8 characters (line 2)"},
      {"auths:\n  a: {version: 3, username: u, auth_password: 12345678}\n",
       "auth_password needs security_level (line 2)"},
      {"probe: {retries: 1}\ndiscovery: {}\nprobe: {retries: 2}\n",
       "key \"probe\" is given twice in the configuration (line 3)"},
      {"targets: {deny: [10.0.0.1/8]}\n", "\"10.0.0.1/8\" is not an address or a network (CIDR) (line 1)"},
      {"discovery: {retention: 1}\n", "discovery: retention must be a duration"},
  };
  for (const auto& [yaml, expected] : cases) {
    std::string error;
    EXPECT_FALSE(parse_config(yaml, error)) << yaml;
    EXPECT_NE(error.find(expected), std::string::npos) << yaml << "\n-> " << error;
  }
}

TEST(ExporterConfig, DurationsListenAddressesAndScrapeBudgets) {
  using orv_exporter::parse_duration;
  EXPECT_EQ(parse_duration("500ms"), 500ms);
  EXPECT_EQ(parse_duration("1h30m"), 90min);
  EXPECT_EQ(parse_duration("2d"), 48h);
  for (const char* bad : {"", "10", "s", "1.5s", "10 s", "-1s", "5x", "9999999999s"}) {
    EXPECT_FALSE(parse_duration(bad)) << bad;
  }

  using orv_exporter::listening_ports;
  EXPECT_EQ(listening_ports(":9470", true), "+9470");
  EXPECT_EQ(listening_ports(":9470", false), "9470");
  EXPECT_EQ(listening_ports("localhost:80", false), "127.0.0.1:80");
  EXPECT_EQ(listening_ports("[::1]:9470", true), "[::1]:9470");
  for (const char* bad : {"9470", "[::1]:9470x", "host.example:9470", "1.2.3.4:65536", "[::1]:"}) {
    EXPECT_FALSE(listening_ports(bad, true)) << bad;
  }

  using orv_exporter::probe_budget;
  const std::pair<const char*, std::chrono::milliseconds> budgets[] = {
      {nullptr, 7s}, {"10", 9500ms}, {"1", 750ms}, {"0.4", 300ms},
      {"0", 7s},     {"-3", 7s},     {"ten", 7s},  {"nan", 7s}};
  for (const auto& [header, expected] : budgets) {
    EXPECT_EQ(probe_budget(header, 7s), expected) << (header ? header : "(none)");
  }
}

}  // namespace
