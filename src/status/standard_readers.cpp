// The seven readers of the Host Resources and Printer MIB tables: one walk
// each, the first column bounding it, every row a zeroed record.
#include <cstring>
#include <iterator>

#include "device/table_rows.h"
#include "result_codes.h"
#include "status/device_status.h"
#include "status/status_request.h"
#include "status/type_tables.h"

namespace orv::status {

using orv::device::TableRows;

namespace {

// The value's text through one of the type tables.
int32_t type_code(const TableRows& rows, uint32_t row, int32_t (*table)(const char*)) {
  char text[kGetDataTextSize];
  rows.text(row, 0, text, sizeof text);
  return table(text);
}

}  // namespace

int32_t COrvDeviceStatus::refresh_storage_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.25.2.3.1.2", "1.3.6.1.2.1.25.2.3.1.4",
                                         "1.3.6.1.2.1.25.2.3.1.5", "1.3.6.1.2.1.25.2.3.1.3"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvStorageInfo>();
    r.type = type_code(rows, i, storage_type_code);
    r.allocation_units = int32_of(rows.value(i, 1));
    r.size = int32_of(rows.value(i, 2));
    rows.text(i, 3, r.description, sizeof r.description);
    m_storage.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_device_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.25.3.2.1.2", "1.3.6.1.2.1.25.3.2.1.5",
                                         "1.3.6.1.2.1.25.3.2.1.3"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvDeviceInfo>();
    r.type = type_code(rows, i, device_type_code);
    r.status = int32_of(rows.value(i, 1));
    rows.text(i, 2, r.description, sizeof r.description);
    m_devices.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_printer_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.25.3.5.1.1", "1.3.6.1.2.1.25.3.5.1.2"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  // Every row overwrites the fields: the last one stands.
  for (uint32_t i = 0; i < rows.count(); ++i) {
    m_printerStatus = int32_of(rows.value(i, 0));
    std::memset(m_printerErrorBytes, 0, sizeof m_printerErrorBytes);
    uint32_t length = 0;
    const uint8_t* octets = octets_of(rows.value(i, 1), &length);
    if (octets != nullptr) {
      std::memcpy(m_printerErrorBytes, octets,
                  length < sizeof m_printerErrorBytes ? length : sizeof m_printerErrorBytes);
    }
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_input_tray_table() {
  static const char* const kColumns[] = {
      "1.3.6.1.2.1.43.8.2.1.2",  "1.3.6.1.2.1.43.8.2.1.3",  "1.3.6.1.2.1.43.8.2.1.4",
      "1.3.6.1.2.1.43.8.2.1.5",  "1.3.6.1.2.1.43.8.2.1.6",  "1.3.6.1.2.1.43.8.2.1.7",
      "1.3.6.1.2.1.43.8.2.1.8",  "1.3.6.1.2.1.43.8.2.1.9",  "1.3.6.1.2.1.43.8.2.1.10",
      "1.3.6.1.2.1.43.8.2.1.11", "1.3.6.1.2.1.43.8.2.1.12", "1.3.6.1.2.1.43.8.2.1.13",
      "1.3.6.1.2.1.43.8.2.1.18", "1.3.6.1.2.1.43.8.2.1.21", "1.3.6.1.2.1.43.8.2.1.22"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvInputTrayInfo>();
    int32_t* numbers[] = {&r.type,
                          &r.dim_unit,
                          &r.media_dim_feed_declared,
                          &r.media_dim_xfeed_declared,
                          &r.media_dim_feed_chosen,
                          &r.media_dim_xfeed_chosen,
                          &r.capacity_unit,
                          &r.max_capacity,
                          &r.current_level,
                          &r.status};
    for (uint32_t c = 0; c < std::size(numbers); ++c) *numbers[c] = int32_of(rows.value(i, c));
    rows.text(i, 10, r.media_name, sizeof r.media_name);
    rows.text(i, 11, r.name, sizeof r.name);
    rows.text(i, 12, r.description, sizeof r.description);
    rows.text(i, 13, r.media_type, sizeof r.media_type);
    rows.text(i, 14, r.media_color, sizeof r.media_color);
    m_inputTrays.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_output_tray_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.43.9.2.1.2", "1.3.6.1.2.1.43.9.2.1.6",
                                         "1.3.6.1.2.1.43.9.2.1.7", "1.3.6.1.2.1.43.9.2.1.12"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvOutputTrayInfo>();
    r.type = int32_of(rows.value(i, 0));
    r.status = int32_of(rows.value(i, 1));
    rows.text(i, 2, r.name, sizeof r.name);
    rows.text(i, 3, r.description, sizeof r.description);
    m_outputTrays.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_toner_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.43.11.1.1.5", "1.3.6.1.2.1.43.11.1.1.7",
                                         "1.3.6.1.2.1.43.11.1.1.8", "1.3.6.1.2.1.43.11.1.1.9",
                                         "1.3.6.1.2.1.43.11.1.1.6"};
  constexpr int32_t kSupplyToner = 3;
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    if (int32_of(rows.value(i, 0)) != kSupplyToner) continue;
    auto r = zeroed<OrvTonerInfo>();
    r.supply_unit = int32_of(rows.value(i, 1));
    r.max_capacity = int32_of(rows.value(i, 2));
    r.level = int32_of(rows.value(i, 3));
    rows.text(i, 4, r.description, sizeof r.description);
    m_toners.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_alert_table() {
  static const char* const kColumns[] = {"1.3.6.1.2.1.43.18.1.1.2", "1.3.6.1.2.1.43.18.1.1.4",
                                         "1.3.6.1.2.1.43.18.1.1.5", "1.3.6.1.2.1.43.18.1.1.6",
                                         "1.3.6.1.2.1.43.18.1.1.7", "1.3.6.1.2.1.43.18.1.1.8"};
  TableRows rows;
  const int32_t rc = StatusRequest::walk(*this, kColumns, std::size(kColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvAlertInfo>();
    r.severity_level = int32_of(rows.value(i, 0));
    r.group = int32_of(rows.value(i, 1));
    r.group_index = int32_of(rows.value(i, 2));
    r.location = int32_of(rows.value(i, 3));
    r.code = int32_of(rows.value(i, 4));
    rows.text(i, 5, r.description, sizeof r.description);
    m_alerts.push_back(r);
  }
  return kOk;
}

}  // namespace orv::status
