// A large fleet is paged: every printer on exactly one page, those needing
// attention first, and each page small enough for a browser left open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fleet_page.h"

namespace {

TEST(FleetPaging, EveryPrinterOnOnePageAttentionFirstAndEachPageSmall) {
  constexpr size_t kPrinters = 70;
  std::vector<orv_exporter::Reading> readings;
  for (size_t i = 0; i < kPrinters; ++i) {
    orv_exporter::Reading r;
    r.target = "198.18.1." + std::to_string(100 + i);
    if (i % 7 == 3) {
      r.data.open_result = -203;
    } else {
      r.data.state = OrvPrinterState{ORV_PRINTER_STATE_IDLE, 2, 3, 0, 1};
      for (int32_t s = 1; s <= 8; ++s) {  // a long description each: the worst card
        OrvSupplyInfo supply{s, 1, s, 3, 3, 19, 100, 50, {}, "cyan"};
        std::memset(supply.description, 'x', sizeof supply.description - 1);
        r.data.supplies.push_back(supply);
      }
    }
    readings.push_back(r);
  }
  const auto now = std::chrono::system_clock::now();
  std::string all;
  for (size_t page = 1; page <= 3; ++page) {
    const std::string html = orv_exporter::fleet_page(readings, now, std::chrono::seconds(60), page);
    EXPECT_LT(html.size(), 100'000u) << "page " << page;
    all += html;
    if (page == 1) {  // the last printer not answering comes first all the same
      EXPECT_NE(html.find(">198.18.1.166<"), std::string::npos);
    }
  }
  for (const auto& r : readings) {
    size_t seen = 0;
    for (size_t at = all.find(">" + r.target + "<"); at != std::string::npos;
         at = all.find(">" + r.target + "<", at + 1)) {
      ++seen;
    }
    EXPECT_EQ(seen, 1u) << r.target;
  }
  EXPECT_EQ(orv_exporter::fleet_page(readings, now, std::chrono::seconds(60), 9),
            orv_exporter::fleet_page(readings, now, std::chrono::seconds(60), 3));
}

}  // namespace
