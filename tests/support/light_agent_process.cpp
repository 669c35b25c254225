#include "support/light_agent_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <unistd.h>

#include "support/lab.h"

namespace orv::test {

ReadyProgram::ReadyProgram(const std::string& address, std::vector<std::string> argv)
    : address_(address),
      log_("/tmp/orv-lab-" + std::to_string(getpid()) + "-" + address + ".log"),
      process_({.argv = std::move(argv), .log_path = log_}) {
  for (int i = 0; i < 250 && process_.output().find("ready") == std::string::npos; ++i) {
    if (!process_.running()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (process_.output().find("ready") == std::string::npos) {
    throw std::runtime_error("lab program did not start: " + process_.output());
  }
}

ReadyProgram::~ReadyProgram() {
  process_.stop();
  std::remove(log_.c_str());
}

namespace {

std::vector<std::string> agent_argv(const std::string& address, const std::string& file) {
  std::vector<std::string> argv = {ORV_LIGHT_AGENT_PATH, "--data-dir", data_dir(), "--listen", address};
  if (!file.empty()) argv.insert(argv.end(), {"--files", file});
  return argv;
}

}  // namespace

LightAgent::LightAgent(const std::string& file) : LightAgent(free_loopback_address(), file) {}

LightAgent::LightAgent(const std::string& address, const std::string& file)
    : ReadyProgram(address, agent_argv(address, file)) {}

int64_t LightAgent::requests(const std::string& community) const {
  const RunResult r = snmpget(address(), community, {"1.3.6.1.2.1.11.1.0"});
  if (r.exit_code != 0 || r.out.empty()) return -1;
  return std::strtoll(r.out.c_str(), nullptr, 10) - 1;
}

DelayRelay::DelayRelay(const std::string& agent, int delay_ms)
    : DelayRelay(free_loopback_address(), agent, delay_ms) {}

DelayRelay::DelayRelay(const std::string& address, const std::string& agent, int delay_ms)
    : ReadyProgram(address, {ORV_DELAY_RELAY_PATH, "--listen", address + ":161", "--to",
                             agent + ":161", "--delay-ms", std::to_string(delay_ms)}) {}

}  // namespace orv::test
