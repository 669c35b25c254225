// Bulk walks and job counts without texts: every status record the same as
// with GETNEXT walks, in fewer exchanges, over SNMPv2c (the light agent,
// which counts them) and SNMPv3 (snmpd).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "orv/orv.h"
#include "orv/orv_ext.h"
#include "support/lab.h"
#include "support/light_agent_process.h"
#include "support/v3_printer.h"

namespace {

// The bytes of every record of every status table, one table after the
// other; job texts left out when `texts` is false.
template <typename Record, typename Count, typename Get>
void append_table(OrvHandle h, Count count, Get get, std::string* out) {
  int32_t n = -1;
  out->append("|" + std::to_string(count(h, &n)) + ":" + std::to_string(n));
  for (int32_t i = 0; i < n; ++i) {
    Record r;
    std::memset(&r, 0, sizeof r);
    get(h, static_cast<uint32_t>(i), &r);
    out->append(reinterpret_cast<const char*>(&r), sizeof r);
  }
}

std::string status_dump(OrvHandle h, bool texts) {
  std::string out;
  append_table<OrvStorageInfo>(h, OrvGetNumberOfStorageInfo, OrvGetStorageInfo, &out);
  append_table<OrvDeviceInfo>(h, OrvGetNumberOfDeviceInfo, OrvGetDeviceInfo, &out);
  append_table<OrvInputTrayInfo>(h, OrvGetNumberOfInputTrayInfo, OrvGetInputTrayInfo, &out);
  append_table<OrvOutputTrayInfo>(h, OrvGetNumberOfOutputTrayInfo, OrvGetOutputTrayInfo, &out);
  append_table<OrvTonerInfo>(h, OrvGetNumberOfTonerInfo, OrvGetTonerInfo, &out);
  append_table<OrvAlertInfo>(h, OrvGetNumberOfAlertInfo, OrvGetAlertInfo, &out);
  append_table<OrvMarkerInfo>(h, OrvGetNumberOfMarkerInfo, OrvGetMarkerInfo, &out);
  append_table<OrvSupplyInfo>(h, OrvGetNumberOfSupplyInfo, OrvGetSupplyInfo, &out);
  auto jobs = [texts](OrvHandle handle, int32_t* n) {
    return texts ? OrvGetNumberOfJobInfo(handle, 0, n) : OrvGetNumberOfJobStates(handle, 0, n);
  };
  append_table<OrvJobInfo>(h, jobs, [texts](OrvHandle handle, uint32_t i, OrvJobInfo* r) {
    const int32_t rc = OrvGetJobInfo(handle, i, r);
    if (!texts) r->text_t6c5[0] = r->text_t6c6[0] = r->text_t10c7[0] = '\0';
    return rc;
  }, &out);
  OrvPrinterState state{};
  out.append(std::to_string(OrvGetPrinterState(h, &state)));
  out.append(reinterpret_cast<const char*>(&state), sizeof state);
  return out;
}

TEST(BulkWalk, SameRecordsInFewerExchanges) {
  const std::string missing = orv::test::lab_missing(true, {"snmpd", "snmpget"});
  if (!missing.empty()) GTEST_SKIP() << missing;
  orv::test::LightAgent light;
  const std::string v3_address = orv::test::free_loopback_address();
  orv::test::SnmpdAgent v3_agent(orv::test::v3_agent_options(v3_address));
  const struct {
    const char* name;
    bool v3;
    bool texts;
  } cases[] = {{"SNMPv2c", false, true}, {"SNMPv2c, job states", false, false},
               {"SNMPv3", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OrvHandle h = nullptr;
    std::unique_ptr<orv::test::V3Printer> v3;
    if (c.v3) {
      v3 = std::make_unique<orv::test::V3Printer>(v3_address, 2000, 1);
      ASSERT_EQ(v3->open, 0);
      h = v3->h;
    } else {
      ASSERT_EQ(OrvInit(&h), 0);
      ASSERT_EQ(OrvCommandString(h, "CmdSetCommunityGetOption", "printer-a"), 0);
      ASSERT_EQ(OrvInitDevice(h, light.address().c_str(), 1, 2000, 1), 0);
    }
    const int64_t before = light.requests();
    const std::string walked = status_dump(h, c.texts);
    const int64_t by_getnext = light.requests() - before;
    ASSERT_EQ(OrvSetBulkWalk(h, 25), 0);
    EXPECT_EQ(status_dump(h, c.texts), walked);  // sizes each table from the walk before
    const int64_t start = light.requests();
    EXPECT_EQ(status_dump(h, c.texts), walked);
    const int64_t by_bulk = light.requests() - start;
    if (!c.v3) {
      EXPECT_LT(by_bulk * 2, by_getnext) << by_bulk << " bulk exchanges, " << by_getnext;
    }
    if (!c.v3) OrvUnInit(h);
  }
}

}  // namespace
