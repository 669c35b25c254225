// The overall printer state from device status, printer status and
// conditions, beyond the combinations the simulated printers show.
#include <gtest/gtest.h>

#include "orv/orv_ext.h"
#include "status/printer_state.h"

namespace {

using orv::status::overall_state;

TEST(PrinterState, TheWorstOfDeviceAndConditionsWins) {
  const struct {
    int32_t device, printer;
    uint32_t conditions;
    int32_t want;
  } cases[] = {
      {2, 1, 0, ORV_PRINTER_STATE_IDLE},  // standby
      {2, 2, 0, ORV_PRINTER_STATE_UNKNOWN},
      {2, 4, ORV_PRINTER_CONDITION_LOW_TONER, ORV_PRINTER_STATE_WARNING},
      {3, 4, 0, ORV_PRINTER_STATE_WARNING},
      {5, 1, 0, ORV_PRINTER_STATE_DOWN},  // unavailable
      {5, 5, ORV_PRINTER_CONDITION_JAMMED, ORV_PRINTER_STATE_DOWN},
      // A running device with a critical condition is down all the same.
      {2, 3, ORV_PRINTER_CONDITION_OFFLINE | ORV_PRINTER_CONDITION_JAMMED, ORV_PRINTER_STATE_DOWN},
      {3, 3, ORV_PRINTER_CONDITION_OFFLINE, ORV_PRINTER_STATE_OFFLINE},  // moving off-line
      {4, 4, ORV_PRINTER_CONDITION_JAMMED, ORV_PRINTER_STATE_TESTING},
      // Without a device status the printer status speaks.
      {1, 4, 0, ORV_PRINTER_STATE_PRINTING},
      {-1, 3, 0, ORV_PRINTER_STATE_IDLE},
      {1, 2, 0, ORV_PRINTER_STATE_UNKNOWN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(overall_state(c.device, c.printer, c.conditions), c.want)
        << c.device << " " << c.printer << " " << c.conditions;
  }
}

}  // namespace
