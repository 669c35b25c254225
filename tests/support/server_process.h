// A program the test starts that serves HTTP on a free port of 127.0.0.1
// (in a network namespace when given), with a private folder for its files;
// it answers before the constructor returns. The destructor stops it and
// removes the folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace orv::test {

struct ServerStart {
  std::string name;  // names the folder and the failure message
  std::string netns{};
  std::vector<std::string> env{};  // NAME=VALUE over this process's environment
  std::string ready_path = "/";  // answers 200 once the program serves
  // Writes the program's files into its folder before it starts.
  std::function<void(const std::string& dir)> prepare{};
  // The command line for its folder and port.
  std::function<std::vector<std::string>(const std::string& dir, int port)> argv;
};

class ServerProcess {
 public:
  explicit ServerProcess(const ServerStart& start);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }
  const std::string& netns() const { return netns_; }
  ChildProcess& process() { return *process_; }
  const ChildProcess& process() const { return *process_; }
  std::string log() const { return process_->output(); }

 private:
  std::string dir_;
  std::string netns_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace orv::test
