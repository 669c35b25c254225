#include "snmp/session/session_ticks.h"

#include <chrono>

namespace orv::session {

uint32_t steady_tick_ms() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

int64_t remaining_after(int64_t remaining, uint32_t start, uint32_t now) {
  uint32_t elapsed = now - start;
  return remaining - static_cast<int64_t>(elapsed);
}

}  // namespace orv::session
