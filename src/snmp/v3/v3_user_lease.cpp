#include "snmp/v3/v3_user_lease.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <condition_variable>
#include <cstring>
#include <map>
#include <utility>

#include "snmp/v3/v3_library.h"

namespace orv::session {
namespace {

using UserKey = std::pair<std::string, std::vector<uint8_t>>;

struct Entry {
  std::vector<uint8_t> keys;  // what tells two sessions' keys apart, wiped
  int leases = 0;
};

// Guarded by the library lock.
std::map<UserKey, Entry>& entries() {
  static std::map<UserKey, Entry> table;
  return table;
}

std::condition_variable& entry_freed() {
  static std::condition_variable freed;
  return freed;
}

void wipe(std::vector<uint8_t>* bytes) {
  if (!bytes->empty()) explicit_bzero(bytes->data(), bytes->size());
  bytes->clear();
}

void wipe_user(usmUser* user) {
  if (user->authKey) explicit_bzero(user->authKey, user->authKeyLen);
  if (user->authKeyKu) explicit_bzero(user->authKeyKu, user->authKeyKuLen);
  if (user->privKey) explicit_bzero(user->privKey, user->privKeyLen);
  if (user->privKeyKu) explicit_bzero(user->privKeyKu, user->privKeyKuLen);
}

// Removes the entries of `name` for the engine.
void remove_users(const std::string& name, const std::vector<uint8_t>& engine_id) {
  usmUser* user = usm_get_userList();
  while (user) {
    usmUser* next = user->next;
    const bool same_engine =
        user->engineIDLen == engine_id.size() &&
        (engine_id.empty() || std::memcmp(user->engineID, engine_id.data(), engine_id.size()) == 0);
    if (user->secName && name == user->secName && same_engine) {
      (void)usm_remove_user(user);
      wipe_user(user);
      (void)usm_free_user(user);
    }
    user = next;
  }
}

std::vector<uint8_t> keys_of(const snmp_session& s) {
  std::vector<uint8_t> keys(s.securityAuthKey, s.securityAuthKey + s.securityAuthKeyLen);
  keys.insert(keys.end(), s.securityPrivKey, s.securityPrivKey + s.securityPrivKeyLen);
  keys.push_back(static_cast<uint8_t>(s.securityLevel));
  keys.push_back(static_cast<uint8_t>(s.securityAuthProtoLen));
  keys.push_back(static_cast<uint8_t>(s.securityPrivProtoLen));
  if (s.securityAuthProto) keys.push_back(static_cast<uint8_t>(s.securityAuthProto[s.securityAuthProtoLen - 1]));
  if (s.securityPrivProto) keys.push_back(static_cast<uint8_t>(s.securityPrivProto[s.securityPrivProtoLen - 1]));
  return keys;
}

}  // namespace

V3UserLease::V3UserLease(std::unique_lock<std::mutex>& lock, const snmp_session& settings)
    : name_(settings.securityName ? settings.securityName : ""),
      engine_id_(settings.securityEngineID, settings.securityEngineID + settings.securityEngineIDLen) {
  std::vector<uint8_t> keys = keys_of(settings);
  UserKey key(name_, engine_id_);
  for (;;) {
    auto found = entries().find(key);
    if (found == entries().end()) {
      // An entry left by anyone else would carry its keys: ours replace it.
      remove_users(name_, engine_id_);
      entries().emplace(key, Entry{std::move(keys), 1});
      return;
    }
    if (found->second.keys == keys) {
      ++found->second.leases;
      wipe(&keys);
      return;
    }
    // The same user and engine with other keys is in flight.
    entry_freed().wait(lock);
  }
}

V3UserLease::~V3UserLease() {
  auto lock = v3_library_lock();
  auto found = entries().find(UserKey(name_, engine_id_));
  if (found == entries().end() || --found->second.leases > 0) return;
  remove_users(name_, engine_id_);
  wipe(&found->second.keys);
  entries().erase(found);
  entry_freed().notify_all();
}

bool v3_install_user(void* handle) {
  auto lock = v3_library_lock();
  netsnmp_session* s = snmp_sess_session(handle);
  if (!s) return false;
  if (usm_get_user(s->securityEngineID, s->securityEngineIDLen, s->securityName)) return true;
  return usm_create_user_from_session(s) == SNMPERR_SUCCESS;
}

}  // namespace orv::session
