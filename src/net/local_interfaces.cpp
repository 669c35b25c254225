// The local interface questions over the IP-helper table: the adapter lists
// are read into plain records and the rules of local_interface_rules.cpp
// decide.
#include "net/local_interfaces.h"

#include <netinet/in.h>

#include <cstring>
#include <vector>

#include "net/iphelp_api.h"

namespace orv::net {

namespace {

using EProtocol = IQelNetworkAddress::EProtocol;

// A list may grow between the size query and the call that fills it; a few
// tries are enough for that, and they bound the loop.
constexpr int kListTries = 4;

constexpr uint32_t kAdapterListFlags =
    kGaaSkipAnycast | kGaaSkipMulticast | kGaaSkipDnsServer | kGaaIncludePrefix;

// A zero-filled block aligned for the records the module writes into it.
class RecordBlock {
 public:
  bool resize(uint32_t bytes) {
    try {
      words_.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t), std::max_align_t{});
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }
  template <typename Record>
  Record* as() {
    return words_.empty() ? nullptr : reinterpret_cast<Record*>(words_.data());
  }

 private:
  std::vector<std::max_align_t> words_;
};

// Calls `fill(block, &size)` the two-call way. 0 with the records in `block`
// (none when the module had no data), -3, or -7 when the module fails.
template <typename Record, typename Fill>
Result read_list(RecordBlock* block, bool* empty, Fill fill) {
  uint32_t size = 0;
  uint32_t code = fill(nullptr, &size);
  for (int tries = 0; tries < kListTries; ++tries) {
    if (code == kIpHelpNoData) {
      *empty = true;
      return kOk;
    }
    if (code != kIpHelpBufferOverflow) return kErrNoValue;
    if (!block->resize(size)) return kErrNoMemory;
    code = fill(block->as<Record>(), &size);
    if (code == kIpHelpOk) {
      *empty = false;
      return kOk;
    }
  }
  return kErrNoValue;
}

// Loads the module, then reads the entry: -10 when either is missing.
template <typename Entry>
Result need_entry(const Entry& entry) {
  Result loaded = NQelIpHelpAPI::load_library();
  if (loaded != kOk) return loaded;
  return entry ? kOk : kErrLoad;
}

Result read_ipv4_adapters(std::vector<Ipv4AdapterRecord>* adapters) {
  Result result = need_entry(NQelIpHelpAPI::pfn_GetAdaptersInfo);
  if (result != kOk) return result;
  RecordBlock block;
  bool empty = true;
  result = read_list<QelIpAdapterInfo>(&block, &empty, [](QelIpAdapterInfo* info, uint32_t* size) {
    return NQelIpHelpAPI::pfn_GetAdaptersInfo(info, size);
  });
  if (result != kOk || empty) return result;
  for (const QelIpAdapterInfo* info = block.as<QelIpAdapterInfo>(); info; info = info->next) {
    Ipv4AdapterRecord record;
    record.type = info->type;
    record.mac_length = std::min<uint32_t>(info->address_length, kAdapterAddressSize);
    std::memcpy(record.mac.data(), info->address, record.mac_length);
    const char* text = info->ip_address_list.address.text;
    record.first_address.assign(text, strnlen(text, sizeof info->ip_address_list.address.text));
    adapters->push_back(record);
  }
  return kOk;
}

Result read_adapters(int family, std::vector<AdapterRecord>* adapters) {
  Result result = need_entry(NQelIpHelpAPI::pfn_GetAdaptersAddresses);
  if (result != kOk) return result;
  RecordBlock block;
  bool empty = true;
  result = read_list<QelAdapterAddresses>(&block, &empty, [family](QelAdapterAddresses* list, uint32_t* size) {
    return NQelIpHelpAPI::pfn_GetAdaptersAddresses(static_cast<uint32_t>(family), kAdapterListFlags, nullptr,
                                                   list, size);
  });
  if (result != kOk || empty) return result;
  for (const QelAdapterAddresses* entry = block.as<QelAdapterAddresses>(); entry; entry = entry->next) {
    AdapterRecord record;
    record.type = entry->if_type;
    record.mac_length = std::min<uint32_t>(entry->physical_address_length, kAdapterAddressSize);
    std::memcpy(record.mac.data(), entry->physical_address, record.mac_length);
    record.ipv4_index = entry->if_index;
    record.ipv6_index = entry->ipv6_if_index;
    const QelAdapterUnicastAddress* unicast = entry->first_unicast_address;
    const sockaddr* address = unicast ? unicast->address.sockaddr_ptr : nullptr;
    if (address && address->sa_family == AF_INET &&
        unicast->address.sockaddr_length >= static_cast<int32_t>(sizeof(sockaddr_in))) {
      record.has_unicast = true;
      record.unicast_family = AF_INET;
      std::memcpy(record.unicast.data(), &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, 4);
    } else if (address && address->sa_family == AF_INET6 &&
               unicast->address.sockaddr_length >= static_cast<int32_t>(sizeof(sockaddr_in6))) {
      const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
      record.has_unicast = true;
      record.unicast_family = AF_INET6;
      std::memcpy(record.unicast.data(), &v6->sin6_addr, 16);
      record.scope_id = v6->sin6_scope_id;
    }
    adapters->push_back(record);
  }
  return kOk;
}

}  // namespace

Result local_has_usable_interface(EProtocol protocol, bool* usable,
                                  const std::function<bool(EProtocol)>& can_open_socket) {
  *usable = false;
  if (protocol == IQelNetworkAddress::kProtocolIpv6) {
    // Without the IP-helper list there is no way to tell: the answer is no.
    std::vector<AdapterRecord> adapters;
    Result result = read_adapters(AF_INET6, &adapters);
    if (result == kErrLoad) return kOk;
    if (result != kOk) return result;
    *usable = has_usable_ipv6(adapters);
    return kOk;
  }
  if (protocol == IQelNetworkAddress::kProtocolIpv4) {
    std::vector<Ipv4AdapterRecord> adapters;
    if (read_ipv4_adapters(&adapters) == kOk) {
      *usable = has_usable_ipv4(adapters);
      return kOk;
    }
  }
  *usable = can_open_socket(protocol);
  return kOk;
}

Result local_interface_count(EProtocol protocol, int32_t* count) {
  Result result = kErrInvalidArg;
  if (protocol == IQelNetworkAddress::kProtocolIpv4) {
    std::vector<Ipv4AdapterRecord> adapters;
    result = read_ipv4_adapters(&adapters);
    if (result == kOk) *count = count_ipv4(adapters);
  } else if (protocol == IQelNetworkAddress::kProtocolIpv6) {
    std::vector<AdapterRecord> adapters;
    result = read_adapters(AF_INET6, &adapters);
    if (result == kOk) *count = count_ipv6(adapters);
  }
  return result;
}

Result local_interface_mac(const char* address, EProtocol protocol, const NormaliseText& normalise,
                           std::string* mac) {
  if (protocol == IQelNetworkAddress::kProtocolIpv4) {
    std::vector<Ipv4AdapterRecord> adapters;
    Result result = read_ipv4_adapters(&adapters);
    return result == kOk ? find_ipv4_mac(adapters, address, mac) : result;
  }
  if (protocol == IQelNetworkAddress::kProtocolIpv6) {
    std::vector<AdapterRecord> adapters;
    Result result = read_adapters(AF_INET6, &adapters);
    return result == kOk ? find_ipv6_mac(adapters, address, normalise, mac) : result;
  }
  return kErrInvalidArg;
}

Result local_is_local_mac(const char* mac, bool* local) {
  std::vector<Ipv4AdapterRecord> ipv4;
  if (read_ipv4_adapters(&ipv4) == kOk) {
    *local = holds_mac_ipv4(ipv4, mac);
    return kOk;
  }
  std::vector<AdapterRecord> ipv6;
  Result result = read_adapters(AF_INET6, &ipv6);
  if (result != kOk) return result;
  *local = holds_mac_ipv6(ipv6, mac);
  return kOk;
}

Result local_source_adapter(const sockaddr* destination, AdapterRecord* adapter) {
  if (NQelIpHelpAPI::load_library() != kOk || !NQelIpHelpAPI::pfn_GetBestInterfaceEx ||
      !NQelIpHelpAPI::pfn_GetAdaptersAddresses) {
    return kErrNotSupported;
  }
  uint32_t best = 0;
  if (NQelIpHelpAPI::pfn_GetBestInterfaceEx(destination, &best) != kIpHelpOk) return kErrNotSupported;
  std::vector<AdapterRecord> adapters;
  if (read_adapters(destination->sa_family, &adapters) != kOk) return kErrPlatform;
  const AdapterRecord* found = adapter_for_interface(adapters, destination->sa_family, best);
  if (!found) return kErrPlatform;
  *adapter = *found;
  return kOk;
}

}  // namespace orv::net
