// Markers, every supply with its colorant, and the overall printer state,
// read through the exports of orv_ext.h from the simulated printers as
// tests/data/README.md lists them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/status_records.h"
#include "orv/orv_ext.h"

namespace {

using orv::test::first_difference;

class PrinterFleet : public orv::test::PrinterLab<PrinterFleet> {
 public:
  static std::vector<std::string> printers() {
    return {"printer-a",       "printer-b",    "printer-idle",    "printer-printing",
            "printer-warmup",  "printer-down", "printer-offline", "printer-testing"};
  }
};

TEST_F(PrinterFleet, MarkerTableGivesEachMarkersCounters) {
  const struct {
    const char* printer;
    std::vector<OrvMarkerInfo> want;
  } cases[] = {
      {"printer-a", {{1, 4, 3, 182734, 0, 3}}},
      {"printer-idle", {{1, 4, ORV_COUNTER_UNIT_IMPRESSIONS, 48213, 1520, 4},
                        {2, 4, ORV_COUNTER_UNIT_SHEETS, 24107, 760, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer);
    ASSERT_EQ(open(c.printer), 0);
    expect_table(orv::test::kMarkers, c.want);
  }
}

TEST_F(PrinterFleet, SupplyTableKeepsEverySupplyWithItsColorant) {
  const struct {
    const char* printer;
    std::vector<OrvSupplyInfo> want;
  } cases[] = {
      {"printer-a",
       {{1, 1, 1, 3, 3, 19, 100, 12, "Black Toner Cartridge", "black"},
        {2, 1, 2, 3, 3, 19, 100, 64, "Cyan Toner Cartridge", "cyan"},
        {3, 1, 3, 3, 3, 19, 100, 58, "Magenta Toner Cartridge", "magenta"},
        {4, 1, 4, 3, 3, 19, 100, 71, "Yellow Toner Cartridge", "yellow"},
        {5, 1, 0, 3, 9, 7, 80000, 52311, "Drum Cartridge", ""},
        {6, 1, 0, 4, 4, 19, 100, 35, "Waste Toner Container", ""}}},
      {"printer-b",
       {{1, 1, 1, 3, 3, 19, 100, 88, "Black Toner Cartridge", "black"},
        {2, 1, 0, 3, 9, 7, 60000, 1200, "Drum Cartridge", ""},
        {3, 1, 0, 4, 4, 19, 100, 5, "Waste Toner Container", ""},
        {4, 1, 0, 3, 15, 7, 150000, 149000, "Fuser Unit", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer);
    ASSERT_EQ(open(c.printer), 0);
    expect_table(orv::test::kSupplies, c.want);
  }
}

TEST_F(PrinterFleet, OverallStateCombinesDeviceStatusPrinterStatusAndConditions) {
  const struct {
    const char* printer;
    OrvPrinterState want;
    const char* name;
  } cases[] = {
      // Bit 0 is the first octet's highest: a0 04 is lowPaper, lowToner, inputTrayEmpty.
      {"printer-a", {ORV_PRINTER_STATE_WARNING, 2, 3, 1u << 0 | 1u << 2 | 1u << 13, 1}, "warning"},
      // The last printer row stands, and its own device's status.
      {"printer-b", {ORV_PRINTER_STATE_WARNING, 2, 4, ORV_PRINTER_CONDITION_LOW_PAPER, 2}, "warning"},
      {"printer-idle", {ORV_PRINTER_STATE_IDLE, 2, 3, 0, 1}, "idle"},
      {"printer-printing", {ORV_PRINTER_STATE_PRINTING, 2, 4, 0, 1}, "printing"},
      {"printer-warmup", {ORV_PRINTER_STATE_WARMING_UP, 5, 5, 0, 1}, "warming_up"},
      {"printer-down", {ORV_PRINTER_STATE_DOWN, 5, 1, 1u << 4 | 1u << 5, 1}, "down"},
      {"printer-offline", {ORV_PRINTER_STATE_OFFLINE, 5, 1, 1u << 6, 1}, "offline"},
      {"printer-testing", {ORV_PRINTER_STATE_TESTING, 4, 1, 0, 1}, "testing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer);
    ASSERT_EQ(open(c.printer), 0);
    OrvPrinterState got;
    std::memset(&got, 0x5A, sizeof got);
    ASSERT_EQ(OrvGetPrinterState(h_, &got), 0);
    EXPECT_EQ(first_difference(got, c.want), -1);
    EXPECT_STREQ(OrvPrinterStateName(got.state), c.name);
  }
  EXPECT_STREQ(OrvPrinterStateName(ORV_PRINTER_STATE_COUNT), "unknown");
  EXPECT_STREQ(OrvPrinterConditionName(5), "jammed");
  EXPECT_EQ(OrvPrinterConditionName(ORV_PRINTER_CONDITION_COUNT), nullptr);
}

}  // namespace
