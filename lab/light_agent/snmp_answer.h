// One SNMPv1/v2c request as the light agent reads it, and its answer from a
// store: GET, GETNEXT and GETBULK; SET is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "light_agent/snmprec_store.h"

namespace orv::lab {

struct AgentRequest {
  int64_t version = 0;  // 0: SNMPv1, 1: SNMPv2c
  std::string community;
  uint8_t pdu = 0;      // 0xA0 GET, 0xA1 GETNEXT, 0xA3 SET, 0xA5 GETBULK
  int64_t request_id = 0;
  int64_t first = 0;    // error-status, or non-repeaters
  int64_t second = 0;   // error-index, or max-repetitions
  std::vector<Arcs> oids;
};

// False for anything that is no SNMPv1/v2c request this agent reads.
bool decode_request(const uint8_t* data, size_t size, AgentRequest* out);

// The encoded GetResponse. `counter` answers snmpInPkts.0 (1.3.6.1.2.1.11.1.0):
// the requests this agent received, so that a test can count exchanges at
// the agent. A GETBULK answer stops at whole rows within `max_size` bytes.
std::string answer_request(const AgentRequest& request, const SnmprecStore& store,
                           uint64_t counter, size_t max_size);

}  // namespace orv::lab
