#include "snmp/session/request_id.h"

#include <atomic>

namespace orv::session {
namespace {

constinit std::atomic<uint32_t> g_request_id{0};

}  // namespace

uint32_t next_request_id() { return g_request_id.fetch_add(1, std::memory_order_relaxed); }

}  // namespace orv::session
