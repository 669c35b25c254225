// COrvDeviceFinder: the discovery client of a handle. It keeps up
// to 50 sysObjectID prefix filters and the devices found by the last find,
// newest first, and iterates over them.
#pragma once

#include <cstdint>

#include "device/model_table.h"
#include "orv/orv_option.hpp"
#include "result_codes.h"

class IQelFindDeviceSnmp;

namespace orv::device {

class COrvDeviceFinder {
 public:
  static constexpr int kFilterSlots = 50;
  static constexpr int kTextSize = 64;

  struct DeviceEntry {
    char sys_object_id[kTextSize];
    char model[kTextSize];
    char address[kTextSize];
    DeviceEntry* next;
  };
  struct ResultList {
    int32_t count;
    int32_t position;
    DeviceEntry* first;
  };

  COrvDeviceFinder();
  COrvDeviceFinder(const COrvDeviceFinder&) = delete;
  COrvDeviceFinder& operator=(const COrvDeviceFinder&) = delete;
  // Frees every device entry, releases the find-device object, frees the list.
  virtual ~COrvDeviceFinder();

  // Into the first empty slot (cut to 63 characters); ignored when all 50
  // slots are in use or the text is null or empty.
  void add_filter(const char* filter);
  void clear_filters();
  // Position back to the first found device; nothing without a result list.
  void reset_position();
  // The next found device: address, model name, "" and sysObjectID (64 bytes
  // each); false when exhausted or before any find.
  bool next_device(char* address, char* model, char* reserved, char* sys_object_id);

  // A non-empty text replaces the finder's find community.
  void set_find_community(const char* community);
  const char* find_community() const { return m_findCommunity; }

  // Discards the previous results and find-device object, then sets up a
  // new one for `destination` (whose protocol must be `protocol`, else -2)
  // and an empty result list. Failures of the find-device object are logged.
  int32_t prepare(int32_t protocol, const char* destination, IOrvPluginUSM* usm,
                  uint32_t timeout_ms, uint32_t retries, uint32_t max_message_size);
  // Sends one GET of sysObjectID.0 and keeps the answers under a row of
  // `model_table` that pass the filters; writes the count (0 on failure).
  int32_t broadcast(const ModelRow* model_table, int32_t* count);

  // Broadcast step 4 on its own (also used by tests): starts an empty result
  // list for `model_table`, and takes one answer through the model match and
  // the filters; true when it became a device entry.
  void begin_results(const ModelRow* model_table);
  bool accept_answer(const char* address, const char* sys_object_id);

  int32_t result_count() const { return m_pResults ? m_pResults->count : 0; }
  bool has_results() const { return m_pResults != nullptr; }
  const char* filter(int slot) const { return m_filters[slot]; }

 private:
  void discard_results();
  // The entry at `place`, from the cursor when it stands there.
  DeviceEntry* entry_at(int32_t place) const;
  void forget_cursor();
  void release_find_device();
  bool passes_filters(const char* sys_object_id) const;

  IQelFindDeviceSnmp* m_pFindDeviceSnmp;
  ResultList* m_pResults;
  char m_filters[kFilterSlots][kTextSize];
  const ModelRow* m_pModelTable;
  char m_findCommunity[256];
  // The entry at place m_cursorPlace, so that iterating in order does not
  // walk the list from its start for every device; -1 when unknown.
  DeviceEntry* m_pCursor;
  int32_t m_cursorPlace;
};

}  // namespace orv::device
