// Different handles may be used in parallel: each thread drives its own
// handle through open, refresh and the option getters against one private
// snmpd of the supported family, and every thread sees what one thread alone
// sees. The handles share only the process-wide objects below the exports.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "api/family_agent.h"
#include "orv/orv.h"

namespace {

struct Outcome {
  int32_t init = 1;
  int32_t open = 1;
  int32_t refresh = 1;
  std::string sys_name;
  int16_t supported = -1;

  bool operator==(const Outcome&) const = default;
};

Outcome drive_one_handle(const char* address) {
  Outcome o;
  OrvHandle h = nullptr;
  o.init = OrvInit(&h);
  if (o.init != 0) return o;
  o.open = OrvInitDevice(h, address, 1, 2000, 1);
  o.refresh = OrvRefreshOptions(h);
  char text[ORV_OPTION_TEXT_SIZE] = "";
  if (OrvGetOptionValueString(h, "SysName", 0, text) == 0) o.sys_name = text;
  o.supported = OrvIsSupportedOID(h, orv::test::kFamilySysObjectId);
  OrvUnInit(h);
  return o;
}

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << "init " << o.init << ", open " << o.open << ", refresh " << o.refresh
            << ", sysName \"" << o.sys_name << "\", supported " << o.supported;
}

TEST(ParallelHandles, EachThreadSeesWhatOneThreadAloneSees) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  orv::test::FamilyAgent printer;
  const Outcome alone = drive_one_handle(printer.address.c_str());
  ASSERT_EQ(alone.open, 0) << alone;
  ASSERT_FALSE(alone.sys_name.empty()) << alone;
  ASSERT_EQ(alone.supported, 1) << alone;

  constexpr int kThreads = 4;
  std::vector<Outcome> outcomes(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { outcomes[t] = drive_one_handle(printer.address.c_str()); });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(outcomes[t], alone) << "thread " << t;
}

}  // namespace
