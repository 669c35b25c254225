// Engines of SNMPv3 agents: finding an agent's engine ID by a probe of our
// own (the library's probe at open blocks under its lock), and the library's
// cache of each engine's boots and time, which we bound and drop when an
// agent stops answering or fails our security (it may have restarted).
#pragma once

#include <cstdint>
#include <vector>

#include "result_codes.h"
#include "snmp/v3/v3_exchange.h"

struct snmp_session;

namespace orv::session {

// Sends engine-ID probes (a GET from no user, unauthenticated) to the
// settings' peer, one session and `wait_ms` per try, up to `tries` tries or
// until the exchange's handler says done. `broadcast` lets the socket send
// to broadcast addresses. A try that times out is no error.
Result v3_probe(const snmp_session& settings, int32_t tries, int64_t wait_ms, bool broadcast,
                V3Exchange* exchange);

// The engine ID of the one agent at the settings' peer; kErrTimeout when no
// agent answered.
Result v3_probe_engine_id(const snmp_session& settings, int32_t tries, int64_t wait_ms,
                          std::vector<uint8_t>* engine_id);

// Notes an engine the library now keeps a time for; past a bound the
// oldest noted engine's time is dropped. Takes the library lock.
void v3_note_engine(const std::vector<uint8_t>& engine_id);

// Drops the library's boots and time of the engine, so that the next
// exchange learns them anew. Takes the library lock.
void v3_forget_engine(const std::vector<uint8_t>& engine_id);

}  // namespace orv::session
