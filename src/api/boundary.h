// The C boundary: no exception leaves an export. Running out of memory
// answers the library's out-of-memory code; any other exception (a thread
// the system refused, say) answers `other`.
#pragma once

#include <new>

#include "result_codes.h"

namespace orv::api {

template <typename R, typename Body>
R at_boundary(R out_of_memory, R other, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return out_of_memory;
  } catch (...) {
    return other;
  }
}

// The common case: an export answering a result code.
template <typename Body>
int32_t guarded(Body&& body) noexcept {
  return at_boundary<int32_t>(kErrNoMemory, kErrPlatform, static_cast<Body&&>(body));
}

// An export without a result: whatever went wrong stays inside.
template <typename Body>
void guarded_void(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace orv::api
