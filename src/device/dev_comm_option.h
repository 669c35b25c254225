// Internal additions to the exported option classes of orv/orv_option.hpp.
#pragma once

#include "orv/orv_option.hpp"
#include "result_codes.h"

namespace orv::device {

// SNMP ports by protocol code.
inline constexpr uint16_t kSnmpPortIp = 161;
inline constexpr uint16_t kSnmpPortIpx = 36879;

// 161 for IPv4 (1) and IPv6 (4), 36879 for IPX (2), 0 for any other code.
inline uint16_t snmp_port_for(int32_t protocol) {
  switch (protocol) {
    case 1:
    case 4:
      return kSnmpPortIp;
    case 2:
      return kSnmpPortIpx;
    default:
      return 0;
  }
}

}  // namespace orv::device
