// The adapter lists of the IP-helper module, built from one snapshot of the
// kernel's links and addresses.
#pragma once

#include <cstdint>

#include "net/iphelp_types.h"

namespace orv::iphelp {

uint32_t adapters_info(net::QelIpAdapterInfo* info, uint32_t* size);
uint32_t adapters_addresses(uint32_t family, uint32_t flags, net::QelAdapterAddresses* addresses,
                            uint32_t* size);
uint32_t best_interface(const sockaddr* destination, uint32_t* best_if_index);

}  // namespace orv::iphelp
