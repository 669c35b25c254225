// The vendor job table with its localized texts, the job cancel and the
// character-set readings.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "device/option_request.h"
#include "device/table_rows.h"
#include "log/log.h"
#include "result_codes.h"
#include "status/device_status.h"
#include "status/job_index.h"
#include "status/status_request.h"
#include "status/type_tables.h"

namespace orv::status {

using orv::device::log_failed_step;
using orv::device::OptionRequest;
using orv::device::TableRows;

namespace {

constexpr const char kJobTypeColumn[] = "1.3.6.1.4.1.253.8.59.6.1.1.4";
constexpr const char kStringTable[] = "1.3.6.1.4.1.253.8.51.5.1.1.4";
constexpr const char kCancelColumn[] = "1.3.6.1.4.1.253.8.76.3.2.1.1";
constexpr int32_t kCancelValue = 1414;
constexpr int32_t kJobStateDone = 17;

// Columns in the order they are added; the first bounds the walk.
const char* const kJobColumns[] = {
    kJobTypeColumn,                  "1.3.6.1.4.1.253.8.59.6.1.1.9",
    "1.3.6.1.4.1.253.8.59.6.1.1.10", "1.3.6.1.4.1.253.8.59.16.1.1.5",
    "1.3.6.1.4.1.253.8.59.16.1.1.6", "1.3.6.1.4.1.253.8.59.6.1.1.5",
    "1.3.6.1.4.1.253.8.59.6.1.1.6",  "1.3.6.1.4.1.253.8.59.10.1.1.7",
    "1.3.6.1.4.1.253.8.59.6.1.1.3",  "1.3.6.1.4.1.253.8.59.10.1.1.10",
    "1.3.6.1.4.1.253.8.59.16.1.1.4", "1.3.6.1.4.1.253.8.59.16.1.1.7"};
enum JobColumn : uint32_t {
  kType, kState, kT6c10, kT16c5, kT16c6, kT6c5, kT6c6, kT10c7, kT6c3, kT10c10, kT16c4, kT16c7
};

struct CharSetSource {
  const char* localization;  // walked
  const char* char_set;      // read per row
};
constexpr CharSetSource kCharSetSources[] = {
    {"1.3.6.1.2.1.43.5.1.1.2", "1.3.6.1.2.1.43.7.1.1.4"},
    {"1.3.6.1.4.1.253.8.51.3.1.1.1", "1.3.6.1.4.1.253.8.51.4.1.1.7"}};

bool kind_accepts(uint32_t kind, int32_t state) {
  switch (kind) {
    case 1:
      return state != kJobStateDone;
    case 2:
      return state == kJobStateDone;
    default:
      return true;
  }
}

const char* oid_text_of(const TableRows& rows, uint32_t row, uint32_t column) {
  const IQelOid* oid = rows.oid(row, column);
  return oid != nullptr ? oid->text() : "";
}

// The identifier's index comes from column 10.1.1.7's own binding: the
// other tables may be indexed by row number. Where that binding has left
// its column (a shorter table 10), the walked column's index stands in when
// it has the identifier form; nullptr otherwise.
const char* job_index_of(const TableRows& rows, uint32_t row) {
  const char* own = index_after(oid_text_of(rows, row, kT10c7), kJobColumns[kT10c7]);
  if (own != nullptr) return own;
  const char* walked = index_after(oid_text_of(rows, row, kType), kJobTypeColumn);
  return is_job_index(walked) ? walked : nullptr;
}

OrvJobTime time_of(const TableRows& rows, uint32_t row, uint32_t column) {
  const IQelSmiValue* value = rows.value(row, column);
  uint32_t length = 0;
  const uint8_t* octets = nullptr;
  if (value != nullptr && value->kind() == kSmiOctetString) octets = value->get_bytes(&length);
  return job_time(octets, octets != nullptr ? length : 0);
}

}  // namespace

int32_t COrvDeviceStatus::fetch_localized_text(const TableRows& rows, uint32_t row,
                                               uint32_t column, char* text) const {
  // A value that is no table index (a column the row lacks, a negative
  // number, no vendor character set) has no text to fetch.
  const int64_t group = first_index_arc(oid_text_of(rows, row, column), kJobColumns[column]);
  const int32_t value = int32_of(rows.value(row, column));
  if (group < 0 || value < 0 || m_vendorCharSet < 0) return kOk;
  char oid[160];
  std::snprintf(oid, sizeof oid, "%s.%" PRId64 ".%" PRId32 ".%" PRId32, kStringTable, group,
                value, m_vendorCharSet);
  const int32_t rc = StatusRequest::get_text(*this, oid, text);
  // A missing translation is common in printer firmware: the job stays,
  // with that text empty.
  if (rc == kErrNoValue) {
    orv::log::qel_log(orv::device::kLogCategory, orv::log::kWarn, "no text for %s.", oid);
    text[0] = '\0';
    return kOk;
  }
  return rc;
}

int32_t COrvDeviceStatus::refresh_job_table(uint32_t kind, bool texts) {
  TableRows rows;
  int32_t rc = StatusRequest::walk(*this, kJobColumns, std::size(kJobColumns), &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    OrvJobInfo r;
    std::memset(&r, 0, sizeof r);
    char type[kGetDataTextSize];
    rows.text(i, kType, type, sizeof type);
    r.type = job_type_code(type);
    r.state = int32_of(rows.value(i, kState));
    r.value_t6c10 = int32_of(rows.value(i, kT6c10));
    r.value_t16c5 = uint32_of(rows.value(i, kT16c5));
    r.value_t16c6 = uint32_of(rows.value(i, kT16c6));
    std::string id;
    rc = decode_job_identifier(job_index_of(rows, i), &id);
    if (rc != kOk) return static_cast<int32_t>(log_failed_step("decode_job_id()", rc));
    // The texts cost three exchanges: only for the rows the kind keeps, and
    // only when the caller wants them.
    if (!kind_accepts(kind, r.state)) continue;
    if (texts) {
      if ((rc = fetch_localized_text(rows, i, kT6c5, r.text_t6c5)) != kOk) return rc;
      if ((rc = fetch_localized_text(rows, i, kT6c6, r.text_t6c6)) != kOk) return rc;
      if ((rc = fetch_localized_text(rows, i, kT10c7, r.text_t10c7)) != kOk) return rc;
    }
    // The record has room for eight octets; the whole one is kept apart.
    std::memcpy(r.job_id, id.data(), std::min(id.size(), kJobIdOctets));
    rows.text(i, kT6c3, r.text_t6c3, sizeof r.text_t6c3);
    r.time_t10c10 = time_of(rows, i, kT10c10);
    r.time_t16c4 = time_of(rows, i, kT16c4);
    r.time_t16c7 = time_of(rows, i, kT16c7);
    m_jobs.push_back(r);
    m_jobIdentifiers.push_back(std::move(id));
  }
  return kOk;
}

int32_t COrvDeviceStatus::cancel_job(const char* job_id) {
  if (job_id == nullptr) return kErrInvalidArg;
  char suffix[256];
  int32_t rc = job_id_suffix(job_id, suffix, sizeof suffix);
  if (rc != kOk) return rc;
  GetDataPtr request;
  rc = StatusRequest::open_for_write(*this, &request);
  if (rc != kOk) return rc;
  rc = request->add_oid_string(kCancelColumn, suffix, kCancelValue);
  if (rc != kOk) return static_cast<int32_t>(log_failed_step("pGetData->add_oid_string()", rc));
  rc = request->set_data();
  if (rc != kOk) return static_cast<int32_t>(log_failed_step("pGetData->set_data()", rc));
  return kOk;
}

int32_t COrvDeviceStatus::char_set(uint32_t kind, int32_t* out) {
  if (kind > 1 || out == nullptr) return kErrInvalidArg;
  const CharSetSource& source = kCharSetSources[kind];
  int32_t& field = kind == 0 ? m_printerCharSet : m_vendorCharSet;
  TableRows rows;
  int32_t rc = StatusRequest::walk(*this, &source.localization, 1, &rows);
  if (rc != kOk) return rc;
  for (uint32_t i = 0; i < rows.count(); ++i) {
    const int64_t row = first_index_arc(oid_text_of(rows, i, 0), source.localization);
    const int32_t localization = int32_of(rows.value(i, 0));
    if (row < 0 || localization < 0) continue;  // no index to read under
    char oid[128];
    std::snprintf(oid, sizeof oid, "%s.%" PRId64 ".%" PRId32, source.char_set, row, localization);
    int32_t answer = 0;
    rc = StatusRequest::get_int(*this, oid, &answer);
    if (rc != kOk) return rc;
    field = answer;
  }
  *out = field;
  return kOk;
}

}  // namespace orv::status
