#include <gtest/gtest.h>

#include "support/lab.h"

namespace orv::test {
namespace {

TEST(SnmpdAgent, AnswersCommunityAndV3UsersWithItsSysObjectId) {
  ORV_REQUIRE_LAB(true, {"snmpd", "snmpget"});
  const std::string address = free_loopback_address();
  const std::string oid = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.4.4";
  SnmpdAgent agent({.addresses = {address},
                    .sysobjectid = oid,
                    .v3users = {"md5user:MD5:md5authpass:DES:desprivpass",
                                "shauser:SHA:shaauthpass:AES:aesprivpass"}});

  auto v1 = snmpget(address, "public", {"1.3.6.1.2.1.1.2.0"});
  EXPECT_EQ(v1.exit_code, 0) << v1.err;
  EXPECT_EQ(v1.out, "." + oid + "\n");

  for (auto [user, auth, apass, priv, ppass] :
       {std::array<const char*, 5>{"md5user", "MD5", "md5authpass", "DES", "desprivpass"},
        std::array<const char*, 5>{"shauser", "SHA", "shaauthpass", "AES", "aesprivpass"}}) {
    auto v3 = run({"snmpget", "-On", "-Oqv", "-v3", "-l", "authPriv", "-u", user, "-a", auth, "-A", apass,
                   "-x", priv, "-X", ppass, "-t", "1", "-r", "0", address, "1.3.6.1.2.1.1.2.0"});
    EXPECT_EQ(v3.exit_code, 0) << user << ": " << v3.err;
    EXPECT_EQ(v3.out, "." + oid + "\n") << user;
  }
  // A wrong pass phrase is refused, so the users are really checked.
  auto wrong = run({"snmpget", "-v3", "-l", "authPriv", "-u", "shauser", "-a", "SHA", "-A", "not-the-pass",
                    "-x", "AES", "-X", "aesprivpass", "-t", "0.5", "-r", "0", address, "1.3.6.1.2.1.1.2.0"});
  EXPECT_NE(wrong.exit_code, 0);
  // The default community only: another one goes unanswered.
  EXPECT_NE(snmpget(address, "private", {"1.3.6.1.2.1.1.2.0"}, {"-v1", "-t", "0.2", "-r", "0"}).exit_code, 0);
}

}  // namespace
}  // namespace orv::test
