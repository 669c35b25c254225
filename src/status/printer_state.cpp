#include "status/printer_state.h"

#include <iterator>

#include "orv/orv_ext.h"

namespace orv::status {

namespace {

// hrDeviceStatus and hrPrinterStatus values.
constexpr int32_t kDeviceWarning = 3;
constexpr int32_t kDeviceTesting = 4;
constexpr int32_t kDeviceDown = 5;
constexpr int32_t kPrinterOther = 1;
constexpr int32_t kPrinterIdle = 3;
constexpr int32_t kPrinterPrinting = 4;
constexpr int32_t kPrinterWarmup = 5;

// The conditions that stop printing (the Host Resources MIB ties the first
// ones to a device that is down); every other known one is a warning.
constexpr uint32_t kCriticalConditions =
    ORV_PRINTER_CONDITION_NO_PAPER | ORV_PRINTER_CONDITION_NO_TONER |
    ORV_PRINTER_CONDITION_DOOR_OPEN | ORV_PRINTER_CONDITION_JAMMED |
    ORV_PRINTER_CONDITION_OFFLINE | ORV_PRINTER_CONDITION_INPUT_TRAY_MISSING |
    ORV_PRINTER_CONDITION_OUTPUT_TRAY_MISSING | ORV_PRINTER_CONDITION_MARKER_SUPPLY_MISSING |
    ORV_PRINTER_CONDITION_OUTPUT_FULL;

constexpr const char* kStateNames[] = {"unknown", "idle",  "printing", "warming_up",
                                       "warning", "down",  "offline",  "testing"};
static_assert(std::size(kStateNames) == ORV_PRINTER_STATE_COUNT);

constexpr const char* kConditionNames[] = {
    "lowPaper",         "noPaper",           "lowToner",           "noToner",
    "doorOpen",         "jammed",            "offline",            "serviceRequested",
    "inputTrayMissing", "outputTrayMissing", "markerSupplyMissing", "outputNearFull",
    "outputFull",       "inputTrayEmpty",    "overduePreventMaint"};
static_assert(std::size(kConditionNames) == ORV_PRINTER_CONDITION_COUNT);

// What the printer status alone tells of a device that is not in trouble.
int32_t activity(int32_t printer_status) {
  switch (printer_status) {
    case kPrinterPrinting:
      return ORV_PRINTER_STATE_PRINTING;
    case kPrinterWarmup:
      return ORV_PRINTER_STATE_WARMING_UP;
    case kPrinterIdle:
    case kPrinterOther:  // standby
      return ORV_PRINTER_STATE_IDLE;
    default:
      return ORV_PRINTER_STATE_UNKNOWN;
  }
}

}  // namespace

uint32_t condition_bits(const uint8_t* octets, uint32_t length) {
  uint32_t bits = 0;
  if (octets == nullptr) return bits;
  for (uint32_t n = 0; n < ORV_PRINTER_CONDITION_COUNT && n / 8 < length; ++n) {
    if ((octets[n / 8] & (0x80u >> (n % 8))) != 0) bits |= 1u << n;
  }
  return bits;
}

int32_t overall_state(int32_t device_status, int32_t printer_status, uint32_t conditions) {
  if (device_status == kDeviceTesting) return ORV_PRINTER_STATE_TESTING;
  const uint32_t critical = conditions & kCriticalConditions;
  if (critical != 0) {
    // Offline for no other reason is a state of its own; a jam or an open
    // door says more than the offline that follows from it.
    return critical == ORV_PRINTER_CONDITION_OFFLINE ? ORV_PRINTER_STATE_OFFLINE
                                                     : ORV_PRINTER_STATE_DOWN;
  }
  if (device_status == kDeviceDown) {
    // Down and warming up without a condition: coming on-line.
    return printer_status == kPrinterWarmup ? ORV_PRINTER_STATE_WARMING_UP
                                            : ORV_PRINTER_STATE_DOWN;
  }
  if (conditions != 0 || device_status == kDeviceWarning) return ORV_PRINTER_STATE_WARNING;
  // Running, or a device status the printer does not know: the printer
  // status speaks.
  return activity(printer_status);
}

const char* printer_state_name(int32_t state) {
  if (state < 0 || state >= static_cast<int32_t>(std::size(kStateNames))) return kStateNames[0];
  return kStateNames[state];
}

const char* printer_condition_name(uint32_t bit) {
  return bit < std::size(kConditionNames) ? kConditionNames[bit] : nullptr;
}

}  // namespace orv::status
