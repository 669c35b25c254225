// Use of the SNMPv3 library by this framework. The library keeps process-wide
// state (its user table, its sessions, its configuration), so:
//  - it is started when the first user arrives (users counted under one
//    process-wide lock) and stays started: see v3_library.cpp;
//  - it is started so that it reads no file at all (no configuration, MIB
//    or certificate, whatever the environment names), keeps no persistent
//    state and writes no log of its own;
//  - every call into it is serialised by the same lock, since its user
//    table and engine times are shared by every session and not locked by
//    the library; no wait for the network is made under the lock.
#pragma once

#include <mutex>

namespace orv::session {

// Holds the library started for the lifetime of the object.
class V3LibraryUse {
 public:
  V3LibraryUse();
  ~V3LibraryUse();
  V3LibraryUse(const V3LibraryUse&) = delete;
  V3LibraryUse& operator=(const V3LibraryUse&) = delete;
};

// Held around every call into the library that touches shared state.
std::unique_lock<std::mutex> v3_library_lock();

// How many users hold the library now, and whether it was started (tests).
int v3_library_users();
bool v3_library_started();

}  // namespace orv::session
