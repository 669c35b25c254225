// Millisecond ticks for the waits of a session: an unsigned 32-bit count
// that wraps about every 49.7 days, so every difference is taken modulo 2^32.
#pragma once

#include <cstdint>

namespace orv::session {

using TickSource = uint32_t (*)();

// The process's monotonic clock in milliseconds, cut to 32 bits.
uint32_t steady_tick_ms();

// What is left of `remaining` milliseconds after the ticks from `start` to
// `now` (a wrap of the counter between the two still counts right); 0 or
// less when the time is up.
int64_t remaining_after(int64_t remaining, uint32_t start, uint32_t now);

}  // namespace orv::session
