// The library's user table keeps one entry per (user, engine) with the keys
// of the session that made it, and uses it for every later session of that
// user and engine, whatever keys they carry. Exchanges run concurrently, so
// each holds a lease on its entry: sessions with the same keys share it, a
// session with other keys waits until the entry's last lease ends, and the
// last lease removes the entry (its keys wiped).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct snmp_session;

namespace orv::session {

class V3UserLease {
 public:
  // Takes the lease for the settings' user and engine (the engine ID must
  // be set). `lock` holds the library lock and may be released while
  // waiting.
  V3UserLease(std::unique_lock<std::mutex>& lock, const snmp_session& settings);
  ~V3UserLease();
  V3UserLease(const V3UserLease&) = delete;
  V3UserLease& operator=(const V3UserLease&) = delete;

 private:
  std::string name_;
  std::vector<uint8_t> engine_id_;
};

// Puts the open session's user for its engine into the library's table
// unless the lease's entry is there already (the library does this only
// when it probes at open). Takes the library lock; false when refused.
bool v3_install_user(void* handle);

}  // namespace orv::session
