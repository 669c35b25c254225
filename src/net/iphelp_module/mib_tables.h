// Routing, interface and address tables of the IP-helper module.
#pragma once

#include <cstdint>

#include "net/iphelp_types.h"

namespace orv::iphelp {

uint32_t forward_table(net::QelIpForwardTable* table, uint32_t* size, bool order);
uint32_t interface_count(uint32_t* count);
uint32_t interface_table(net::QelIfTable* table, uint32_t* size, bool order);
uint32_t address_table(net::QelIpAddrTable* table, uint32_t* size, bool order);

}  // namespace orv::iphelp
