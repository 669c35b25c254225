// The readers of prtMarkerTable, prtMarkerSuppliesTable (with the colorant
// each supply names) and the overall printer state. Rows carry their own
// index: hrDeviceIndex, then the table's index.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "device/table_rows.h"
#include "result_codes.h"
#include "status/device_status.h"
#include "status/job_index.h"
#include "status/printer_state.h"
#include "status/status_request.h"

namespace orv::status {

using orv::device::TableRows;

namespace {

constexpr const char* kMarkerColumns[] = {"1.3.6.1.2.1.43.10.2.1.2", "1.3.6.1.2.1.43.10.2.1.3",
                                          "1.3.6.1.2.1.43.10.2.1.4", "1.3.6.1.2.1.43.10.2.1.5",
                                          "1.3.6.1.2.1.43.10.2.1.6"};
constexpr const char* kSupplyColumns[] = {
    "1.3.6.1.2.1.43.11.1.1.2", "1.3.6.1.2.1.43.11.1.1.3", "1.3.6.1.2.1.43.11.1.1.4",
    "1.3.6.1.2.1.43.11.1.1.5", "1.3.6.1.2.1.43.11.1.1.7", "1.3.6.1.2.1.43.11.1.1.8",
    "1.3.6.1.2.1.43.11.1.1.9", "1.3.6.1.2.1.43.11.1.1.6"};
constexpr const char* kColorantValueColumn[] = {"1.3.6.1.2.1.43.12.1.1.4"};
constexpr const char* kPrinterRowColumns[] = {"1.3.6.1.2.1.25.3.5.1.1", "1.3.6.1.2.1.25.3.5.1.2"};
constexpr const char* kDeviceStatusColumn = "1.3.6.1.2.1.25.3.2.1.5";

// A row's place in a table indexed by hrDeviceIndex and one index of its
// own; -1 for what the binding's OID does not give.
struct RowIndex {
  int64_t device = -1;
  int64_t own = -1;
};

RowIndex row_index(const TableRows& rows, uint32_t row, const char* column) {
  RowIndex index;
  const IQelOid* oid = rows.oid(row, 0);
  const char* suffix = index_after(oid != nullptr ? oid->text() : "", column);
  if (suffix == nullptr) return index;
  index.device = first_index_arc(oid->text(), column);
  const char* last = std::strrchr(suffix, '.');
  if (last == nullptr) return index;
  char* end = nullptr;
  const unsigned long long arc = std::strtoull(last + 1, &end, 10);
  if (end != last + 1 && *end == '\0' && arc <= 0x7FFFFFFFull) index.own = static_cast<int64_t>(arc);
  return index;
}

int32_t index_field(int64_t arc) { return arc >= 0 ? static_cast<int32_t>(arc) : -1; }

struct Colorant {
  RowIndex index;
  std::string value;
};

}  // namespace

int32_t COrvDeviceStatus::refresh_marker_table() {
  TableRows rows;
  const int32_t rc =
      StatusRequest::walk(*this, kMarkerColumns, std::size(kMarkerColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvMarkerInfo>();
    r.marker_index = index_field(row_index(rows, i, kMarkerColumns[0]).own);
    r.marking_technology = int32_of(rows.value(i, 0));
    r.counter_unit = int32_of(rows.value(i, 1));
    r.life_count = uint32_of(rows.value(i, 2));
    r.power_on_count = uint32_of(rows.value(i, 3));
    r.process_colorants = int32_of(rows.value(i, 4));
    m_markers.push_back(r);
  }
  return kOk;
}

int32_t COrvDeviceStatus::refresh_supply_table() {
  TableRows rows;
  int32_t rc = StatusRequest::walk(*this, kSupplyColumns, std::size(kSupplyColumns), &rows);
  if (rc != kOk) return rc;
  std::vector<RowIndex> places;
  bool colorants_named = false;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    auto r = zeroed<OrvSupplyInfo>();
    const RowIndex place = row_index(rows, i, kSupplyColumns[0]);
    r.supply_index = index_field(place.own);
    r.marker_index = int32_of(rows.value(i, 0));
    r.colorant_index = int32_of(rows.value(i, 1));
    r.supply_class = int32_of(rows.value(i, 2));
    r.type = int32_of(rows.value(i, 3));
    r.supply_unit = int32_of(rows.value(i, 4));
    r.max_capacity = int32_of(rows.value(i, 5));
    r.level = int32_of(rows.value(i, 6));
    rows.text(i, 7, r.description, sizeof r.description);
    colorants_named = colorants_named || r.colorant_index > 0;
    places.push_back(place);
    m_supplies.push_back(r);
  }
  if (!colorants_named) return kOk;

  // The colorant table is read only when a supply names a colorant.
  TableRows colorant_rows;
  rc = StatusRequest::walk(*this, kColorantValueColumn, 1, &colorant_rows);
  if (rc != kOk) return rc;
  std::vector<Colorant> colorants;
  for (uint32_t i = 0; i < colorant_rows.count(); ++i) {
    char text[kGetDataTextSize];
    colorant_rows.text(i, 0, text, sizeof text);
    colorants.push_back({row_index(colorant_rows, i, kColorantValueColumn[0]), text});
  }
  for (size_t s = 0; s < m_supplies.size(); ++s) {
    OrvSupplyInfo& supply = m_supplies[s];
    if (supply.colorant_index <= 0) continue;
    for (const Colorant& c : colorants) {
      if (c.index.device != places[s].device || c.index.own != supply.colorant_index) continue;
      std::snprintf(supply.colorant, sizeof supply.colorant, "%s", c.value.c_str());
      break;
    }
  }
  return kOk;
}

int32_t COrvDeviceStatus::printer_state(OrvPrinterState* out) {
  if (out == nullptr) return kErrInvalidArg;
  TableRows rows;
  int32_t rc =
      StatusRequest::walk(*this, kPrinterRowColumns, std::size(kPrinterRowColumns), &rows);
  if (rc != kOk) return rc;
  if (rows.count() == 0) return kErrNoValue;
  // The last row stands, as for the printer record.
  const uint32_t last = rows.count() - 1;
  auto state = zeroed<OrvPrinterState>();
  state.printer_status = int32_of(rows.value(last, 0));
  uint32_t length = 0;
  const uint8_t* octets = octets_of(rows.value(last, 1), &length);
  state.conditions = condition_bits(octets, length);
  state.device_index = index_field(row_index(rows, last, kPrinterRowColumns[0]).device);
  state.device_status = -1;
  if (state.device_index >= 0) {
    char oid[64];
    std::snprintf(oid, sizeof oid, "%s.%d", kDeviceStatusColumn, static_cast<int>(state.device_index));
    rc = StatusRequest::get_int(*this, oid, &state.device_status);
    // A printer row without its device entry: the conditions still tell.
    if (rc == kErrNoValue) state.device_status = -1;
    else if (rc != kOk) return rc;
  }
  state.state = overall_state(state.device_status, state.printer_status, state.conditions);
  std::memcpy(out, &state, sizeof state);
  return kOk;
}

}  // namespace orv::status
