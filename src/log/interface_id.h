// Interface identity of framework components: a query names the interface by
// a 36-character lower-case UUID text; the answer is the object seen through
// that interface, or kErrNoInterface.
#pragma once

#include <cstddef>

namespace orv::log {

inline constexpr size_t kInterfaceIdLength = 36;

// Every component answers this one with its base interface.
inline constexpr char kBaseObjectInterfaceId[] = "da74598a-9178-43c9-86c6-cee9988f1b7f";
inline constexpr char kLogSinkInterfaceId[] = "13102460-7602-11d5-82f1-00e02941dfe1";
inline constexpr char kFileLogSinkInterfaceId[] = "2fb9f6c0-7602-11d5-82f1-00e02941dfe1";

// True when asked equals known over the id and its terminator. Stops at the
// first difference, so a shorter (or unterminated-at-37) text is never over-read.
bool interface_id_matches(const char* asked, const char* known);

}  // namespace orv::log
