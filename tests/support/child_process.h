// A program the test starts itself and waits for, so that it sees how the
// program ended (an exit status of a sanitizer report, a signal) rather than
// only that it is gone. The child is killed when the test process dies, so a
// crashed test leaves nothing running.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace orv::test {

struct ChildOptions {
  std::vector<std::string> argv;
  std::string netns{};             // run through `ip netns exec NETNS`
  std::vector<std::string> env{};  // NAME=VALUE over this process's environment
  std::string log_path{};          // standard output and error; empty: discarded
};

struct ChildExit {
  int code = -1;   // exit status, -1 when a signal ended it
  int signal = 0;  // the signal that ended it, else 0
};

class ChildProcess {
 public:
  explicit ChildProcess(const ChildOptions& options);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // SIGTERM, then SIGKILL when it has not ended within timeout_ms.
  ChildExit stop(int timeout_ms = 10000);
  // Waits up to timeout_ms for it to end by itself, then stops it.
  ChildExit wait(int timeout_ms);
  // What it wrote so far (when a log path was given).
  std::string output() const;

 private:
  bool reap(int flags);
  bool reap_within(int timeout_ms);

  pid_t pid_ = 0;
  bool ended_ = false;
  ChildExit exit_{};
  std::string log_path_;
};

// The null-terminated pointer array exec wants; texts must outlive it.
std::vector<char*> c_strings(std::vector<std::string>& texts);

// A TCP port on 127.0.0.1 of the calling thread's namespace that is free now.
int free_tcp_port();

}  // namespace orv::test
