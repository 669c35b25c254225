// The tool's pure helpers, called directly: result-code messages, medium
// size names, OID arguments, the progress line, tables, broadcast addresses
// and the merge of search results.
#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdlib>

#include "broadcast_targets.h"
#include "log_settings.h"
#include "media_names.h"
#include "oid_argument.h"
#include "output.h"
#include "printer_address.h"
#include "printer_search.h"
#include "progress_bar.h"
#include "result_messages.h"
#include "status_names.h"

#include <gtest/gtest.h>

namespace {

using namespace orvctl;

TEST(OrvctlMessages, NoAnswerNamesAddressTimeAndTries) {
  const FailureContext context{Step::kOpen, "192.0.2.7", 1000, 1, {}};
  EXPECT_EQ(describe_result(ORV_ERR_TIMEOUT, context),
            "no answer from 192.0.2.7 within 1000 ms after 2 tries (-203): check the address and "
            "community");
  const FailureContext once{Step::kOpen, "192.0.2.7", 250, 0, {}};
  EXPECT_NE(describe_result(ORV_ERR_TIMEOUT, once).find("within 250 ms after 1 try ("),
            std::string::npos);
  // Over SNMPv3 there is no community to check.
  FailureContext v3 = context;
  v3.snmpv3 = true;
  for (const int32_t code : {ORV_ERR_TIMEOUT, -250}) {
    EXPECT_EQ(describe_result(code, v3).find("community"), std::string::npos) << code;
    EXPECT_NE(describe_result(code, context).find("community"), std::string::npos) << code;
  }
  v3.step = Step::kCancel;
  EXPECT_NE(describe_result(ORV_ERR_NO_VALUE, v3).find("SNMPv3 user may write"), std::string::npos);
}

TEST(OrvctlMessages, SameCodeMeansDifferentThingsAtDifferentSteps) {
  FailureContext context{Step::kOpen, "192.0.2.7", 1000, 1, {}};
  const std::string open = describe_result(ORV_ERR_INVALID_ARG, context);
  EXPECT_NE(open.find("192.0.2.7 is not a printer of the supported family"), std::string::npos)
      << open;
  context.step = Step::kFind;
  const std::string find = describe_result(ORV_ERR_INVALID_ARG, context);
  EXPECT_NE(find.find("broadcast address 192.0.2.7"), std::string::npos) << find;
  context.step = Step::kRefresh;
  EXPECT_NE(describe_result(ORV_ERR_VERSION_FORMAT, context).find("ROM version"),
            std::string::npos);
  context.step = Step::kOpen;
  EXPECT_EQ(describe_result(ORV_ERR_VERSION_FORMAT, context).find("ROM version"),
            std::string::npos);
}

TEST(OrvctlMessages, EveryCodeGetsMeaningNumberAndHint) {
  const FailureContext context{Step::kOpen, "", 1000, 1, "reading option \"SysName\""};
  // Every code the library returns.
  const std::vector<int32_t> known = {-1,   -2,   -3,   3,    -4,   -5,   -7,   -8,
                                      -10,  -11,  -200, -201, -202, -203, -204, -205, -206,
                                      -210, -211, -212, -214, -250, -251, -401};
  std::vector<int32_t> codes = known;
  codes.insert(codes.end(), {-999, 42});
  for (int32_t code : codes) {
    const std::string text = describe_result(code, context);
    const std::string number = "(" + std::to_string(code) + "): ";
    const size_t at = text.find(number);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_GT(text.size(), at + number.size()) << "no hint: " << text;
    EXPECT_EQ(text.rfind("reading option \"SysName\": ", 0), 0u) << text;
    EXPECT_EQ(text.find('{'), std::string::npos) << "unfilled placeholder: " << text;
  }
  // Known codes have their own words, not the catch-all.
  for (int32_t code : known) {
    EXPECT_EQ(describe_result(code, context).find("unexpected"), std::string::npos) << code;
  }
  EXPECT_NE(describe_result(-999, context).find("unexpected"), std::string::npos);
}

// Numbers are opened as written (the library's dotted-quad reading), a host
// name at its first address of the chosen family.
TEST(OrvctlPrinterAddress, NumbersAsWrittenNamesLookedUp) {
  const struct {
    const char* text;
    bool ipv6;
    const char* address;
  } cases[] = {
      {"192.168.001.010", false, "192.168.001.010"},
      {"fe80::1%1", true, "fe80::1%1"},
      {"localhost", false, "127.0.0.1"},
  };
  for (const auto& c : cases) {
    const PrinterAddress found = resolve_printer_address(c.text, c.ipv6);
    EXPECT_TRUE(found.usable()) << c.text << ": " << found.message;
    EXPECT_EQ(found.address, c.address);
  }
}

TEST(OrvctlMediaNames, SizeTypeAndDirectionWords) {
  EXPECT_EQ(medium_size_name(25), "A4");
  EXPECT_EQ(medium_size_name(1), "Letter");
  EXPECT_EQ(medium_size_name(2), "Legal");
  EXPECT_EQ(medium_size_name(24), "A3");
  EXPECT_EQ(medium_size_name(86), "JIS B5");
  EXPECT_EQ(medium_size_name(46), "B5");
  EXPECT_EQ(medium_size_name(70), "DL");
  EXPECT_EQ(medium_size_name(10001), "Tabloid");
  EXPECT_EQ(medium_size_name(10000), "");  // the library's "not found"
  EXPECT_EQ(medium_size_name(9), "");      // a gap in the code range
  EXPECT_EQ(input_type_name(5), "manual feed");
  EXPECT_EQ(input_type_name(99), "");
  EXPECT_EQ(medium_direction_name(3), "short-edge feed");
  EXPECT_EQ(medium_direction_name(2), "long-edge feed");
  EXPECT_EQ(medium_direction_name(1), "");
}

TEST(OrvctlStatusNames, CodesBitsAndLevels) {
  const std::vector<std::pair<std::string, std::string>> words = {
      {printer_status_name(3), "idle (3)"},
      {printer_status_name(5), "warmup (5)"},
      {printer_status_name(9), "unknown (9)"},
      {storage_type_name(0), "unknown (0)"},
      {device_type_name(154), "vendor device (154)"},
      {alert_severity_name(4), "warning (4)"},
      {alert_group_name(11), "markerSupplies (11)"},
      {char_set_name(17), "Shift_JIS (17)"},
      {with_code(medium_size_name(9999), 9999), "unknown (9999)"},
      {with_code(medium_direction_name(7), 7), "unknown (7)"},
      {level_text(12, 100), "12%"},
      {level_text(3, 2), "100%"},
      {level_text(412, 550), "75%"},
      {level_text(5, -2), "5"},
      {level_text(-1, 100), "other"},
      {level_text(-2, 100), "unknown"},
      {level_text(-3, 100), "some left"},
      {percent_text(150), "100%"},
      {percent_text(-1), "unknown"},
      {sub_unit_status_name(0), "available and idle (0)"},
      {sub_unit_status_name(6), "available and busy (6)"},
      {sub_unit_status_name(51), "unavailable because broken, critical alerts, off-line (51)"},
      {sub_unit_status_name(77), "availability unknown, non-critical alerts, transitioning (77)"},
      {sub_unit_status_name(-2), "unknown (-2)"},
  };
  for (const auto& [got, want] : words) EXPECT_EQ(got, want);
  const uint8_t state[4] = {0xA8, 0x06, 0x00, 0x01};
  EXPECT_EQ(error_state_names(state, 4),
            (std::vector<std::string>{"lowPaper", "lowToner", "doorOpen", "inputTrayEmpty",
                                      "overduePreventMaint", "bit31"}));
}

TEST(OrvctlOidArgument, DottedDecimalOnly) {
  for (const char* good : {"1", "1.3.6.1.4.1.119", ".1.3.6"}) {
    EXPECT_EQ(oid_argument_error(good), "") << good;
  }
  for (const char* bad : {"", ".", "1..3", "1.3.", "..1", "1.a", "iso.3", "1,3", " 1.3"}) {
    EXPECT_NE(oid_argument_error(bad), "") << bad;
  }
  std::string text = ".1.3.6";
  EXPECT_EQ(oid_validator()(text), "");
  EXPECT_EQ(text, "1.3.6");
}

TEST(OrvctlProgress, LineShowsShareDoneAndTimeLeft) {
  EXPECT_EQ(format_progress(0, 2000, 10), "[----------] 2.0 s left");
  EXPECT_EQ(format_progress(1000, 2000, 10), "[#####-----] 1.0 s left");
  EXPECT_EQ(format_progress(1950, 2000, 10), "[#########-] 0.0 s left");
  EXPECT_EQ(format_progress(5000, 2000, 10), "[##########] 0.0 s left");
  EXPECT_EQ(format_progress(0, 0, 4), "[####] 0.0 s left");
  EXPECT_EQ(format_progress(250, 61500, 4), "[----] 61.2 s left");
}

TEST(OrvctlOutput, TableColumnsAlignOnTheWidestCell) {
  EXPECT_EQ(format_table({"address", "model"}, {{"198.18.0.11", "Verdane 8300"}, {"10.0.0.1", "X"}}),
            "address      model\n"
            "198.18.0.11  Verdane 8300\n"
            "10.0.0.1     X\n");
  // Short rows are padded, trailing blanks dropped.
  EXPECT_EQ(format_table({"a", "b"}, {{"x"}}), "a  b\nx\n");
}

// A fabricated interface list for the broadcast address scan.
struct FakeInterface {
  sockaddr_in addr{};
  sockaddr_in mask{};
  ifaddrs entry{};
};

void make_v4(FakeInterface& f, const char* name, unsigned flags, const char* address,
             const char* netmask) {
  f.addr.sin_family = AF_INET;
  inet_pton(AF_INET, address, &f.addr.sin_addr);
  f.mask.sin_family = AF_INET;
  inet_pton(AF_INET, netmask, &f.mask.sin_addr);
  f.entry.ifa_name = const_cast<char*>(name);
  f.entry.ifa_flags = flags;
  f.entry.ifa_addr = reinterpret_cast<sockaddr*>(&f.addr);
  f.entry.ifa_netmask = reinterpret_cast<sockaddr*>(&f.mask);
  // What glibc reports for an address added without "brd": itself.
  f.entry.ifa_broadaddr = reinterpret_cast<sockaddr*>(&f.addr);
}

TEST(OrvctlBroadcastTargets, OnlyUpBroadcastInterfacesEachAddressOnce) {
  constexpr unsigned kUp = IFF_UP | IFF_BROADCAST;
  FakeInterface f[9];
  make_v4(f[0], "lo", IFF_UP | IFF_LOOPBACK, "127.0.0.1", "255.0.0.0");
  make_v4(f[1], "eth0", kUp, "198.18.0.1", "255.255.255.0");
  make_v4(f[2], "eth1", IFF_BROADCAST, "198.18.1.1", "255.255.255.0");         // down
  make_v4(f[3], "tun0", IFF_UP | IFF_POINTOPOINT, "10.8.0.1", "255.255.255.0");  // no broadcast
  make_v4(f[4], "eth0:1", kUp, "198.18.0.2", "255.255.255.0");                 // same subnet
  make_v4(f[5], "eth2", kUp, "198.19.0.1", "255.255.0.0");
  make_v4(f[6], "eth3", kUp, "10.9.0.1", "255.255.255.254");                   // /31
  make_v4(f[7], "eth4", kUp, "10.7.0.1", "255.255.255.252");                   // /30
  make_v4(f[8], "eth5", kUp, "0.0.0.0", "0.0.0.0");
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  ifaddrs v6_entry{};
  v6_entry.ifa_name = const_cast<char*>("eth0");
  v6_entry.ifa_flags = kUp;
  v6_entry.ifa_addr = reinterpret_cast<sockaddr*>(&v6);
  for (int i = 0; i < 8; ++i) f[i].entry.ifa_next = &f[i + 1].entry;
  f[8].entry.ifa_next = &v6_entry;
  EXPECT_EQ(directed_broadcasts(&f[0].entry),
            (std::vector<std::string>{"198.18.0.255", "198.19.255.255", "10.7.0.3"}));
  EXPECT_TRUE(directed_broadcasts(nullptr).empty());
}

TEST(OrvctlBroadcastTargets, AllNodesOnEveryUpMulticastLinkWithIpv6Once) {
  constexpr unsigned kUp = IFF_UP | IFF_MULTICAST;
  const struct {
    const char* name;
    unsigned flags;
    int family;
  } interfaces[] = {
      {"lo", IFF_UP | IFF_LOOPBACK | IFF_MULTICAST, AF_INET6},
      {"eth0", kUp | IFF_BROADCAST, AF_INET6},
      {"eth0", kUp | IFF_BROADCAST, AF_INET6},  // a second address, same link
      {"eth1", IFF_MULTICAST, AF_INET6},        // down
      {"eth2", kUp, AF_INET},                   // no IPv6
      {"tun0", IFF_UP | IFF_POINTOPOINT, AF_INET6},  // no multicast
      {"gone", kUp, AF_INET6},                  // no index
      {"br0", kUp, AF_INET6},
  };
  constexpr size_t kCount = std::size(interfaces);
  sockaddr_in6 addresses[kCount]{};
  ifaddrs entries[kCount]{};
  for (size_t i = 0; i < kCount; ++i) {
    addresses[i].sin6_family = static_cast<sa_family_t>(interfaces[i].family);
    entries[i].ifa_name = const_cast<char*>(interfaces[i].name);
    entries[i].ifa_flags = interfaces[i].flags;
    entries[i].ifa_addr = reinterpret_cast<sockaddr*>(&addresses[i]);
    entries[i].ifa_next = i + 1 < kCount ? &entries[i + 1] : nullptr;
  }
  auto index_of = [](const char* name) -> unsigned {
    const std::string n(name);
    return n == "eth0" ? 2 : n == "br0" ? 7 : n == "gone" ? 0 : 9;
  };
  EXPECT_EQ(all_nodes_per_link(entries, index_of),
            (std::vector<std::string>{"ff02::1%2", "ff02::1%7"}));
  EXPECT_TRUE(all_nodes_per_link(nullptr, index_of).empty());
}

TEST(OrvctlSearch, MergeKeepsEachAddressOnceInNumericOrder) {
  const std::vector<FindOutcome> outcomes = {
      {"255.255.255.255", ORV_OK,
       {{"198.18.0.11", "Verdane 8300", "1.1"}, {"198.18.0.9", "Verdane 8300", "1.2"}}},
      {"198.18.9.255", -205, {{"198.18.0.1", "ignored", "9"}}},
      {"198.18.0.255", ORV_OK,
       {{"198.18.0.11", "Verdane 8300", "other"}, {"fd00::1", "Verdane 8300", "1.3"},
        {"198.18.0.100", "Verdane 8300", "1.4"}}},
  };
  const std::vector<FoundPrinter> merged = merge_printers(outcomes);
  std::vector<std::string> addresses;
  for (const auto& p : merged) addresses.push_back(p.address);
  EXPECT_EQ(addresses,
            (std::vector<std::string>{"198.18.0.9", "198.18.0.11", "198.18.0.100", "fd00::1"}));
  EXPECT_EQ(merged[1].sys_object_id, "1.1");  // the first report of an address wins
  EXPECT_TRUE(address_less("10.0.0.2", "printer.example"));
  EXPECT_FALSE(address_less("fd00::1", "10.0.0.2"));
}

TEST(OrvctlSearch, DefaultDestinationIsSpelledOut) {
  EXPECT_EQ(destination_text(std::nullopt, false), "255.255.255.255");
  EXPECT_EQ(destination_text(std::nullopt, true), "ff02::1");
  EXPECT_EQ(destination_text(std::string("198.18.0.255"), false), "198.18.0.255");
}

TEST(OrvctlLogSettings, SwitchesBecomeTheLibraryEnvironment) {
  unsetenv(kLogMaskVariable);
  unsetenv(kLogFileVariable);
  ASSERT_TRUE(apply_log_settings(CommonOptions{}));
  EXPECT_EQ(std::getenv(kLogMaskVariable), nullptr);  // the user's own setting would stay
  EXPECT_EQ(std::getenv(kLogFileVariable), nullptr);

  CommonOptions file_only;
  file_only.log_file = "/tmp/orvctl.log";
  ASSERT_TRUE(apply_log_settings(file_only));
  ASSERT_NE(std::getenv(kLogMaskVariable), nullptr);
  EXPECT_STREQ(std::getenv(kLogMaskVariable), "31");
  EXPECT_STREQ(std::getenv(kLogFileVariable), "/tmp/orvctl.log");

  CommonOptions mask;
  mask.log_mask = 3;
  ASSERT_TRUE(apply_log_settings(mask));
  EXPECT_STREQ(std::getenv(kLogMaskVariable), "3");
  unsetenv(kLogMaskVariable);
  unsetenv(kLogFileVariable);
}

TEST(OrvctlLogSettings, LogOnStandardOutputOnlyWithAMaskAndNoFile) {
  EXPECT_TRUE(library_logs_to_stdout("31", nullptr));
  EXPECT_TRUE(library_logs_to_stdout("0x3", ""));
  EXPECT_TRUE(library_logs_to_stdout("junk", nullptr));  // unsure: treated as on
  EXPECT_FALSE(library_logs_to_stdout("31", "/tmp/orv.log"));
  EXPECT_FALSE(library_logs_to_stdout("0", nullptr));
  EXPECT_FALSE(library_logs_to_stdout("0x0", nullptr));
  EXPECT_FALSE(library_logs_to_stdout("", nullptr));
  EXPECT_FALSE(library_logs_to_stdout(nullptr, nullptr));
}

}  // namespace
