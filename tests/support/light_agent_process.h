// The light agent (tests/support/light_agent) as a child of the test, on
// one free loopback address, serving tests/data; ready before the
// constructor returns.
#pragma once

#include <cstdint>
#include <string>

#include "support/child_process.h"

namespace orv::test {

class LightAgent {
 public:
  LightAgent();
  ~LightAgent();
  LightAgent(const LightAgent&) = delete;
  LightAgent& operator=(const LightAgent&) = delete;
  const std::string& address() const { return address_; }
  // The requests it received so far (snmpInPkts.0, read over SNMP, the
  // reading itself not counted); -1 when it does not answer.
  int64_t requests(const std::string& community = "printer-a") const;

 private:
  std::string address_;
  std::string log_;
  ChildProcess process_;
};

}  // namespace orv::test
