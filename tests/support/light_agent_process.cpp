#include "support/light_agent_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/lab.h"

namespace orv::test {
namespace {

std::string log_file_for(const std::string& address) {
  return "/tmp/orv-light-agent-" + address + ".log";
}

ChildOptions agent_options(const std::string& address) {
  return {.argv = {ORV_LIGHT_AGENT_PATH, "--data-dir", data_dir(), "--listen", address},
          .log_path = log_file_for(address)};
}

}  // namespace

LightAgent::LightAgent()
    : address_(free_loopback_address()), log_(log_file_for(address_)),
      process_(agent_options(address_)) {
  for (int i = 0; i < 100 && process_.output().find("ready") == std::string::npos; ++i) {
    if (!process_.running()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (process_.output().find("ready") == std::string::npos) {
    throw std::runtime_error("light agent did not start: " + process_.output());
  }
}

LightAgent::~LightAgent() {
  process_.stop();
  std::remove(log_.c_str());
}

int64_t LightAgent::requests(const std::string& community) const {
  const RunResult r = snmpget(address_, community, {"1.3.6.1.2.1.11.1.0"});
  if (r.exit_code != 0 || r.out.empty()) return -1;
  return std::strtoll(r.out.c_str(), nullptr, 10) - 1;
}

}  // namespace orv::test
