// COrvPluginHandle: the one object a host holds. It owns the
// discovery client, the SNMPv3 settings, the three communities and, once a
// printer is opened, the option object and the status reader.
#pragma once

#include <cstdint>
#include <memory>

#include "api/plugin_usm.h"
#include "device/device_finder.h"
#include "orv/orv.h"
#include "orv/orv_option.hpp"
#include "status/device_status.h"

namespace orv::api {

// Each part is ended the way its interface says: the option object by
// destroy(), the USM settings by release(), the others by delete.
struct OptionDestroyer {
  void operator()(COrvDevCommOption* p) const { p->destroy(); }
};
struct UsmReleaser {
  void operator()(COrvPluginUSM* p) const { p->release(); }
};

class COrvPluginHandle {
 public:
  COrvPluginHandle() = default;
  COrvPluginHandle(const COrvPluginHandle&) = delete;
  COrvPluginHandle& operator=(const COrvPluginHandle&) = delete;
  // Releases the option object, the discovery client, the status reader and
  // the USM settings, in this order.
  virtual ~COrvPluginHandle();

  // OrvInit's steps 2 and 3: 0, or -3 when a part cannot be made.
  int32_t create_parts();

  // Device open, after the export's checks; `protocol` is the
  // internal code. A second open releases the objects of the first.
  int32_t open(const char* address, int32_t protocol, int32_t security_model,
               const OrvUSMParameters* usm, uint32_t timeout_ms, uint32_t retries,
               uint32_t max_message_size);

  // Find (the handle's part: destination, USM settings, community), after
  // the export's checks.
  int32_t find(const char* broadcast, int32_t protocol, int32_t security_model,
               const OrvUSMParameters* usm, uint32_t timeout_ms, uint32_t retries,
               uint32_t max_message_size, int32_t* count);

  std::unique_ptr<COrvHarrowOption, OptionDestroyer> m_pOption;
  std::unique_ptr<orv::device::COrvDeviceFinder> m_pFinder;
  char m_findCommunity[256] = {};
  char m_getOptionCommunity[256] = {};
  char m_writeCommunity[256] = {};
  std::unique_ptr<orv::status::COrvDeviceStatus> m_pStatus;
  std::unique_ptr<COrvPluginUSM, UsmReleaser> m_pUSM;
  // Kept across opens: the most rows a bulk walk asks at once (0: GETNEXT).
  uint32_t m_bulkRepetitions = 0;

 private:
  void release_device();
};

// Host protocol value to the internal code: 1->1, 2->2, 3->3, 5->4; any other
// value (including 4) gives -1.
inline int32_t map_protocol(int32_t host_value) {
  switch (host_value) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 3:
      return 3;
    case 5:
      return 4;
    default:
      return -1;
  }
}

}  // namespace orv::api
