// Agents started through orvlab: snmpsimd printers and private snmpd instances.
#include <signal.h>

#include <cstdlib>
#include <stdexcept>

#include "support/lab.h"

namespace orv::test {
namespace {

void add_each(std::vector<std::string>& args, const char* flag, const std::vector<std::string>& values) {
  for (const auto& v : values) {
    args.push_back(flag);
    args.push_back(v);
  }
}

void add_if(std::vector<std::string>& args, const char* flag, const std::string& value) {
  if (!value.empty()) add_each(args, flag, {value});
}

}  // namespace

LabProcess::LabProcess(LabProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = 0; }

LabProcess& LabProcess::operator=(LabProcess&& other) noexcept {
  if (this != &other) {
    stop();
    pid_ = other.pid_;
    other.pid_ = 0;
  }
  return *this;
}

LabProcess::~LabProcess() { stop(); }

void LabProcess::start(const std::vector<std::string>& orvlab_args) {
  stop();
  std::string out = orvlab(orvlab_args);
  long pid = std::strtol(out.c_str(), nullptr, 10);
  if (pid <= 0) throw std::runtime_error("orvlab printed no process id: " + out);
  pid_ = static_cast<pid_t>(pid);
}

bool LabProcess::running() const { return pid_ > 0 && kill(pid_, 0) == 0; }

void LabProcess::stop() {
  if (pid_ <= 0) return;
  pid_t pid = pid_;
  pid_ = 0;
  try {
    orvlab({"stop", std::to_string(pid)});
  } catch (const std::exception&) {
    // A destructor must not throw; what is left is reaped by the next start.
  }
}

SnmpsimAgent::SnmpsimAgent(const SnmpsimOptions& options) {
  std::vector<std::string> args = {"snmpsim", "start", "--data-dir", options.data_dir};
  add_each(args, "--endpoint", options.endpoints);
  add_each(args, "--serve", options.serve);
  add_each(args, "--v3user", options.v3users);
  add_if(args, "--netns", options.netns);
  start(args);
}

SnmpdAgent::SnmpdAgent(const SnmpdOptions& options) {
  std::vector<std::string> args = {"snmpd", "start", "--port", std::to_string(options.port),
                                    "--community", options.community};
  add_each(args, "--address", options.addresses);
  add_if(args, "--rwcommunity", options.rwcommunity);
  add_if(args, "--sysobjectid", options.sysobjectid);
  add_each(args, "--v3user", options.v3users);
  add_each(args, "--conf-line", options.conf_lines);
  add_if(args, "--data-file", options.data_file);
  add_if(args, "--netns", options.netns);
  start(args);
}

}  // namespace orv::test
