// Interface types from the kernel's hardware types, shared by the IP-helper
// module and the library's own table reader so both name a device alike.
#pragma once

#include <net/if_arp.h>

#include <cstdint>

#include "net/iphelp_types.h"

namespace orv::net {

// The C library's list stops short of the IPv6 GRE hardware type.
inline constexpr unsigned kHardwareIp6Gre = 823;

inline uint32_t interface_type_from_hardware(unsigned hardware_type) {
  switch (hardware_type) {
    case ARPHRD_ETHER:
      return kIfTypeEthernet;
    case ARPHRD_LOOPBACK:
      return kIfTypeLoopback;
    case ARPHRD_PPP:
      return kIfTypePpp;
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
    case kHardwareIp6Gre:
    case ARPHRD_NONE:  // tun devices and other layer-3 tunnels
      return kIfTypeTunnel;
    default:
      return kIfTypeOther;
  }
}

}  // namespace orv::net
