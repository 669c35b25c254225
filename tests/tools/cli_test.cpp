// Command-line handling of the installed orvctl: help, usage errors and
// their exit status. Nothing here reaches the network; discovery arguments
// carry a loopback broadcast address so that even a parser fault could not
// send beyond this machine.
#include <sys/stat.h>

#include "orvctl_run.h"

namespace {

using orvctl_test::orvctl;

constexpr const char* kLoopbackBroadcast = "127.255.255.255";

TEST(OrvctlCli, TopLevelHelpListsEveryCommand) {
  const auto result = orvctl({"--help"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  for (const char* command :
       {"discover", "options", "supported", "status", "jobs", "cancel", "charset", "traps"}) {
    EXPECT_NE(result.out.find(command), std::string::npos) << command << "\n" << result.out;
  }
}

TEST(OrvctlCli, EachCommandHasItsOwnHelp) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"discover", {"--broadcast", "--filter", "--ipv6", "--timeout", "--retries", "--community"}},
      {"options", {"ADDRESS", "--ipv6", "--timeout", "--retries", "--community"}},
      {"supported", {"ADDRESS", "OID"}},
      {"status", {"ADDRESS", "TABLE", "--timeout", "--community"}},
      {"jobs", {"ADDRESS", "--kind", "--timeout", "--community"}},
      {"cancel", {"ADDRESS", "JOB_ID", "--write-community", "--community"}},
      {"charset", {"ADDRESS", "--timeout", "--community"}},
  };
  for (const auto& [command, words] : expected) {
    const auto result = orvctl({command, "--help"});
    EXPECT_EQ(result.exit_code, 0) << command << ": " << result.err;
    EXPECT_NE(result.out.find("orvctl " + command), std::string::npos) << result.out;
    std::vector<std::string> all = words;
    all.insert(all.end(), {"--json", "--log-mask", "--log-file"});
    for (const std::string& word : all) {
      EXPECT_NE(result.out.find(word), std::string::npos) << command << " lacks " << word;
    }
  }
}

TEST(OrvctlCli, UsageErrorsExitOneWithAReasonAndNoOutput) {
  const std::string long_filter = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2.3.4.5.6.7.8.9.10.11.12.13";
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"options"},
      {"options", "192.0.2.7", "--timeout", "abc"},
      {"options", "192.0.2.7", "--timeout", "0"},
      {"options", "192.0.2.7", "--retries", "101"},
      {"options", "192.0.2.7", "--log-mask", "-1"},
      {"options", "192.0.2.7", "--community", std::string(256, 'c')},
      {"options", "192.0.2.7", "extra"},
      {"cancel", "192.0.2.7", "7", "--write-community", "w", "--v3-user", "u"},
      {"supported", "192.0.2.7"},
      {"supported", "192.0.2.7", "1..3"},
      {"supported", "192.0.2.7", "1.3.6."},
      {"supported", "192.0.2.7", "iso.3.6"},
      {"discover", "--broadcast", kLoopbackBroadcast, "--filter", "1.3.x"},
      {"discover", "--broadcast", kLoopbackBroadcast, "--filter", long_filter},
      {"discover", "--broadcast", kLoopbackBroadcast, "--bogus"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += a.substr(0, 40) + " ";
    const auto result = orvctl(args);
    EXPECT_EQ(result.exit_code, 1) << shown;
    EXPECT_FALSE(result.err.empty()) << shown;
    EXPECT_TRUE(result.out.empty()) << shown << "\n" << result.out;
  }
}

// An address that names no printer of the chosen family is refused with its
// own words before any handle or exchange, never as a printer's missing value.
TEST(OrvctlCli, AddressesThatNameNoPrinterAreToldApart) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> words;
    int code;
  } cases[] = {
      {{"options", "printer.invalid"}, {"no such host \"printer.invalid\"", "(-1)"}, -1},
      {{"options", "no-such-host"}, {"no such host \"no-such-host\""}, -1},
      {{"options", "1.2.3.4x"}, {"no such host \"1.2.3.4x\""}, -1},
      {{"options", ""}, {"no printer address was given"}, -1},
      {{"options", "300.1.1.1"}, {"\"300.1.1.1\" is not an IPv4 address", "0 to 255"}, -1},
      {{"options", "::1"}, {"\"::1\" is not an IPv4 address", "(-2)", "add --ipv6"}, -2},
      {{"options", "127.0.0.1", "--ipv6"}, {"is not an IPv6 address", "leave out --ipv6"}, -2},
      {{"options", "ff02::1::2", "--ipv6"}, {"is not an IPv6 address"}, -1},
      {{"supported", "printer.invalid", "1.3.6"}, {"no such host"}, -1},
      {{"status", "no-such-host"}, {"no such host \"no-such-host\""}, -1},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--json", "--timeout", "100", "--retries", "0"});
    const auto result = orvctl(args);
    const std::string shown = c.args[0] + " \"" + c.args[1] + "\"";
    EXPECT_EQ(result.exit_code, 1) << shown;
    for (const std::string& word : c.words) {
      EXPECT_NE(result.err.find(word), std::string::npos) << shown << " lacks " << word << ":\n"
                                                          << result.err;
    }
    EXPECT_EQ(result.err.find("lacked"), std::string::npos) << shown << ": " << result.err;
    const nlohmann::json document = orvctl_test::parse_document(result);
    EXPECT_EQ(document.value("/error/code"_json_pointer, 0), c.code) << shown;
  }
}

TEST(OrvctlCli, MoreThanFiftyFiltersAreRefusedBeforeAnySearch) {
  std::vector<std::string> args = {"discover", "--broadcast", kLoopbackBroadcast, "--json"};
  for (int i = 0; i < 51; ++i) {
    args.push_back("--filter");
    args.push_back("1.3.6.1.4.1." + std::to_string(i));
  }
  const auto result = orvctl(args);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("50"), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty()) << result.out;
}

TEST(OrvctlCli, ManPageIsInstalledBesideTheBinary) {
  struct stat info {};
  ASSERT_EQ(stat(ORVCTL_MAN_PAGE, &info), 0) << ORVCTL_MAN_PAGE;
  EXPECT_GT(info.st_size, 0);
  // The page must be well-formed roff that man can lay out.
  if (orv::test::have_program("man")) {
    const auto result = orv::test::run({"man", "-l", "-P", "cat", ORVCTL_MAN_PAGE});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_NE(result.out.find("discover"), std::string::npos);
  }
}

}  // namespace
