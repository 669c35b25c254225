// The senders whose answers a broadcast has kept, found by their normalised
// address in constant time: a burst of thousands of answers costs the same
// per answer as a handful. Two senders are the same as
// IQelNetworkAddress::equals has it: same protocol, same normalised text,
// and the same port unless the later sender's port is 0.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/network_address.h"
#include "result_codes.h"

namespace orv::session {

class BroadcastSenders {
 public:
  // Whether a sender equal to `sender` is kept already. `*key` receives the
  // sender's key for remember(): the address is normalised once per answer.
  // -2 for a missing argument, -3 when memory runs out.
  Result search(const IQelNetworkAddress* sender, bool* known, std::string* key) const;
  // Keeps the sender of `key` with `port`. A sender whose text does not
  // normalise has an empty key, equals nobody and is not kept. -3 when
  // memory runs out.
  Result remember(std::string key, uint16_t port);

 private:
  // Protocol and normalised text -> the ports answers came from.
  std::unordered_map<std::string, std::vector<uint16_t>> ports_;
};

}  // namespace orv::session
