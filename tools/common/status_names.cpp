#include "status_names.h"

#include <array>

#include "code_names.h"

namespace orvctl {
namespace {

constexpr std::array kStorageTypes = {
    Named{1, "other"},       Named{2, "ram"},         Named{3, "virtualMemory"},
    Named{4, "fixedDisk"},   Named{5, "removableDisk"}, Named{6, "floppyDisk"},
    Named{7, "compactDisc"}, Named{8, "ramDisk"}};

constexpr std::array kDeviceTypes = {
    Named{1, "other"},         Named{2, "unknown"},      Named{3, "processor"},
    Named{4, "network"},       Named{5, "printer"},      Named{6, "diskStorage"},
    Named{10, "video"},        Named{11, "audio"},       Named{12, "coprocessor"},
    Named{13, "keyboard"},     Named{14, "modem"},       Named{15, "parallelPort"},
    Named{16, "pointing"},     Named{17, "serialPort"},  Named{18, "tape"},
    Named{19, "clock"},        Named{20, "volatileMemory"}, Named{21, "nonVolatileMemory"}};

constexpr std::array kDeviceStatus = {Named{1, "unknown"}, Named{2, "running"},
                                      Named{3, "warning"}, Named{4, "testing"},
                                      Named{5, "down"}};

constexpr std::array kPrinterStatus = {Named{1, "other"}, Named{2, "unknown"}, Named{3, "idle"},
                                       Named{4, "printing"}, Named{5, "warmup"}};

constexpr std::array kOutputTypes = {
    Named{1, "other"},          Named{2, "unknown"}, Named{3, "removableBin"},
    Named{4, "unRemovableBin"}, Named{5, "continuousRollDevice"}, Named{6, "mailBox"},
    Named{7, "continuousFanFold"}};

constexpr std::array kAlertSeverities = {Named{1, "other"}, Named{3, "critical"},
                                         Named{4, "warning"},
                                         Named{5, "warningBinaryChangeEvent"}};

constexpr std::array kAlertGroups = {
    Named{1, "other"},          Named{2, "unknown"},
    Named{3, "hostResourcesMIBStorageTable"}, Named{4, "hostResourcesMIBDeviceTable"},
    Named{5, "generalPrinter"}, Named{6, "cover"},
    Named{7, "localization"},   Named{8, "input"},
    Named{9, "output"},         Named{10, "marker"},
    Named{11, "markerSupplies"}, Named{12, "markerColorant"},
    Named{13, "mediaPath"},     Named{14, "channel"},
    Named{15, "interpreter"},   Named{16, "consoleDisplayBuffer"},
    Named{17, "consoleLights"}, Named{18, "alert"},
    Named{30, "finDevice"},     Named{31, "finSupply"},
    Named{32, "finSupplyMediaInput"}, Named{33, "finAttribute"}};

constexpr std::array kCharSets = {Named{3, "US-ASCII"},   Named{4, "ISO-8859-1"},
                                  Named{17, "Shift_JIS"}, Named{18, "EUC-JP"},
                                  Named{106, "UTF-8"},    Named{1015, "UTF-16"},
                                  Named{2025, "GB2312"},  Named{2026, "Big5"}};

// hrPrinterDetectedErrorState, bit 0 first.
constexpr std::array kErrorBits = {
    "lowPaper",         "noPaper",           "lowToner",           "noToner",
    "doorOpen",         "jammed",            "offline",            "serviceRequested",
    "inputTrayMissing", "outputTrayMissing", "markerSupplyMissing", "outputNearFull",
    "outputFull",       "inputTrayEmpty",    "overduePreventMaint"};

}  // namespace

std::string with_code(const std::string& name, int32_t code) {
  return (name.empty() ? std::string("unknown") : name) + " (" + std::to_string(code) + ")";
}

std::string storage_type_name(int32_t code) { return named(kStorageTypes, code); }
std::string device_status_name(int32_t code) { return named(kDeviceStatus, code); }
std::string printer_status_name(int32_t code) { return named(kPrinterStatus, code); }
std::string output_type_name(int32_t code) { return named(kOutputTypes, code); }
std::string alert_severity_name(int32_t code) { return named(kAlertSeverities, code); }
std::string alert_group_name(int32_t code) { return named(kAlertGroups, code); }
std::string char_set_name(int32_t mib_enum) { return named(kCharSets, mib_enum); }

std::string device_type_name(int32_t code) {
  // The vendor's own device kinds have no standard name.
  if (code > 100) return with_code("vendor device", code);
  return named(kDeviceTypes, code);
}

std::string sub_unit_status_name(int32_t code) {
  if (code < 0) return with_code("", code);
  static constexpr const char* kAvailability[8] = {
      "available and idle",     "unavailable and on request", "available and standby",
      "unavailable because broken", "available and active",   "availability unknown",
      "available and busy",     "availability unknown"};
  std::string words = kAvailability[code & 7];
  if (code & 8) words += ", non-critical alerts";
  if (code & 16) words += ", critical alerts";
  if (code & 32) words += ", off-line";
  if (code & 64) words += ", transitioning";
  return with_code(words, code);
}

std::vector<std::string> error_state_names(const uint8_t* octets, size_t count) {
  std::vector<std::string> names;
  for (size_t bit = 0; bit < count * 8; ++bit) {
    if ((octets[bit / 8] & (0x80u >> (bit % 8))) == 0) continue;
    names.push_back(error_state_bit_name(bit));
  }
  return names;
}

std::string error_state_bit_name(size_t bit) {
  return bit < kErrorBits.size() ? kErrorBits[bit] : "bit" + std::to_string(bit);
}

size_t named_error_state_bits() { return kErrorBits.size(); }

std::string level_text(int32_t level, int32_t max) {
  switch (level) {
    case -1:
      return "other";
    case -2:
      return "unknown";
    case -3:
      return "some left";
    default:
      break;
  }
  if (level < 0) return with_code({}, level);
  if (max <= 0) return std::to_string(level);
  // Rounded to the nearest percent, as the library's own tray level is.
  return percent_text((static_cast<int64_t>(level) * 100 + max / 2) / max);
}

std::string percent_text(int64_t percent) {
  if (percent < 0) return "unknown";
  return std::to_string(percent > 100 ? 100 : percent) + "%";
}

std::string job_state_name(int32_t state) {
  return state == 17 ? with_code("completed", state) : std::to_string(state);
}

}  // namespace orvctl
