#include "device/device_finder.h"

#include <cstring>
#include <new>

#include "device/text_copy.h"
#include "result_codes.h"
#include "snmp/facade/find_device_snmp.h"

namespace orv::device {

COrvDeviceFinder::COrvDeviceFinder()
    : m_pFindDeviceSnmp(nullptr),
      m_pResults(nullptr),
      m_filters{},
      m_pModelTable(nullptr),
      m_findCommunity{},
      m_pCursor(nullptr),
      m_cursorPlace(-1) {}

COrvDeviceFinder::~COrvDeviceFinder() {
  discard_results();
  release_find_device();
}

void COrvDeviceFinder::release_find_device() {
  if (m_pFindDeviceSnmp != nullptr) {
    m_pFindDeviceSnmp->release();
    m_pFindDeviceSnmp = nullptr;
  }
}

void COrvDeviceFinder::forget_cursor() {
  m_pCursor = nullptr;
  m_cursorPlace = -1;
}

void COrvDeviceFinder::discard_results() {
  forget_cursor();
  if (m_pResults == nullptr) return;
  DeviceEntry* entry = m_pResults->first;
  while (entry != nullptr) {
    DeviceEntry* next = entry->next;
    delete entry;
    entry = next;
  }
  delete m_pResults;
  m_pResults = nullptr;
}

void COrvDeviceFinder::add_filter(const char* filter) {
  if (filter == nullptr || filter[0] == '\0') return;  // an empty slot stays empty
  for (auto& slot : m_filters) {
    if (slot[0] == '\0') {
      copy_text(slot, filter);
      return;
    }
  }
}

void COrvDeviceFinder::clear_filters() { std::memset(m_filters, 0, sizeof m_filters); }

void COrvDeviceFinder::reset_position() {
  if (m_pResults != nullptr) m_pResults->position = 0;
}

bool COrvDeviceFinder::next_device(char* address, char* model, char* reserved,
                                   char* sys_object_id) {
  if (m_pResults == nullptr || m_pResults->count <= 0) return false;
  if (m_pResults->position >= m_pResults->count) return false;
  DeviceEntry* entry = entry_at(m_pResults->position);
  if (entry == nullptr) return false;
  std::strcpy(address, entry->address);
  std::strcpy(model, entry->model);
  reserved[0] = '\0';
  std::strcpy(sys_object_id, entry->sys_object_id);
  ++m_pResults->position;
  m_pCursor = entry->next;
  m_cursorPlace = m_pResults->position;
  return true;
}

COrvDeviceFinder::DeviceEntry* COrvDeviceFinder::entry_at(int32_t place) const {
  if (m_cursorPlace == place) return m_pCursor;
  DeviceEntry* entry = m_pResults->first;
  for (int32_t i = 0; entry != nullptr && i < place; ++i) entry = entry->next;
  return entry;
}

void COrvDeviceFinder::set_find_community(const char* community) {
  if (community != nullptr && community[0] != '\0') copy_text(m_findCommunity, community);
}

void COrvDeviceFinder::begin_results(const ModelRow* model_table) {
  discard_results();
  m_pModelTable = model_table;
  m_pResults = new (std::nothrow) ResultList{0, 0, nullptr};
}

bool COrvDeviceFinder::passes_filters(const char* sys_object_id) const {
  if (m_filters[0][0] == '\0') return true;  // first slot empty: every answer passes
  for (const auto& slot : m_filters) {
    if (slot[0] == '\0') continue;
    if (std::strncmp(sys_object_id, slot, std::strlen(slot)) == 0) return true;
  }
  return false;
}

bool COrvDeviceFinder::accept_answer(const char* address, const char* sys_object_id) {
  if (m_pResults == nullptr || address == nullptr || sys_object_id == nullptr) return false;
  const ModelRow* row = match_model(m_pModelTable, sys_object_id);
  if (row == nullptr) return false;
  if (!passes_filters(sys_object_id)) return false;
  DeviceEntry* entry = new (std::nothrow) DeviceEntry{};
  if (entry == nullptr) return false;
  copy_text(entry->sys_object_id, sys_object_id);
  copy_text(entry->model, row->model);
  copy_text(entry->address, address);
  entry->next = m_pResults->first;
  m_pResults->first = entry;
  forget_cursor();
  ++m_pResults->count;
  return true;
}

}  // namespace orv::device
