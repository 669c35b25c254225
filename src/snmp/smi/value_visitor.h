// The codec's per-kind operations. Every SMI value calls exactly one of them
// from accept(), so the encoder and decoder never switch on kinds themselves.
#pragma once

#include "result_codes.h"

namespace orv {

class IQelSmiValue;
class IQelOid;

class IQesValueVisitor {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual Result visit_oid(IQelOid* value) = 0;                       // 1  OBJECT IDENTIFIER
  virtual Result visit_octet_string(IQelSmiValue* value) = 0;         // 2  OCTET STRING, Opaque
  virtual Result visit_integer(IQelSmiValue* value) = 0;              // 3  INTEGER
  virtual Result visit_null(IQelSmiValue* value) = 0;                 // 4  NULL
  virtual Result visit_counter32(IQelSmiValue* value) = 0;            // 5  Counter32
  virtual Result visit_gauge32(IQelSmiValue* value) = 0;              // 6  Gauge32
  virtual Result visit_timeticks(IQelSmiValue* value) = 0;            // 7  TimeTicks
  virtual Result visit_counter64(IQelSmiValue* value) = 0;            // 8  Counter64
  virtual Result visit_ip_address(IQelSmiValue* value) = 0;           // 9  IpAddress
  virtual Result visit_ipv6_address(IQelSmiValue* value) = 0;         // 10 IPv6 address (0x48)
  virtual Result visit_ipv4_port_address(IQelSmiValue* value) = 0;    // 11 IPv4 address with port
  virtual Result visit_ipx_address(IQelSmiValue* value) = 0;          // 12 IPX address with socket
  virtual Result visit_exception(IQelSmiValue* value) = 0;            // 13 noSuchObject, noSuchInstance, endOfMibView

 protected:
  virtual ~IQesValueVisitor() = default;
};

}  // namespace orv
