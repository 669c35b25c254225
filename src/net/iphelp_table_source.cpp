// The IP-helper module's routing, interface and address tables.
#include <arpa/inet.h>

#include <memory>
#include <new>
#include <vector>

#include "net/iphelp_api.h"
#include "net/local_table_source.h"

namespace orv::net {
namespace {

// A table that grows between the size query and the read is asked again.
constexpr int kMaxTableReads = 4;
constexpr int32_t kSorted = 1;

struct ModuleCloser {
  void operator()(void* module) const { qel_free_library(module); }
};

class IpHelpTableSource : public ILocalTableSource {
 public:
  Result open() {
    module_.reset(NQelIpHelpAPI::open_module());
    if (!module_) return kErrLoad;
    forward_ = entry<PfnGetIpForwardTable>("GetIpForwardTable");
    count_ = entry<PfnGetNumberOfInterfaces>("GetNumberOfInterfaces");
    interfaces_ = entry<PfnGetIfTable>("GetIfTable");
    addresses_ = entry<PfnGetIpAddrTable>("GetIpAddrTable");
    return forward_ && count_ && interfaces_ && addresses_ ? kOk : kErrLoad;
  }

  Result read_routes(std::vector<RouteRecord>* routes) override {
    std::vector<char> block;
    Result rc = read_table(forward_, &block);
    if (rc != kOk) return rc;
    const auto* table = reinterpret_cast<const QelIpForwardTable*>(block.data());
    routes->clear();
    for (uint32_t i = 0; i < table->num_entries; ++i) {
      const QelIpForwardRow& row = table->table[i];
      routes->push_back({ntohl(row.dest), row.if_index, ntohl(row.next_hop), row.type,
                         ntohl(row.mask)});
    }
    return kOk;
  }

  Result read_addresses(std::vector<AddressRecord>* addresses) override {
    std::vector<char> block;
    Result rc = read_table(addresses_, &block);
    if (rc != kOk) return rc;
    const auto* table = reinterpret_cast<const QelIpAddrTable*>(block.data());
    addresses->clear();
    for (uint32_t i = 0; i < table->num_entries; ++i) {
      const QelIpAddrRow& row = table->table[i];
      addresses->push_back({ntohl(row.addr), row.index, ntohl(row.mask), row.bcast_addr});
    }
    return kOk;
  }

  Result read_interfaces(std::vector<InterfaceRecord>* interfaces) override {
    std::vector<char> block;
    Result rc = read_table(interfaces_, &block);
    if (rc != kOk) return rc;
    const auto* table = reinterpret_cast<const QelIfTable*>(block.data());
    interfaces->clear();
    for (uint32_t i = 0; i < table->num_entries; ++i) {
      const QelIfRow& row = table->table[i];
      interfaces->push_back({row.index, row.descr, row.type});
    }
    return kOk;
  }

  Result interface_count(uint32_t* count) override {
    return count_(count) == kIpHelpOk ? kOk : kErrLoad;
  }

 private:
  template <typename Fn>
  Fn entry(const char* name) {
    return reinterpret_cast<Fn>(qel_get_proc_address(module_.get(), name, nullptr));
  }

  // The two-call way: learn the size, then read, sorted.
  template <typename Table>
  static Result read_table(uint32_t (*read)(Table*, uint32_t*, int32_t), std::vector<char>* block) {
    uint32_t size = 0;
    uint32_t rc = read(nullptr, &size, kSorted);
    for (int tries = 0; tries < kMaxTableReads && rc == kIpHelpInsufficientBuffer; ++tries) {
      try {
        block->assign(size, 0);
      } catch (const std::bad_alloc&) {
        return kErrNoMemory;
      }
      rc = read(reinterpret_cast<Table*>(block->data()), &size, kSorted);
    }
    return rc == kIpHelpOk && block->size() >= offsetof(Table, table) ? kOk : kErrLoad;
  }

  std::unique_ptr<void, ModuleCloser> module_;
  PfnGetIpForwardTable forward_ = nullptr;
  PfnGetNumberOfInterfaces count_ = nullptr;
  PfnGetIfTable interfaces_ = nullptr;
  PfnGetIpAddrTable addresses_ = nullptr;
};

}  // namespace

Result make_iphelp_table_source(std::unique_ptr<ILocalTableSource>* source) {
  auto made = std::make_unique<IpHelpTableSource>();
  Result rc = made->open();
  if (rc != kOk) return rc;
  *source = std::move(made);
  return kOk;
}

}  // namespace orv::net
