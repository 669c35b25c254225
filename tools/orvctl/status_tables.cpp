#include "status_tables.h"

#include <cstdio>
#include <functional>
#include <map>

#include "job_identifier.h"
#include "marker_names.h"
#include "media_names.h"
#include "output.h"
#include "printer_text.h"
#include "status_names.h"

namespace orvctl {
namespace {

using nlohmann::json;

// Counts a table and reads each of its records into JSON.
template <typename Record>
int32_t read_records(OrvHandle handle, const std::function<int32_t(int32_t*)>& count,
                     int32_t (*get)(OrvHandle, uint32_t, Record*),
                     json (*to_json)(const Record&), json& out) {
  int32_t n = 0;
  int32_t rc = count(&n);
  if (rc != ORV_OK) return rc;
  out = json::array();
  for (uint32_t i = 0; i < static_cast<uint32_t>(n); ++i) {
    Record record{};
    rc = get(handle, i, &record);
    if (rc != ORV_OK) return rc;
    out.push_back(to_json(record));
  }
  return ORV_OK;
}

// Units times size; unknown (null) unless both are known (not negative).
json size_bytes(const OrvStorageInfo& r) {
  if (r.allocation_units < 0 || r.size < 0) return nullptr;
  return static_cast<int64_t>(r.allocation_units) * r.size;
}

json storage_json(const OrvStorageInfo& r) {
  return {{"type", r.type},
          {"type_name", storage_type_name(r.type)},
          {"allocation_units", r.allocation_units},
          {"size", r.size},
          {"size_bytes", size_bytes(r)},
          {"description", r.description}};
}

json device_json(const OrvDeviceInfo& r) {
  return {{"type", r.type},
          {"type_name", device_type_name(r.type)},
          {"status", r.status},
          {"status_name", device_status_name(r.status)},
          {"description", r.description}};
}

json input_json(const OrvInputTrayInfo& r) {
  return {{"type", r.type},
          {"type_name", with_code(input_type_name(r.type), r.type)},
          {"dim_unit", r.dim_unit},
          {"media_dim_feed_declared", r.media_dim_feed_declared},
          {"media_dim_xfeed_declared", r.media_dim_xfeed_declared},
          {"media_dim_feed_chosen", r.media_dim_feed_chosen},
          {"media_dim_xfeed_chosen", r.media_dim_xfeed_chosen},
          {"capacity_unit", r.capacity_unit},
          {"max_capacity", r.max_capacity},
          {"current_level", r.current_level},
          {"level", level_text(r.current_level, r.max_capacity)},
          {"status", r.status},
          {"status_name", sub_unit_status_name(r.status)},
          {"media_name", r.media_name},
          {"name", r.name},
          {"description", r.description},
          {"media_type", r.media_type},
          {"media_color", r.media_color}};
}

json output_json(const OrvOutputTrayInfo& r) {
  return {{"type", r.type},
          {"type_name", output_type_name(r.type)},
          {"status", r.status},
          {"status_name", sub_unit_status_name(r.status)},
          {"name", r.name},
          {"description", r.description}};
}

json toner_json(const OrvTonerInfo& r) {
  return {{"supply_unit", r.supply_unit},
          {"max_capacity", r.max_capacity},
          {"level", r.level},
          {"level_text", level_text(r.level, r.max_capacity)},
          {"description", r.description}};
}

json alert_json(const OrvAlertInfo& r) {
  return {{"severity", r.severity_level},
          {"severity_name", alert_severity_name(r.severity_level)},
          {"group", r.group},
          {"group_name", alert_group_name(r.group)},
          {"group_index", r.group_index},
          {"location", r.location},
          {"code", r.code},
          {"description", r.description}};
}

json marker_json(const OrvMarkerInfo& r) {
  return {{"index", r.marker_index},
          {"marking_technology", r.marking_technology},
          {"marking_technology_name", marking_technology_name(r.marking_technology)},
          {"counter_unit", r.counter_unit},
          {"counter_unit_name", counter_unit_name(r.counter_unit)},
          {"life_count", r.life_count},
          {"power_on_count", r.power_on_count},
          {"process_colorants", r.process_colorants}};
}

json supply_json(const OrvSupplyInfo& r) {
  return {{"index", r.supply_index},
          {"marker_index", r.marker_index},
          {"colorant_index", r.colorant_index},
          {"colorant", r.colorant},
          {"class", r.supply_class},
          {"class_name", supply_class_name(r.supply_class)},
          {"type", r.type},
          {"type_name", supply_type_name(r.type)},
          {"supply_unit", r.supply_unit},
          {"supply_unit_name", supply_unit_name(r.supply_unit)},
          {"max_capacity", r.max_capacity},
          {"level", r.level},
          {"level_text", level_text(r.level, r.max_capacity)},
          {"description", r.description}};
}

int32_t read_state(OrvHandle handle, json& out) {
  OrvPrinterState r{};
  const int32_t rc = OrvGetPrinterState(handle, &r);
  if (rc != ORV_OK) return rc;
  json conditions = json::array();
  for (uint32_t bit = 0; bit < ORV_PRINTER_CONDITION_COUNT; ++bit) {
    if ((r.conditions & (1u << bit)) != 0) conditions.push_back(OrvPrinterConditionName(bit));
  }
  out = {{"state", r.state},
         {"state_name", OrvPrinterStateName(r.state)},
         {"device_index", r.device_index},
         {"device_status", r.device_status},
         {"device_status_name", device_status_name(r.device_status)},
         {"printer_status", r.printer_status},
         {"printer_status_name", printer_status_name(r.printer_status)},
         {"conditions", conditions}};
  return ORV_OK;
}

json time_json(const OrvJobTime& t) {
  const std::string text = job_time_text(t);
  return text.empty() ? json(nullptr) : json(text);
}

// The keys of the texts are the text table's column names.
json job_json(const OrvJobInfo& r, const std::string& id) {
  return {{"id", id},
          {"type", r.type},
          {"state", r.state},
          {"state_name", job_state_name(r.state)},
          {"value_t6c10", r.value_t6c10},
          {"value_t16c5", r.value_t16c5},
          {"value_t16c6", r.value_t16c6},
          {"status", r.text_t6c5},
          {"origin", r.text_t6c6},
          {"reason", r.text_t10c7},
          {"name", r.text_t6c3},
          {"created", time_json(r.time_t10c10)},
          {"started", time_json(r.time_t16c4)},
          {"completed", time_json(r.time_t16c7)}};
}

int32_t read_printer(OrvHandle handle, json& out) {
  OrvPrinterInfo r{};
  const int32_t rc = OrvGetPrinterInfo(handle, &r);
  if (rc != ORV_OK) return rc;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", r.detected_error_state[0],
                r.detected_error_state[1], r.detected_error_state[2], r.detected_error_state[3]);
  out = {{"status", r.status},
         {"status_name", printer_status_name(r.status)},
         {"error_state", hex},
         {"errors", error_state_names(r.detected_error_state, sizeof r.detected_error_state)}};
  return ORV_OK;
}

std::function<int32_t(int32_t*)> counter(int32_t (*count)(OrvHandle, int32_t*), OrvHandle h) {
  return [count, h](int32_t* n) { return count(h, n); };
}

std::string text_of(const json& value) {
  return value.is_string() ? value.get<std::string>() : value.is_null() ? "-" : value.dump();
}

// The names of a list joined by commas; "none" for an empty list.
std::string list_text(const json& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + text_of(name);
  return text.empty() ? "none" : text;
}

// Columns of a text table: header and JSON key.
using Columns = std::vector<std::pair<std::string, std::string>>;

const std::map<std::string, std::pair<std::string, Columns>>& text_layouts() {
  static const std::map<std::string, std::pair<std::string, Columns>> layouts = {
      {"storage",
       {"Storage",
        {{"type", "type_name"}, {"units", "allocation_units"}, {"size", "size"},
         {"description", "description"}}}},
      {"devices",
       {"Devices",
        {{"type", "type_name"}, {"status", "status_name"}, {"description", "description"}}}},
      {"trays",
       {"Input trays",
        {{"name", "name"}, {"type", "type_name"}, {"media", "media_name"},
         {"capacity", "max_capacity"}, {"level", "level"}, {"media type", "media_type"},
         {"colour", "media_color"}, {"description", "description"}}}},
      {"outputs",
       {"Output trays",
        {{"name", "name"}, {"type", "type_name"}, {"status", "status_name"},
         {"description", "description"}}}},
      {"toner",
       {"Toner",
        {{"level", "level_text"}, {"max", "max_capacity"}, {"description", "description"}}}},
      {"markers",
       {"Markers",
        {{"index", "index"}, {"technology", "marking_technology_name"},
         {"unit", "counter_unit_name"}, {"life count", "life_count"},
         {"power-on count", "power_on_count"}, {"colorants", "process_colorants"}}}},
      {"supplies",
       {"Supplies",
        {{"index", "index"}, {"type", "type_name"}, {"colorant", "colorant"},
         {"level", "level_text"}, {"max", "max_capacity"}, {"unit", "supply_unit_name"},
         {"class", "class_name"}, {"description", "description"}}}},
      {"alerts",
       {"Alerts",
        {{"severity", "severity_name"}, {"group", "group_name"}, {"index", "group_index"},
         {"code", "code"}, {"description", "description"}}}},
      {"jobs",
       {"Jobs",
        {{"id", "id"}, {"state", "state_name"}, {"type", "type"}, {"name", "name"},
         {"status", "status"}, {"origin", "origin"}, {"reason", "reason"},
         {"created", "created"}, {"completed", "completed"}}}},
  };
  return layouts;
}

}  // namespace

const std::vector<std::string>& status_table_names() {
  static const std::vector<std::string> names = {
      "storage", "devices", "printer",  "state",  "trays", "outputs",
      "toner",   "markers", "supplies", "alerts", "jobs"};
  return names;
}

std::string job_time_text(const OrvJobTime& t) {
  // DateAndTime's ranges (a leap second included); anything outside them,
  // or all zeros, is no time.
  const bool valid = t.year >= 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
                     t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
                     t.second >= 0 && t.second <= 60;
  if (!valid) return {};
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

int32_t read_jobs(OrvHandle handle, uint32_t kind, json& out, std::string& failed) {
  failed = "OrvGetNumberOfJobInfo";
  int32_t n = 0;
  int32_t rc = OrvGetNumberOfJobInfo(handle, kind, &n);
  if (rc != ORV_OK) return rc;
  out = json::array();
  for (uint32_t i = 0; i < static_cast<uint32_t>(n); ++i) {
    OrvJobInfo record{};
    char id[ORV_JOB_IDENTIFIER_MAX + 1] = {};
    failed = "OrvGetJobInfo";
    if ((rc = OrvGetJobInfo(handle, i, &record)) != ORV_OK) return rc;
    // The record holds eight octets of the identifier; the list shows it whole.
    failed = "OrvGetJobIdentifier";
    if ((rc = OrvGetJobIdentifier(handle, i, id, sizeof id)) != ORV_OK) return rc;
    out.push_back(job_json(record, job_id_text(id)));
  }
  return ORV_OK;
}

int32_t read_status_table(OrvHandle handle, const std::string& table, json& out,
                          std::string& failed) {
  using Reader = std::function<int32_t(OrvHandle, json&)>;
  // Each table with the export that counts it.
  static const std::map<std::string, std::pair<const char*, Reader>> readers = {
      {"storage", {"OrvGetNumberOfStorageInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfStorageInfo, h), OrvGetStorageInfo, storage_json, o);
       }}},
      {"devices", {"OrvGetNumberOfDeviceInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfDeviceInfo, h), OrvGetDeviceInfo, device_json, o);
       }}},
      {"printer", {"OrvGetPrinterInfo", read_printer}},
      {"trays", {"OrvGetNumberOfInputTrayInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfInputTrayInfo, h), OrvGetInputTrayInfo, input_json, o);
       }}},
      {"outputs", {"OrvGetNumberOfOutputTrayInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfOutputTrayInfo, h), OrvGetOutputTrayInfo, output_json, o);
       }}},
      {"toner", {"OrvGetNumberOfTonerInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfTonerInfo, h), OrvGetTonerInfo, toner_json, o);
       }}},
      {"state", {"OrvGetPrinterState", read_state}},
      {"markers", {"OrvGetNumberOfMarkerInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfMarkerInfo, h), OrvGetMarkerInfo, marker_json, o);
       }}},
      {"supplies", {"OrvGetNumberOfSupplyInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfSupplyInfo, h), OrvGetSupplyInfo, supply_json, o);
       }}},
      {"alerts", {"OrvGetNumberOfAlertInfo", [](OrvHandle h, json& o) {
         return read_records(h, counter(OrvGetNumberOfAlertInfo, h), OrvGetAlertInfo, alert_json, o);
       }}},
  };
  const auto found = readers.find(table);
  if (found == readers.end()) return read_jobs(handle, ORV_JOBS_ALL, out, failed);
  failed = found->second.first;
  return found->second.second(handle, out);
}

int32_t TextSets::read(uint32_t kind, int32_t& kept) {
  if (kept == 0) {
    int32_t value = 0;
    kept = OrvGetCharSet(handle_, kind, &value) == ORV_OK && value > 0 ? value : kMibEnumUtf8;
  }
  return kept;
}

void convert_table_texts(const std::string& table, TextSets& sets, json& data) {
  // The keys that hold the printer's own words; the job texts come from the
  // vendor's string table, in its character set.
  static const std::map<std::string, std::vector<const char*>> kTextKeys = {
      {"storage", {"description"}},
      {"devices", {"description"}},
      {"trays", {"media_name", "name", "description", "media_type", "media_color"}},
      {"outputs", {"name", "description"}},
      {"toner", {"description"}},
      {"supplies", {"colorant", "description"}},
      {"alerts", {"description"}},
      {"jobs", {"status", "origin", "reason", "name"}}};
  const auto keys = kTextKeys.find(table);
  if (keys == kTextKeys.end() || !data.is_array()) return;
  for (json& record : data) {
    for (const char* key : keys->second) {
      if (!record.contains(key) || !record[key].is_string()) continue;
      const std::string bytes = record[key].get<std::string>();
      if (is_ascii(bytes)) continue;
      record[key] = printer_text_utf8(bytes, table == "jobs" ? sets.jobs() : sets.printer());
    }
  }
}

std::string status_table_text(const std::string& table, const json& data) {
  if (table == "printer") {
    return "Printer\n\n" + format_table({"status", "error state", "errors"},
                                         {{text_of(data["status_name"]),
                                           text_of(data["error_state"]), list_text(data["errors"])}});
  }
  if (table == "state") {
    return "State\n\n" + format_table({"state", "device", "printer", "conditions"},
                                       {{text_of(data["state_name"]),
                                         text_of(data["device_status_name"]),
                                         text_of(data["printer_status_name"]),
                                         list_text(data["conditions"])}});
  }
  const auto& [title, columns] = text_layouts().at(table);
  Row header;
  for (const auto& column : columns) header.push_back(column.first);
  std::vector<Row> rows;
  for (const json& record : data) {
    Row row;
    for (const auto& column : columns) row.push_back(text_of(record[column.second]));
    rows.push_back(row);
  }
  if (rows.empty()) return title + "\n\n(none)\n";
  return title + "\n\n" + format_table(header, rows);
}

}  // namespace orvctl
