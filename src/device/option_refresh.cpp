// refresh_options and its eight steps: the option store filled from the
// printer's system group, Host Resources MIB, Printer MIB and vendor objects.
#include <cstring>

#include "device/dev_comm_option.h"
#include "device/medium_size_table.h"
#include "device/option_request.h"
#include "device/table_rows.h"
#include "device/text_copy.h"
#include "device/version_parse.h"
#include "log/log.h"
#include "result_codes.h"

using orv::device::copy_text;
using orv::device::log_failed_step;
using orv::device::OptionRequest;
using orv::device::TableRows;

namespace {

constexpr const char* const kSysName[] = {"1.3.6.1.2.1.1.5"};
constexpr const char* const kHrMemorySize[] = {"1.3.6.1.2.1.25.2.2"};
constexpr const char* const kHrDeviceColumns[] = {
    "1.3.6.1.2.1.25.3.2.1.1",  // hrDeviceIndex
    "1.3.6.1.2.1.25.3.2.1.3",  // hrDeviceDescr
    "1.3.6.1.2.1.25.3.2.1.5",  // hrDeviceStatus
};
constexpr const char* const kInputColumns[] = {
    "1.3.6.1.2.1.43.8.2.1.2",   // prtInputType
    "1.3.6.1.2.1.43.8.2.1.3",   // prtInputDimUnit
    "1.3.6.1.2.1.43.8.2.1.6",   // prtInputMediaDimFeedDirChosen
    "1.3.6.1.2.1.43.8.2.1.7",   // prtInputMediaDimXFeedDirChosen
    "1.3.6.1.2.1.43.8.2.1.8",   // prtInputCapacityUnit
    "1.3.6.1.2.1.43.8.2.1.9",   // prtInputMaxCapacity
    "1.3.6.1.2.1.43.8.2.1.10",  // prtInputCurrentLevel
    "1.3.6.1.2.1.43.8.2.1.13",  // prtInputName
    "1.3.6.1.2.1.43.8.2.1.18",  // prtInputDescription
    "1.3.6.1.2.1.43.8.2.1.21",  // prtInputMediaType
};
constexpr const char* const kOutputColumns[] = {
    "1.3.6.1.2.1.43.9.2.1.2",   // prtOutputType
    "1.3.6.1.2.1.43.9.2.1.7",   // prtOutputName
    "1.3.6.1.2.1.43.9.2.1.24",  // prtOutputOffsetStacking
};
constexpr const char* const kPrtMediaPathType[] = {"1.3.6.1.2.1.43.13.4.1.9"};
// A complete instance: no ".0" is added.
constexpr const char* const kNetWareSapUnitName[] = {"1.3.6.1.4.1.253.8.64.4.2.1.7.10.19159104"};
constexpr const char* const kVendorDetailSettings[] = {
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.5",  // minimum password length
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.6",  // user prompt setting
};

constexpr int32_t kDeviceRomVersion = 10;
constexpr int32_t kDevice105 = 105;
constexpr int32_t kDevice108 = 108;
constexpr int32_t kDeviceRunning = 2;           // hrDeviceStatus running(2)
constexpr int32_t kInputSheetFeedManual = 5;    // prtInputType sheetFeedManual(5)
constexpr int32_t kOffsetStackingOn = 3;        // prtOutputOffsetStacking on(3)
constexpr int32_t kMediaPathDuplexLongEdge = 3;
constexpr int32_t kMediaPathDuplexShortEdge = 4;

// A configured request holding the objects `oids` (".0" added when
// `instance_suffix`).
template <std::size_t N>
long request_for(const COrvDevCommOption& store, const char* const (&oids)[N],
                 bool instance_suffix, GetDataPtr* request) {
  long rc = OptionRequest::open(store, request);
  for (std::size_t i = 0; i < N && rc == orv::kOk; ++i) {
    rc = OptionRequest::add_oid(request->get(), oids[i], instance_suffix);
  }
  return rc;
}

// One GET of a text object into `field` (written only on success).
template <std::size_t N>
long read_text(const COrvDevCommOption& store, const char* const (&oid)[1], bool instance_suffix,
               bool log_read_failure, char (&field)[N]) {
  GetDataPtr request;
  long rc = request_for(store, oid, instance_suffix, &request);
  if (rc != orv::kOk) return rc;
  char text[kGetDataTextSize] = {};
  rc = request->get_data(text);
  if (rc != orv::kOk) {
    return log_read_failure ? log_failed_step("pGetData->get_data()", rc) : rc;
  }
  copy_text(field, text);
  return orv::kOk;
}

// Adds the columns (no instance suffix) and walks the table from the first.
template <std::size_t N>
long walk_columns(const COrvDevCommOption& store, const char* const (&columns)[N],
                  TableRows* rows) {
  GetDataPtr request;
  const long rc = request_for(store, columns, false, &request);
  if (rc != orv::kOk) return rc;
  return rows->walk(request.get(), columns[0]);
}

}  // namespace

long COrvDevCommOption::refresh_options() {
  initialize_data();
  using Step = long (COrvDevCommOption::*)();
  static constexpr Step kSteps[] = {
      &COrvDevCommOption::refresh_system_attributes,
      &COrvDevCommOption::refresh_hrdevice_table,
      &COrvDevCommOption::refresh_input_tray_table,
      &COrvDevCommOption::refresh_output_tray_table,
      &COrvDevCommOption::refresh_memory_size,
      &COrvDevCommOption::refresh_prt_media_table,
      &COrvDevCommOption::refresh_netware_attributes,
      &COrvDevCommOption::refresh_vendor_hrdev_detail_setting,
  };
  for (Step step : kSteps) {
    const long rc = (this->*step)();
    if (rc != orv::kOk) return rc;
  }
  return orv::kOk;
}

long COrvDevCommOption::refresh_system_attributes() {
  // A failing read is not logged: it is the first exchange of a refresh,
  // and a silent printer fails here.
  return read_text(*this, kSysName, true, false, m_sysName);
}

long COrvDevCommOption::refresh_hrdevice_table() {
  TableRows rows;
  const long rc = walk_columns(*this, kHrDeviceColumns, &rows);
  if (rc != orv::kOk) return rc;
  long result = orv::kOk;
  for (uint32_t r = 0; r < rows.count(); ++r) {
    const int32_t index = rows.integer(r, 0);
    const int32_t status = rows.integer(r, 2);
    char description[sizeof m_devices[0].description];
    rows.text(r, 1, description, sizeof description);

    if (index == kDevice105 && status == kDeviceRunning) m_device105Running = true;
    if (index == kDevice108 && status == kDeviceRunning) m_device108Running = true;
    if (index == kDeviceRomVersion) {
      // A later row with this index decides the result.
      copy_text(m_printerRomVersion, description);
      result = parse_version_value();
    }
    if (m_deviceCount < kMaxDevices) {
      DeviceEntry& entry = m_devices[m_deviceCount++];
      entry.index = index;
      entry.status = status;
      copy_text(entry.description, description);
    }
  }
  return result;
}

long COrvDevCommOption::refresh_input_tray_table() {
  TableRows rows;
  const long rc = walk_columns(*this, kInputColumns, &rows);
  if (rc != orv::kOk) return rc;
  for (uint32_t r = 0; r < rows.count(); ++r) {
    const int32_t type = rows.integer(r, 0);
    const long dim_unit = rows.integer(r, 1);
    const int32_t dim_feed = rows.integer(r, 2);
    const int32_t dim_xfeed = rows.integer(r, 3);
    const long capacity_unit = rows.integer(r, 4);
    long max_capacity = rows.integer(r, 5);
    const long current_level = rows.integer(r, 6);

    long medium_size = orv::device::kMediumSizeUnknown;
    long direction = orv::device::kMediumDirectionUnknown;
    MediaDimensionToMediumSize(dim_unit, dim_feed, dim_xfeed, &medium_size, &direction);
    long percent = -1;
    if (capacity_unit == orv::device::kCapacityUnitSheets) {
      ConvertMediumLevel(capacity_unit, max_capacity, current_level, &max_capacity, &percent);
    } else {
      max_capacity = -1;  // the tray does not count in sheets
    }
    if (type == kInputSheetFeedManual) m_manualFeedTray = true;

    if (m_inputTrayCount < kMaxInputTrays) {
      InputTrayEntry& tray = m_inputTrays[m_inputTrayCount++];
      tray.row = static_cast<int32_t>(r + 1);
      tray.type = type;
      tray.medium_size = static_cast<int32_t>(medium_size);
      tray.medium_direction = static_cast<int32_t>(direction);
      tray.max_capacity = static_cast<int32_t>(max_capacity);
      tray.level_percent = static_cast<int32_t>(percent);
      tray.dim_feed = dim_feed;
      tray.dim_xfeed = dim_xfeed;
      rows.text(r, 7, tray.name, sizeof tray.name);
      rows.text(r, 8, tray.description, sizeof tray.description);
      rows.text(r, 9, tray.media_type, sizeof tray.media_type);
    }
  }
  return orv::kOk;
}

long COrvDevCommOption::refresh_output_tray_table() {
  TableRows rows;
  const long rc = walk_columns(*this, kOutputColumns, &rows);
  if (rc != orv::kOk) return rc;
  for (uint32_t r = 0; r < rows.count(); ++r) {
    const int32_t type = rows.integer(r, 0);
    const int32_t offset_stacking = rows.integer(r, 2);  // the name (column 1) is not kept
    if (offset_stacking == kOffsetStackingOn) m_offsetStacking = true;
    if (m_outputTrayCount < kMaxOutputTrays) {
      m_outputTrays[m_outputTrayCount++] = {static_cast<int32_t>(r + 1), type, offset_stacking};
    }
  }
  return orv::kOk;
}

long COrvDevCommOption::refresh_memory_size() {
  GetDataPtr request;
  long rc = request_for(*this, kHrMemorySize, true, &request);
  if (rc != orv::kOk) return rc;
  int32_t kilobytes = 0;
  rc = request->get_data(&kilobytes);
  if (rc != orv::kOk) return log_failed_step("pGetData->get_data()", rc);
  m_memorySizeKB = kilobytes;
  return orv::kOk;
}

long COrvDevCommOption::refresh_prt_media_table() {
  TableRows rows;
  const long rc = walk_columns(*this, kPrtMediaPathType, &rows);
  if (rc != orv::kOk) return rc;
  for (uint32_t r = 0; r < rows.count(); ++r) {
    const int32_t type = rows.integer(r, 0);
    if (type == kMediaPathDuplexLongEdge || type == kMediaPathDuplexShortEdge) {
      m_duplexModule = true;
    }
  }
  return orv::kOk;
}

long COrvDevCommOption::refresh_netware_attributes() {
  return read_text(*this, kNetWareSapUnitName, false, true, m_netwareSapUnitName);
}

long COrvDevCommOption::refresh_vendor_hrdev_detail_setting() {
  GetDataPtr request;
  long rc = request_for(*this, kVendorDetailSettings, false, &request);
  if (rc != orv::kOk) return rc;
  int32_t values[2] = {-1, -1};
  rc = request->get_data(values, 2);
  if (rc != orv::kOk) return log_failed_step("pGetData->get_data()", rc);
  if (values[0] >= 0) m_minPasswordLength = values[0];
  if (values[1] >= 0) m_userPromptSetting = values[1];
  return orv::kOk;
}

long COrvDevCommOption::parse_version_value() {
  if (!orv::device::parse_rom_version(m_printerRomVersion, &m_romVersionMajor,
                                      &m_romVersionMinor, &m_romVersionRevision)) {
    orv::log::qel_log(orv::device::kLogCategory, orv::log::kError,
                      "invalid PrinterROMVersion format. result=%d", orv::kErrVersionFormat);
    return orv::kErrVersionFormat;
  }
  return orv::kOk;
}
