// orvctl over SNMPv3: the same output (options, status, discover) as over
// SNMPv1 with the pass phrases taken from the environment, and the refusals
// that name their cause.
#include "orvctl_run.h"

namespace {

using orv::test::RunResult;

const char* const kAuthPass = "auth-phrase-17";
const char* const kPrivPass = "priv-phrase-23";

// orvctl with extra environment entries ("NAME=VALUE"), through env(1) so
// the pass phrases reach it as a user would hand them over.
RunResult orvctl_env(const std::vector<std::string>& env, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"env"};
  argv.insert(argv.end(), env.begin(), env.end());
  const std::vector<std::string> command = orvctl_test::orvctl_argv(args);
  argv.insert(argv.end(), command.begin(), command.end());
  return orv::test::run(argv, 30000);
}

TEST(OrvctlSnmpv3, AuthPrivWithPassPhrasesFromTheEnvironmentPrintsWhatSnmpV1Prints) {
  ORV_REQUIRE_LAB(true, {"snmpsimd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpsimAgent agent({.endpoints = {address + ":161"},
                                 .serve = {"printer-a"},
                                 .v3users = {"u-sha-aes:SHA:auth-phrase-17:AES:priv-phrase-23"}});
  const std::vector<std::string> env = {std::string("ORV_V3_AUTH_PASS=") + kAuthPass,
                                        std::string("ORV_V3_PRIV_PASS=") + kPrivPass};
  const std::vector<std::string> v3 = {"--v3-user", "u-sha-aes", "--v3-level", "priv",
                                       "--v3-auth", "sha",       "--v3-priv",  "aes",
                                       "--v3-context", "printer-a"};
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"options", address},
        std::vector<std::string>{"status", address, "printer"},
        std::vector<std::string>{"discover", "--broadcast", address, "--timeout", "300"}}) {
    SCOPED_TRACE(command[0]);
    std::vector<std::string> v1_args = command;
    v1_args.insert(v1_args.end(), {"--community", "printer-a"});
    const RunResult v1 = orvctl_test::orvctl(v1_args);
    ASSERT_EQ(v1.exit_code, 0) << v1.err;
    ASSERT_NE(v1.out.find(command[0] == "options"  ? "printer-a-floor2"
                          : command[0] == "status" ? "lowPaper"
                                                   : address),
              std::string::npos)
        << v1.out;
    std::vector<std::string> v3_args = command;
    v3_args.insert(v3_args.end(), v3.begin(), v3.end());
    const RunResult over_v3 = orvctl_env(env, v3_args);
    EXPECT_EQ(over_v3.exit_code, 0) << over_v3.err;
    EXPECT_EQ(over_v3.out, v1.out);
  }
}

TEST(OrvctlSnmpv3, RefusalsNameTheirCause) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent agent({.addresses = {address},
                               .sysobjectid = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2",
                               .v3users = {"known:SHA:auth-phrase-17:AES:priv-phrase-23"}});
  const std::string auth_env = std::string("ORV_V3_AUTH_PASS=") + kAuthPass;
  const std::string priv_env = std::string("ORV_V3_PRIV_PASS=") + kPrivPass;
  struct Case {
    const char* name;
    std::vector<std::string> env;
    std::vector<std::string> v3;
    int exit_code;
    const char* says;  // in standard error; empty for a success
  } cases[] = {
      {"the user", {auth_env, priv_env}, {"--v3-level", "priv"}, 0, ""},
      {"the command line wins over the environment",
       {"ORV_V3_AUTH_PASS=not-the-phrase", priv_env},
       {"--v3-level", "priv", "--v3-auth-pass", kAuthPass}, 0, ""},
      {"wrong pass phrase",
       {"ORV_V3_AUTH_PASS=not-the-phrase", priv_env}, {"--v3-level", "priv"}, 1,
       "the agent refused the user or its pass phrases"},
      {"priv without a privacy pass phrase", {auth_env}, {"--v3-level", "priv"}, 1,
       "level priv needs a privacy pass phrase"},
      {"auth without an authentication pass phrase", {}, {"--v3-level", "auth"}, 1,
       "needs an authentication pass phrase"},
      {"a community besides the user", {}, {"--community", "public"}, 1,
       "--community excludes --v3-user"},
      {"unknown protocol", {auth_env, priv_env}, {"--v3-level", "priv", "--v3-auth", "sha512"}, 1,
       "--v3-auth"},
      {"short authentication pass phrase", {"ORV_V3_AUTH_PASS=seven77"}, {"--v3-level", "auth"}, 1,
       "authentication pass phrase has 7 characters; it needs at least 8"},
      {"short privacy pass phrase", {auth_env, "ORV_V3_PRIV_PASS=short"}, {"--v3-level", "priv"}, 1,
       "privacy pass phrase has 5 characters; it needs at least 8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"supported", address, "1.3.6.1.4.1.119", "--v3-user",
                                     "known", "--timeout", "300", "--retries", "0"};
    args.insert(args.end(), c.v3.begin(), c.v3.end());
    const RunResult result = orvctl_env(c.env, args);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    // A refusal made before the exchange never reaches the agent's time-out.
    EXPECT_EQ(result.err.find("no answer"), std::string::npos) << result.err;
  }
  // Silence over SNMPv3 may also mean privacy settings the agent cannot read.
  const RunResult silent = orvctl_env(
      {auth_env, priv_env}, {"supported", orv::test::free_loopback_address(), "1.3.6.1.4.1.119",
                             "--v3-user", "known", "--v3-level", "priv", "--timeout", "300",
                             "--retries", "0"});
  EXPECT_NE(silent.err.find("privacy pass phrase or protocol (--v3-priv)"), std::string::npos)
      << silent.err;
}

}  // namespace
