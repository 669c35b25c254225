// COrvDeviceStatus: the status reader of an opened printer. It
// records the request settings of the open and keeps one array of records
// per status table; a count reads its table afresh, a get copies a record
// of the last count.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orv/orv.h"
#include "orv/orv_ext.h"
#include "orv/orv_option.hpp"
#include "result_codes.h"

namespace orv::device {
class TableRows;
}

namespace orv::status {

// Owned copies of the USM settings taken at the open (the get-data
// object's security record).
struct SecurityParams {
  char user_name[64];
  int32_t security_level;
  int32_t auth_protocol;
  int32_t priv_protocol;
  char auth_pass_phrase[64];
  char priv_pass_phrase[64];
  char context_name[512];
};

class COrvDeviceStatus {
 public:
  COrvDeviceStatus();
  COrvDeviceStatus(const COrvDeviceStatus&) = delete;
  COrvDeviceStatus& operator=(const COrvDeviceStatus&) = delete;
  virtual ~COrvDeviceStatus();

  // Non-empty texts only; a read community sets the read-community flag.
  void set_read_community(const char* community);
  void set_write_community(const char* community);

  // Records address, protocol, time-out, retries and maximum message size, the
  // port (-2 for a protocol without one) and the USM settings.
  int32_t Init(int32_t protocol, const char* address, IOrvPluginUSM* usm, unsigned long timeout,
               unsigned long retries, unsigned long max_message_size);

  // Count operations: empty the table, read it, store the count.
  int32_t count_storage(int32_t* count);
  int32_t count_devices(int32_t* count);
  int32_t count_input_trays(int32_t* count);
  int32_t count_output_trays(int32_t* count);
  int32_t count_toners(int32_t* count);
  int32_t count_alerts(int32_t* count);
  // `texts` false leaves the localized job texts empty and reads neither
  // them (three GETs a job) nor the vendor character set.
  int32_t count_jobs(uint32_t kind, int32_t* count, bool texts = true);
  int32_t count_markers(int32_t* count);
  int32_t count_supplies(int32_t* count);

  // Get operations: copy the index-th record of the last count; -11 past it.
  int32_t get_storage(uint32_t index, OrvStorageInfo* record) const;
  int32_t get_device(uint32_t index, OrvDeviceInfo* record) const;
  int32_t get_input_tray(uint32_t index, OrvInputTrayInfo* record) const;
  int32_t get_output_tray(uint32_t index, OrvOutputTrayInfo* record) const;
  int32_t get_toner(uint32_t index, OrvTonerInfo* record) const;
  int32_t get_alert(uint32_t index, OrvAlertInfo* record) const;
  int32_t get_job(uint32_t index, OrvJobInfo* record) const;
  int32_t get_marker(uint32_t index, OrvMarkerInfo* record) const;
  int32_t get_supply(uint32_t index, OrvSupplyInfo* record) const;
  // The whole identifier of the index-th job (the record keeps eight
  // octets), terminated, into `size` bytes; -2 when they do not hold it.
  int32_t get_job_identifier(uint32_t index, char* buffer, uint32_t size) const;

  // Reads hrPrinterTable; the last row's status and error octets.
  int32_t printer_status(OrvPrinterInfo* out);
  // The overall state from the last hrPrinterTable row and its device's
  // hrDeviceStatus; -7 when the printer has no such row.
  int32_t printer_state(OrvPrinterState* out);
  // sysUpTime.0 (TimeTicks) by one GET.
  int32_t sys_up_time(uint32_t* ticks);
  // A SET of 1414 on the job's cancel object with the write community.
  int32_t cancel_job(const char* job_id);
  // Kind 0: the printer's character set; 1: the vendor one (also the
  // language of the job texts).
  int32_t char_set(uint32_t kind, int32_t* out);

  // Walks ask for up to `max_repetitions` rows a GetBulkRequest (SNMPv2c
  // for a community); 0 walks with GETNEXT.
  void set_bulk_repetitions(uint32_t max_repetitions) { m_bulkRepetitions = max_repetitions; }
  // The rows to ask a GetBulkRequest of the table under `root`: one more
  // than its last walk found, so that a steady table takes one answer that
  // stops just past it; 0 when bulk walks are off.
  uint32_t walk_repetitions(const char* root) const;
  // Remembers the rows a walk of `root` found.
  void note_walked_rows(const char* root, uint32_t rows) const;

  // The recorded settings.
  int32_t protocol() const { return m_protocol; }
  const char* address() const { return m_address; }
  uint16_t port() const { return m_port; }
  uint32_t timeout() const { return m_timeout; }
  uint32_t retries() const { return m_retries; }
  uint32_t max_message_size() const { return m_maxMessageSize; }
  const char* read_community() const { return m_readCommunity; }
  bool read_community_set() const { return m_readCommunitySet != 0; }
  const char* write_community() const { return m_writeCommunity; }
  int32_t security_model() const { return m_securityModel; }
  const SecurityParams& security_params() const { return m_security; }

 protected:
  // The readers: each appends the rows of one walk to its (empty) array.
  int32_t refresh_storage_table();
  int32_t refresh_device_table();
  int32_t refresh_printer_table();
  int32_t refresh_input_tray_table();
  int32_t refresh_output_tray_table();
  int32_t refresh_toner_table();
  int32_t refresh_alert_table();
  int32_t refresh_job_table(uint32_t kind, bool texts);
  int32_t refresh_marker_table();
  int32_t refresh_supply_table();
  // The vendor string table's text for the column's value, into 256 bytes.
  int32_t fetch_localized_text(const orv::device::TableRows& rows, uint32_t row, uint32_t column,
                               char* text) const;

  int32_t m_protocol;
  char m_address[64];
  uint16_t m_port;
  uint32_t m_timeout;
  uint32_t m_retries;
  uint32_t m_maxMessageSize;
  char m_readCommunity[256];
  uint8_t m_readCommunitySet;
  char m_writeCommunity[256];
  std::vector<OrvStorageInfo> m_storage;
  std::vector<OrvDeviceInfo> m_devices;
  int32_t m_printerStatus;
  uint8_t m_printerErrorBytes[4];
  std::vector<OrvInputTrayInfo> m_inputTrays;
  std::vector<OrvOutputTrayInfo> m_outputTrays;
  std::vector<OrvTonerInfo> m_toners;
  std::vector<OrvAlertInfo> m_alerts;
  std::vector<OrvJobInfo> m_jobs;
  std::vector<std::string> m_jobIdentifiers;  // whole, one per job record
  std::vector<OrvMarkerInfo> m_markers;
  std::vector<OrvSupplyInfo> m_supplies;
  int32_t m_printerCharSet;
  int32_t m_vendorCharSet;
  int32_t m_securityModel;
  SecurityParams m_security;
  uint32_t m_bulkRepetitions = 0;
  mutable std::map<std::string, uint32_t> m_walkedRows;  // by table root
};

}  // namespace orv::status
