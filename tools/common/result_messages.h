// Words for the library's result codes: what happened, the number, and what
// to try, e.g. "no answer from 192.0.2.7 within 1000 ms after 2 tries (-203):
// check the address and community".
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

// What the tool was doing when the code came back; some codes mean different
// things at different steps.
enum class Step {
  kCreate,     // OrvInit, OrvCommandString
  kOpen,       // OrvInitDevice
  kRefresh,    // OrvRefreshOptions
  kReadOption, // the option getters
  kFind,       // OrvFindDeviceSNMP and its filters
  kStatus,     // the status tables, jobs and character sets
  kCancel,     // OrvCancelJob
};

struct FailureContext {
  Step step = Step::kOpen;
  std::string address;  // printer or broadcast address; may be empty
  uint32_t timeout_ms = 0;
  uint32_t retries = 0;
  std::string action;  // when set, leads the message: "reading option \"SysName\": ..."
  // When set, the whole message after `action`: the tool found the address
  // unusable itself (resolve_printer_address) and has better words than the code.
  std::string address_problem{};
  bool snmpv3 = false;  // the hint then speaks of the user, not the community
};

// The whole message; never empty, also for codes the tool does not know.
std::string describe_result(int32_t code, const FailureContext& context);

}  // namespace orvctl
