// The process-wide request-id counter: the first id is 0, every request that
// is encoded takes the next one, and the count wraps at 2^32.
#pragma once

#include <cstdint>

namespace orv::session {

uint32_t next_request_id();

}  // namespace orv::session
