// The light agent and the delaying relay (lab/) as
// children of the test or benchmark, each on a free loopback address; ready
// before the constructor returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace orv::test {

// A lab program that prints "ready" once it serves; stopped, and its log
// removed, on destruction.
class ReadyProgram {
 public:
  ReadyProgram(const std::string& address, std::vector<std::string> argv);
  ~ReadyProgram();
  ReadyProgram(const ReadyProgram&) = delete;
  ReadyProgram& operator=(const ReadyProgram&) = delete;
  const std::string& address() const { return address_; }
  pid_t pid() const { return process_.pid(); }

 private:
  std::string address_;
  std::string log_;
  ChildProcess process_;
};

// Serves tests/data on port 161 of one address: the community selects the
// file, any other community gets `file` when one is given.
class LightAgent : public ReadyProgram {
 public:
  explicit LightAgent(const std::string& file = {});
  // The requests it received so far (snmpInPkts.0, read over SNMP, the
  // reading itself not counted); -1 when it does not answer.
  int64_t requests(const std::string& community = "printer-a") const;

 private:
  LightAgent(const std::string& address, const std::string& file);
};

// Passes requests to port 161 of `agent` and holds each answer `delay_ms`.
class DelayRelay : public ReadyProgram {
 public:
  DelayRelay(const std::string& agent, int delay_ms);

 private:
  DelayRelay(const std::string& address, const std::string& agent, int delay_ms);
};

}  // namespace orv::test
