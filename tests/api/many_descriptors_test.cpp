// A host that holds thousands of descriptors open, as any server does: the
// library's sockets then get numbers far above select's 1024, and opening
// and refreshing a printer works all the same.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"
#include "support/v3_printer.h"

namespace {

constexpr size_t kHeld = 2000;

// Raises the descriptor limit and holds kHeld descriptors open while it
// lives; closes them and puts the limit back when it goes.
class HeldDescriptors {
 public:
  HeldDescriptors() {
    getrlimit(RLIMIT_NOFILE, &old_);
    rlimit raised = old_;
    const rlim_t wanted = kHeld + 1024;
    if (raised.rlim_cur < wanted) raised.rlim_cur = wanted;
    if (raised.rlim_max < wanted) raised.rlim_max = wanted;
    raised_ = setrlimit(RLIMIT_NOFILE, &raised) == 0;
    for (size_t i = 0; raised_ && i < kHeld; ++i) {
      int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
      if (fd < 0) break;
      fds_.push_back(fd);
    }
  }
  ~HeldDescriptors() {
    for (int fd : fds_) close(fd);
    setrlimit(RLIMIT_NOFILE, &old_);
  }
  size_t count() const { return fds_.size(); }

 private:
  rlimit old_{};
  bool raised_ = false;
  std::vector<int> fds_;
};

TEST(ManyDescriptors, PrinterOpensAndRefreshesOverSnmpV3WithSocketsAboveSelectsLimit) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent agent(orv::test::v3_agent_options(address));
  HeldDescriptors held;
  ASSERT_EQ(held.count(), kHeld);
  orv::test::V3Printer printer(address, 1000, 1);
  ASSERT_EQ(printer.open, 0);
  EXPECT_EQ(OrvRefreshOptions(printer.h), 0);
}

TEST(ManyDescriptors, PrinterOpensAndRefreshesWithSocketsAboveSelectsLimit) {
  ORV_REQUIRE_LAB(true, {"snmpsimd"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpsimAgent agent({.endpoints = {address + ":161"}, .serve = {"printer-a"}});
  HeldDescriptors held;
  ASSERT_EQ(held.count(), kHeld);
  // Every descriptor the library opens from here on is above the limit.
  int probe = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(probe, FD_SETSIZE);
  close(probe);

  OrvHandle h = nullptr;
  ASSERT_EQ(OrvInit(&h), 0);
  std::unique_ptr<void, decltype(&OrvUnInit)> handle(h, &OrvUnInit);
  ASSERT_EQ(OrvCommandString(h, "CmdSetCommunityGetOption", "printer-a"), 0);
  ASSERT_EQ(OrvInitDevice(h, address.c_str(), 1, 1000, 1), 0);
  ASSERT_EQ(OrvRefreshOptions(h), 0);
  char name[256] = "";
  ASSERT_EQ(OrvGetOptionValueString(h, "SysName", 0, name), 0);
  EXPECT_STREQ(name, "printer-a-floor2");
}

}  // namespace
