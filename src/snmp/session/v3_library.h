// Use of the SNMPv3 library by this framework. The library keeps process-wide
// state (its user table, its sessions, its configuration), so:
//  - it is started when the first user arrives and shut down when the last
//    one leaves, counted under one process-wide lock;
//  - it is started so that it reads no configuration file, loads no MIB,
//    keeps no persistent state and writes no log of its own;
//  - exchanges through it are serialised by the same lock, since its user
//    table is shared by every session and not locked by the library.
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

// How many users hold the library started now (tests).
int v3_library_users();

}  // namespace orv::session
