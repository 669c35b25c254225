// The numbers a request session decides before and around an exchange: how
// many tries, which size limit, and into how many pieces a request that is
// too big is split.
#pragma once

#include <cstdint>

namespace orv::session {

// Message size limits when a target asks for 0.
inline constexpr uint32_t kDefaultMaxMessageSizeIp = 1400;
inline constexpr uint32_t kDefaultMaxMessageSizeIpx = 546;

// Retries above this are treated as this many; more are never useful and
// the bound keeps retries + 1 far from wrapping.
inline constexpr int32_t kMaxRetries = 1000;

// retries + 1, with a negative retry count giving no try at all.
uint32_t try_count(int32_t retries);

// The target's maximum message size, or the protocol's limit for 0.
uint64_t effective_max_message_size(uint64_t requested, int32_t protocol);

// The codec could not fit the request: 2 when every binding fit (the
// header did not), else count / fit rounded up. 0 (no split helps) when not
// even one binding fits.
uint32_t split_count_for_unfit(uint32_t binding_count, uint32_t fitting);

// The message is longer than the limit: length / limit rounded up (0 for a
// limit of 0).
uint32_t split_count_for_length(uint64_t length, uint64_t limit);

}  // namespace orv::session
