// Use of the SNMPv3 library by this framework. The library keeps process-wide
// state (its user table, its sessions, its configuration), so:
//  - it is started when the first user arrives (users counted under one
//    process-wide lock) and stays started: see v3_library.cpp;
//  - it is started so that it reads no configuration file, loads no MIB,
//    keeps no persistent state and writes no log of its own;
//  - exchanges through it are serialised by the same lock, since its user
//    table is shared by every session and not locked by the library.
#pragma once

#include <mutex>
#include <string>
#include <utility>

namespace orv::session {

// Holds the library started for the lifetime of the object.
class V3LibraryUse {
 public:
  V3LibraryUse();
  ~V3LibraryUse();
  V3LibraryUse(const V3LibraryUse&) = delete;
  V3LibraryUse& operator=(const V3LibraryUse&) = delete;
};

// On destruction removes from the library's user table every entry of the
// user: the library keeps one per user and engine with the keys of the
// first session and would use it for later sessions of that user, whatever
// pass phrases they carry. Declared under the library lock, before the
// session, so that it runs after the session closed.
class V3ForgetUser {
 public:
  explicit V3ForgetUser(std::string name) : name_(std::move(name)) {}
  ~V3ForgetUser();
  V3ForgetUser(const V3ForgetUser&) = delete;
  V3ForgetUser& operator=(const V3ForgetUser&) = delete;

 private:
  std::string name_;
};

// Held around every call into the library that touches shared state.
std::unique_lock<std::mutex> v3_library_lock();

// How many users hold the library now, and whether it was started (tests).
int v3_library_users();
bool v3_library_started();

}  // namespace orv::session
