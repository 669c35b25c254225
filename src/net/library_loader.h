// Loading our run-time modules by name and finding their entry points.
// An entry counts only when the module itself defines it: a symbol that the
// loader would find in one of the module's dependencies (libc has most socket
// names) does not make a module complete.
#pragma once

#include <cstdint>

namespace orv::net {

using QelModule = void*;

// Reasons a look-up gives, in the numbering callers already branch on.
inline constexpr int32_t kModuleNotFound = 126;  // no module was given
inline constexpr int32_t kProcNotFound = 127;    // the module does not define the entry

// Loads `name`: first from the folder that holds this library, then through
// the loader's search path, and for binaries inside the build tree from the
// build's module folder. nullptr for a missing name or when nothing loads.
QelModule qel_load_library(const char* name);

// Loads exactly `path` (a test-only override names a module file this way).
QelModule qel_load_library_path(const char* path);

// Unloads a module; nullptr is ignored.
void qel_free_library(QelModule module);

// The entry `name` defined by `module`, or nullptr with the reason in `error`
// (optional).
void* qel_get_proc_address(QelModule module, const char* name, int32_t* error);

}  // namespace orv::net
