#include <new>
#include <vector>

#include "net/address_resolver.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

namespace {

// The addresses of one name resolution, in the order they were found.
class CQelNetworkAddressList final : public IQelNetworkAddressList {
 public:
  void release() override { delete this; }

  Result append(IQelNetworkAddress* address) override {
    NetworkAddressPtr owned(address);
    if (!owned) return kErrInvalidArg;
    try {
      addresses_.push_back(std::move(owned));
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
    return kOk;
  }

  int32_t count() const override { return static_cast<int32_t>(addresses_.size()); }

  IQelNetworkAddress* at(int32_t index) const override {
    if (index < 0 || index >= count()) return nullptr;
    return addresses_[static_cast<size_t>(index)].get();
  }

 private:
  std::vector<NetworkAddressPtr> addresses_;
};

}  // namespace

IQelNetworkAddressList* qel_create_network_address_list(Result* result) {
  IQelNetworkAddressList* list = new (std::nothrow) CQelNetworkAddressList();
  if (result) *result = list ? kOk : kErrNoMemory;
  return list;
}

}  // namespace orv
