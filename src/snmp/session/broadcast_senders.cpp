#include "snmp/session/broadcast_senders.h"

#include <algorithm>
#include <new>
#include <utility>

#include "net/address_resolver.h"

namespace orv::session {
namespace {

// The protocol code in front of the normalised text; "" when the text does
// not normalise.
std::string key_of(const IQelNetworkAddress* sender) {
  const char* text = sender->text();
  if (!text) return {};
  IQelBuffer* raw = nullptr;
  const Result rc = qel_resolver_normalise_text(text, &raw);
  BufferPtr normalised(raw);
  if (rc != kOk || !normalised) return {};
  std::string key = std::to_string(sender->protocol());
  key += ' ';
  key += normalised->c_str();
  return key;
}

}  // namespace

Result BroadcastSenders::search(const IQelNetworkAddress* sender, bool* known,
                                std::string* key) const {
  if (!sender || !known || !key) return kErrInvalidArg;
  *known = false;
  try {
    *key = key_of(sender);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  if (key->empty()) return kOk;
  const auto found = ports_.find(*key);
  if (found == ports_.end()) return kOk;
  const uint16_t port = sender->port();
  const std::vector<uint16_t>& ports = found->second;
  *known = port == 0 || std::find(ports.begin(), ports.end(), port) != ports.end();
  return kOk;
}

Result BroadcastSenders::remember(std::string key, uint16_t port) {
  if (key.empty()) return kOk;
  try {
    ports_[std::move(key)].push_back(port);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  return kOk;
}

}  // namespace orv::session
