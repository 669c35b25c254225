// inet_addr answers the limited broadcast address with its error value; the
// text is told apart by its first 15 characters.
#pragma once

#include <cstring>

namespace orv::session {

inline constexpr const char* kLimitedBroadcastText = "255.255.255.255";

inline bool is_limited_broadcast_text(const char* text) {
  return text && std::strncmp(text, kLimitedBroadcastText, 15) == 0;
}

}  // namespace orv::session
