#include "api/plugin_handle.h"

#include <cstring>
#include <new>

#include "device/model_table.h"
#include "result_codes.h"

namespace orv::api {

COrvPluginHandle::~COrvPluginHandle() {
  m_pOption.reset();
  m_pFinder.reset();
  m_pStatus.reset();
  m_pUSM.reset();
}

int32_t COrvPluginHandle::create_parts() {
  m_pFinder.reset(new (std::nothrow) orv::device::COrvDeviceFinder());
  if (m_pFinder == nullptr) return kErrNoMemory;
  m_pUSM.reset(new (std::nothrow) COrvPluginUSM());
  if (m_pUSM == nullptr) return kErrNoMemory;
  return kOk;
}

void COrvPluginHandle::release_device() {
  m_pOption.reset();
  m_pStatus.reset();
}

int32_t COrvPluginHandle::open(const char* address, int32_t protocol, int32_t security_model,
                               const OrvUSMParameters* usm, uint32_t timeout_ms,
                               uint32_t retries, uint32_t max_message_size) {
  // A second open replaces the option object and the status reader; the
  // earlier ones are released first, so a failing open never leaves a
  // status reader of an earlier printer behind.
  release_device();

  // 1. The option object.
  m_pOption.reset(new (std::nothrow) COrvHarrowOption());
  if (m_pOption == nullptr) return kErrNoMemory;

  // 2. The USM settings, from a copy of the host's record (null: all zero).
  OrvUSMParameters params;
  std::memset(&params, 0, sizeof params);
  if (usm != nullptr) std::memcpy(&params, usm, sizeof params);
  m_pUSM->set_parameters(security_model, &params);

  // 3. The get-option community.
  if (m_getOptionCommunity[0] != '\0') m_pOption->SetCommunityStr(m_getOptionCommunity);

  // 4. Init: records the settings and checks the printer.
  const long rc = m_pOption->Init(protocol, address, m_pUSM.get(), timeout_ms, retries, max_message_size);
  if (rc != 0) return static_cast<int32_t>(rc);

  // 5. The status reader.
  m_pStatus.reset(new (std::nothrow) orv::status::COrvDeviceStatus());
  if (m_pStatus == nullptr) return kErrNoMemory;

  // 6. Its communities.
  if (m_getOptionCommunity[0] != '\0') m_pStatus->set_read_community(m_getOptionCommunity);
  if (m_writeCommunity[0] != '\0') m_pStatus->set_write_community(m_writeCommunity);
  m_pStatus->set_bulk_repetitions(m_bulkRepetitions);

  // 7. Its Init with the same six arguments.
  return m_pStatus->Init(protocol, address, m_pUSM.get(), timeout_ms, retries, max_message_size);
}

int32_t COrvPluginHandle::find(const char* broadcast, int32_t protocol, int32_t security_model,
                               const OrvUSMParameters* usm, uint32_t timeout_ms,
                               uint32_t retries, uint32_t max_message_size, int32_t* count) {
  // 1. The destination.
  const char* destination = nullptr;
  switch (protocol) {
    case 1:
    case 2:
      destination = broadcast != nullptr ? broadcast : "255.255.255.255";
      break;
    case 4:
      destination = broadcast != nullptr ? broadcast : "ff02::1";
      break;
    default:
      return kErrNotSupported;  // no broadcast form
  }
  // The count is the broadcast's to write: a find whose setup fails leaves
  // the host's value as it was.

  // 2. The USM settings.
  OrvUSMParameters params;
  std::memset(&params, 0, sizeof params);
  if (usm != nullptr) std::memcpy(&params, usm, sizeof params);
  m_pUSM->set_parameters(security_model, &params);

  // 3. The find community (an empty one keeps the finder's earlier copy).
  m_pFinder->set_find_community(m_findCommunity);

  // 4. and 5. Prepare and broadcast.
  const int32_t rc = m_pFinder->prepare(protocol, destination, m_pUSM.get(), timeout_ms, retries,
                                        max_message_size);
  if (rc != kOk) return rc;
  return m_pFinder->broadcast(orv::device::kModelTable, count);
}

}  // namespace orv::api
