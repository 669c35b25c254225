// After a host's SNMPv3 open, refresh and OrvUnInit the process's heap holds
// no copy of the pass phrases. A process of its own runs the check, so that
// the test's own set-up (the agent's options) leaves no copy behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"
#include "support/v3_printer.h"

namespace {

// Copies of `needle` in writable memory that is not a file's nor the main
// stack's (the heap and the arenas); the needle is a view, not one more copy.
size_t heap_copies(std::string_view needle) {
  std::ifstream maps("/proc/self/maps");
  const int mem = open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
  size_t found = 0;
  for (std::string line, range, perms, skip, path; std::getline(maps, line); path.clear()) {
    std::istringstream(line) >> range >> perms >> skip >> skip >> skip >> path;
    if (perms.compare(0, 2, "rw") != 0 || (!path.empty() && path != "[heap]")) continue;
    const uint64_t begin = std::stoull(range, nullptr, 16);
    const uint64_t size = std::stoull(range.substr(range.find('-') + 1), nullptr, 16) - begin;
    if (size > (uint64_t{1} << 30)) continue;  // a sanitizer's reserved space, not a heap
    std::vector<char> bytes(size);
    if (pread(mem, bytes.data(), bytes.size(), static_cast<off_t>(begin)) <= 0) continue;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), needle.begin(), needle.end())) != bytes.end(); ++at) ++found;
  }
  close(mem);
  return found;
}

TEST(Snmpv3Secrets, NoPassPhraseStaysInTheHeapAfterUnInit) {
  if (const char* address = std::getenv("ORV_SECRETS_AGENT")) {
    {
      orv::test::V3Printer printer(address, 1000, 1);
      ASSERT_EQ(printer.open, 0);
      ASSERT_EQ(OrvRefreshOptions(printer.h), 0);
    }  // OrvUnInit
    EXPECT_EQ(heap_copies("auth-phrase-17"), 0u);
    EXPECT_EQ(heap_copies("priv-phrase-23"), 0u);
    return;
  }
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent agent(orv::test::v3_agent_options(address));
  setenv("ORV_SECRETS_AGENT", address.c_str(), 1);
  const orv::test::RunResult r = orv::test::run(
      {std::filesystem::read_symlink("/proc/self/exe").string(),
       "--gtest_filter=Snmpv3Secrets.NoPassPhraseStaysInTheHeapAfterUnInit"}, 60000);
  unsetenv("ORV_SECRETS_AGENT");
  EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out << r.err;
}

}  // namespace
