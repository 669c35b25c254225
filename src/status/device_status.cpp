#include "status/device_status.h"

#include <algorithm>

#include <string.h>  // explicit_bzero

#include <cstring>
#include <new>

#include "device/dev_comm_option.h"
#include "device/text_copy.h"
#include "status/status_request.h"

namespace orv::status {

using orv::device::copy_text;

namespace {

template <typename Record>
int32_t copy_record(const std::vector<Record>& table, uint32_t index, Record* record) {
  if (record == nullptr) return kErrInvalidArg;
  if (index >= table.size()) return kErrIndexRange;
  std::memcpy(record, &table[index], sizeof(Record));
  return kOk;
}

// Every count starts from an empty table and the reader fills it. A failed
// reading leaves the table empty, also when it failed after some rows or
// ran out of memory growing the table.
template <typename Record, typename Reader>
int32_t count_table(std::vector<Record>& table, int32_t* count, Reader read) {
  if (count == nullptr) return kErrInvalidArg;
  table.clear();
  int32_t rc = kErrNoMemory;
  try {
    rc = read();
  } catch (const std::bad_alloc&) {
  }
  if (rc != kOk) {
    table.clear();
    return rc;
  }
  *count = static_cast<int32_t>(table.size());
  return kOk;
}

}  // namespace

COrvDeviceStatus::COrvDeviceStatus()
    : m_protocol(0),
      m_address{},
      m_port(0),
      m_timeout(0),
      m_retries(0),
      m_maxMessageSize(0),
      m_readCommunity{},
      m_readCommunitySet(0),
      m_writeCommunity{},
      m_printerStatus(0),
      m_printerErrorBytes{},
      m_printerCharSet(0),
      m_vendorCharSet(0),
      m_securityModel(0),
      m_security{} {
  copy_text(m_writeCommunity, "private");
}

COrvDeviceStatus::~COrvDeviceStatus() {
  explicit_bzero(m_security.auth_pass_phrase, sizeof(m_security.auth_pass_phrase));
  explicit_bzero(m_security.priv_pass_phrase, sizeof(m_security.priv_pass_phrase));
}

void COrvDeviceStatus::set_read_community(const char* community) {
  if (community == nullptr || community[0] == '\0') return;
  copy_text(m_readCommunity, community);
  m_readCommunitySet = 1;
}

void COrvDeviceStatus::set_write_community(const char* community) {
  if (community == nullptr || community[0] == '\0') return;
  copy_text(m_writeCommunity, community);
}

int32_t COrvDeviceStatus::Init(int32_t protocol, const char* address, IOrvPluginUSM* usm,
                               unsigned long timeout, unsigned long retries,
                               unsigned long max_message_size) {
  copy_text(m_address, address);
  m_protocol = protocol;
  m_timeout = static_cast<uint32_t>(timeout);
  m_retries = static_cast<uint32_t>(retries);
  m_maxMessageSize = static_cast<uint32_t>(max_message_size);
  const uint16_t port = orv::device::snmp_port_for(protocol);
  if (port == 0) return kErrInvalidArg;
  m_port = port;
  if (usm == nullptr) return kErrInvalidArg;
  m_securityModel = usm->security_model();
  copy_text(m_security.user_name, usm->user_name());
  m_security.security_level = usm->security_level();
  m_security.auth_protocol = usm->auth_protocol();
  m_security.priv_protocol = usm->priv_protocol();
  copy_text(m_security.auth_pass_phrase, usm->auth_pass_phrase());
  copy_text(m_security.priv_pass_phrase, usm->priv_pass_phrase());
  copy_text(m_security.context_name, usm->context_name());
  return kOk;
}

int32_t COrvDeviceStatus::sys_up_time(uint32_t* ticks) {
  int32_t value = 0;
  const int32_t rc = StatusRequest::get_int(*this, "1.3.6.1.2.1.1.3.0", &value);
  if (rc != kOk) return rc;
  // TimeTicks come as their 32 bits; a missing object reads -1 (all bits).
  if (value == -1) return kErrNoValue;
  *ticks = static_cast<uint32_t>(value);
  return kOk;
}

uint32_t COrvDeviceStatus::walk_repetitions(const char* root) const {
  if (m_bulkRepetitions == 0) return 0;
  const auto found = m_walkedRows.find(root);
  if (found == m_walkedRows.end()) return m_bulkRepetitions;
  return std::min(m_bulkRepetitions, found->second + 1);
}

void COrvDeviceStatus::note_walked_rows(const char* root, uint32_t rows) const {
  if (m_bulkRepetitions != 0) m_walkedRows[root] = rows;
}

int32_t COrvDeviceStatus::count_storage(int32_t* count) {
  return count_table(m_storage, count, [this] { return refresh_storage_table(); });
}
int32_t COrvDeviceStatus::count_devices(int32_t* count) {
  return count_table(m_devices, count, [this] { return refresh_device_table(); });
}
int32_t COrvDeviceStatus::count_input_trays(int32_t* count) {
  return count_table(m_inputTrays, count, [this] { return refresh_input_tray_table(); });
}
int32_t COrvDeviceStatus::count_output_trays(int32_t* count) {
  return count_table(m_outputTrays, count, [this] { return refresh_output_tray_table(); });
}
int32_t COrvDeviceStatus::count_toners(int32_t* count) {
  return count_table(m_toners, count, [this] { return refresh_toner_table(); });
}
int32_t COrvDeviceStatus::count_alerts(int32_t* count) {
  return count_table(m_alerts, count, [this] { return refresh_alert_table(); });
}
int32_t COrvDeviceStatus::count_markers(int32_t* count) {
  return count_table(m_markers, count, [this] { return refresh_marker_table(); });
}
int32_t COrvDeviceStatus::count_supplies(int32_t* count) {
  return count_table(m_supplies, count, [this] { return refresh_supply_table(); });
}
int32_t COrvDeviceStatus::count_jobs(uint32_t kind, int32_t* count, bool texts) {
  if (kind > 2 || count == nullptr) return kErrInvalidArg;
  // The job texts are in the vendor character set: read it once first.
  if (texts && m_vendorCharSet == 0) {
    int32_t vendor = 0;
    const int32_t rc = char_set(1, &vendor);
    if (rc != kOk) {
      m_jobs.clear();
      return rc;
    }
  }
  m_jobIdentifiers.clear();
  const int32_t rc =
      count_table(m_jobs, count, [this, kind, texts] { return refresh_job_table(kind, texts); });
  if (rc != kOk) m_jobIdentifiers.clear();
  return rc;
}

int32_t COrvDeviceStatus::get_storage(uint32_t index, OrvStorageInfo* record) const {
  return copy_record(m_storage, index, record);
}
int32_t COrvDeviceStatus::get_device(uint32_t index, OrvDeviceInfo* record) const {
  return copy_record(m_devices, index, record);
}
int32_t COrvDeviceStatus::get_input_tray(uint32_t index, OrvInputTrayInfo* record) const {
  return copy_record(m_inputTrays, index, record);
}
int32_t COrvDeviceStatus::get_output_tray(uint32_t index, OrvOutputTrayInfo* record) const {
  return copy_record(m_outputTrays, index, record);
}
int32_t COrvDeviceStatus::get_toner(uint32_t index, OrvTonerInfo* record) const {
  return copy_record(m_toners, index, record);
}
int32_t COrvDeviceStatus::get_alert(uint32_t index, OrvAlertInfo* record) const {
  return copy_record(m_alerts, index, record);
}
int32_t COrvDeviceStatus::get_job(uint32_t index, OrvJobInfo* record) const {
  return copy_record(m_jobs, index, record);
}
int32_t COrvDeviceStatus::get_marker(uint32_t index, OrvMarkerInfo* record) const {
  return copy_record(m_markers, index, record);
}
int32_t COrvDeviceStatus::get_supply(uint32_t index, OrvSupplyInfo* record) const {
  return copy_record(m_supplies, index, record);
}

int32_t COrvDeviceStatus::get_job_identifier(uint32_t index, char* buffer, uint32_t size) const {
  if (buffer == nullptr) return kErrInvalidArg;
  if (index >= m_jobIdentifiers.size()) return kErrIndexRange;
  const std::string& id = m_jobIdentifiers[index];
  if (size <= id.size()) return kErrInvalidArg;
  std::memcpy(buffer, id.c_str(), id.size() + 1);
  return kOk;
}

int32_t COrvDeviceStatus::printer_status(OrvPrinterInfo* out) {
  if (out == nullptr) return kErrInvalidArg;
  m_printerStatus = 0;
  std::memset(m_printerErrorBytes, 0, sizeof m_printerErrorBytes);
  const int32_t rc = refresh_printer_table();
  if (rc != kOk) return rc;
  out->status = m_printerStatus;
  std::memcpy(out->detected_error_state, m_printerErrorBytes, sizeof m_printerErrorBytes);
  return kOk;
}

}  // namespace orv::status
