// The IP-helper module's exported entries.
#include "iphelp_module/adapter_lists.h"
#include "iphelp_module/mib_tables.h"

#define ORV_IPHELP_EXPORT extern "C" __attribute__((visibility("default")))

using namespace orv;

#ifndef ORV_IPHELP_WITHOUT_BEST_INTERFACE
ORV_IPHELP_EXPORT uint32_t GetBestInterfaceEx(const sockaddr* destination,
                                              uint32_t* best_if_index) {
  return iphelp::best_interface(destination, best_if_index);
}
#endif

ORV_IPHELP_EXPORT uint32_t GetAdaptersInfo(net::QelIpAdapterInfo* info, uint32_t* size) {
  return iphelp::adapters_info(info, size);
}

ORV_IPHELP_EXPORT uint32_t GetAdaptersAddresses(uint32_t family, uint32_t flags, void*,
                                                net::QelAdapterAddresses* addresses,
                                                uint32_t* size) {
  return iphelp::adapters_addresses(family, flags, addresses, size);
}

ORV_IPHELP_EXPORT uint32_t GetIpForwardTable(net::QelIpForwardTable* table, uint32_t* size,
                                             int32_t order) {
  return iphelp::forward_table(table, size, order != 0);
}

ORV_IPHELP_EXPORT uint32_t GetNumberOfInterfaces(uint32_t* count) {
  return iphelp::interface_count(count);
}

ORV_IPHELP_EXPORT uint32_t GetIfTable(net::QelIfTable* table, uint32_t* size, int32_t order) {
  return iphelp::interface_table(table, size, order != 0);
}

ORV_IPHELP_EXPORT uint32_t GetIpAddrTable(net::QelIpAddrTable* table, uint32_t* size,
                                          int32_t order) {
  return iphelp::address_table(table, size, order != 0);
}
