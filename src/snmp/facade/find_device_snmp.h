// The find-device object: the broadcast counterpart of the get-data object.
// One GET of scalar instances to a broadcast or multicast address; every
// agent that answers within the time-out comes back as one packet.
#pragma once

#include <cstdint>
#include <memory>

#include "snmp/facade/get_data.h"

using orv::IQesSnmpPacketList;

class IQelFindDeviceSnmp {
 public:
  virtual void release() = 0;
  virtual void set_community(const char* community) = 0;
  virtual int32_t init(const char* address, int32_t protocol, uint16_t port, int32_t security_model,
                       const QelSecurityParams* security, uint32_t timeout_ms, uint32_t retries,
                       uint32_t max_message_size) = 0;
  // Always the scalar instance: ".0" is appended. Invalid text -2.
  virtual int32_t add_oid_string(const char* oid) = 0;
  // One GetRequest to the destination of init(); 0 and a list the caller
  // releases (one packet per answering agent: its address in the target,
  // its answer in the PDU; possibly empty). On failure `*answers` is left
  // as it was.
  virtual int32_t send_broad_cast(IQesSnmpPacketList** answers) = 0;
  virtual int32_t get_protocol(const char* address, int32_t* protocol) = 0;

 protected:
  virtual ~IQelFindDeviceSnmp() = default;
};

extern "C" __attribute__((visibility("default"))) IQelFindDeviceSnmp* qel_create_find_device_snmp(
    int32_t* result);

struct QelFindDeviceDeleter {
  void operator()(IQelFindDeviceSnmp* p) const {
    if (p) p->release();
  }
};
using FindDevicePtr = std::unique_ptr<IQelFindDeviceSnmp, QelFindDeviceDeleter>;
