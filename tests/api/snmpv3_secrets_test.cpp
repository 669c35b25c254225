// Pass phrases are wiped wherever the library frees them: after a host's
// SNMPv3 open, refresh and OrvUnInit, the process's heap holds no copy.
// A process of its own runs the check, so that no copy made by the test's
// own set-up (the agent's options) is found.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"

namespace {

constexpr const char* kTestName = "Snmpv3Secrets.NoPassPhraseStaysInTheHeapAfterUnInit";

// How often `needle` occurs in the writable private memory that is not a
// file's or the main stack's: the heap and the threads' arenas. (The needle
// is a view: a string of its own would be one more copy on the heap.)
size_t heap_copies(std::string_view needle) {
  std::ifstream maps("/proc/self/maps");
  const int mem = open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
  size_t found = 0;
  for (std::string line; std::getline(maps, line);) {
    std::istringstream fields(line);
    std::string range, perms, offset, device, inode, path;
    fields >> range >> perms >> offset >> device >> inode >> path;
    if (perms.compare(0, 2, "rw") != 0 || (!path.empty() && path != "[heap]")) continue;
    const size_t dash = range.find('-');
    const uint64_t begin = std::stoull(range.substr(0, dash), nullptr, 16);
    const uint64_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
    std::vector<char> bytes(end - begin);
    if (pread(mem, bytes.data(), bytes.size(), static_cast<off_t>(begin)) != static_cast<ssize_t>(bytes.size())) continue;
    for (auto at = bytes.begin();
         (at = std::search(at, bytes.end(), needle.begin(), needle.end())) != bytes.end(); ++at) {
      ++found;
    }
  }
  close(mem);
  return found;
}

TEST(Snmpv3Secrets, NoPassPhraseStaysInTheHeapAfterUnInit) {
  if (const char* address = std::getenv("ORV_SECRETS_AGENT")) {
    OrvUSMParameters usm{};
    std::snprintf(usm.user_name, sizeof(usm.user_name), "keeper");
    usm.security_level = 2;
    usm.auth_protocol = 2;
    usm.priv_protocol = 2;
    std::snprintf(usm.auth_pass_phrase, sizeof(usm.auth_pass_phrase), "%s", std::getenv("ORV_SECRETS_AUTH"));
    std::snprintf(usm.priv_pass_phrase, sizeof(usm.priv_pass_phrase), "%s", std::getenv("ORV_SECRETS_PRIV"));
    OrvHandle h = nullptr;
    ASSERT_EQ(OrvInit(&h), 0);
    ASSERT_EQ(OrvInitDeviceEx(h, address, 1, ORV_SECURITY_USM, &usm, 1000, 1), 0);
    ASSERT_EQ(OrvRefreshOptions(h), 0);
    OrvUnInit(h);
    EXPECT_EQ(heap_copies(usm.auth_pass_phrase), 0u);
    EXPECT_EQ(heap_copies(usm.priv_pass_phrase), 0u);
    return;
  }
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent agent({.addresses = {address},
                               .v3users = {"keeper:SHA:kept-auth-phrase-41:AES:kept-priv-phrase-43"},
                               .data_file = orv::test::data_file("printer-a")});
  setenv("ORV_SECRETS_AGENT", address.c_str(), 1);
  setenv("ORV_SECRETS_AUTH", "kept-auth-phrase-41", 1);
  setenv("ORV_SECRETS_PRIV", "kept-priv-phrase-43", 1);
  const orv::test::RunResult r =
      orv::test::run({std::filesystem::read_symlink("/proc/self/exe").string(),
                      std::string("--gtest_filter=") + kTestName}, 60000);
  for (const char* name : {"ORV_SECRETS_AGENT", "ORV_SECRETS_AUTH", "ORV_SECRETS_PRIV"}) unsetenv(name);
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
}

}  // namespace
