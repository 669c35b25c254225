// Network namespaces that a test creates, runs code in and always removes.
// Code runs in a forked child that enters the namespace, so the test process
// itself never leaves the machine's own namespace.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orv::testing {

// Runs `command` through the shell; false and its output in `output` when it fails.
inline bool run_shell(const std::string& command, std::string* output = nullptr) {
  std::string text;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return false;
  char chunk[512];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, n);
  int status = pclose(pipe);
  if (output) *output = text;
  return status == 0;
}

// True when namespaces can be made here (root and the `ip` tool).
inline bool can_make_namespaces(std::string* why_not) {
  if (geteuid() != 0) {
    *why_not = "network namespace tests need root";
    return false;
  }
  if (!run_shell("ip -V")) {
    *why_not = "network namespace tests need the ip tool (iproute2)";
    return false;
  }
  return true;
}

class NetnsSandbox {
 public:
  // Names are unique to this process and to each sandbox made in it.
  NetnsSandbox() {
    static std::atomic<int> serial{0};
    prefix_ = "orvad" + std::to_string(getpid()) + "x" + std::to_string(serial++);
  }

  // Removes every namespace it made (with their interfaces), also after failures.
  ~NetnsSandbox() {
    for (const auto& [suffix, name] : namespaces_) run_shell("ip netns del " + name);
  }

  NetnsSandbox(const NetnsSandbox&) = delete;
  NetnsSandbox& operator=(const NetnsSandbox&) = delete;

  // A new namespace with its loopback up; the name, or "" on failure.
  std::string add_namespace(const std::string& suffix) {
    std::string name = prefix_ + suffix;
    if (!run_shell("ip netns add " + name)) return "";
    namespaces_.emplace_back(suffix, name);
    if (!run_shell("ip -n " + name + " link set lo up")) return "";
    return name;
  }

  // Runs a shell command in which "{SUFFIX}" stands for that namespace's name.
  bool run(const std::string& command, std::string* output = nullptr) const {
    return run_shell(expand(command), output);
  }

  std::string name_of(const std::string& suffix) const {
    for (const auto& [s, name] : namespaces_) {
      if (s == suffix) return name;
    }
    return "";
  }

 private:
  std::string expand(std::string command) const {
    for (const auto& [suffix, name] : namespaces_) {
      const std::string key = "{" + suffix + "}";
      for (size_t at = command.find(key); at != std::string::npos; at = command.find(key, at)) {
        command.replace(at, key.size(), name);
      }
    }
    return command;
  }

  std::string prefix_;
  std::vector<std::pair<std::string, std::string>> namespaces_;  // suffix, name
};

// Runs `work` in a child process inside namespace `ns` and returns what it
// returned. A child that cannot enter the namespace, crashes or needs more
// than `seconds` gives a text starting with "child failed:".
inline std::string run_in_namespace(const std::string& ns, const std::function<std::string()>& work,
                                    unsigned seconds = 20) {
  int fds[2];
  if (pipe(fds) != 0) return "child failed: pipe";
  fflush(nullptr);
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return "child failed: fork";
  }
  if (child == 0) {
    close(fds[0]);
    alarm(seconds);
    std::string answer;
    int netns = open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
    if (netns < 0 || setns(netns, CLONE_NEWNET) != 0) {
      answer = "child failed: setns";
    } else {
      answer = work();
    }
    size_t sent = 0;
    while (sent < answer.size()) {
      ssize_t n = write(fds[1], answer.data() + sent, answer.size() - sent);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string answer;
  char chunk[512];
  // The child's alarm bounds this loop: its end of the pipe closes when it dies.
  for (;;) {
    ssize_t n = read(fds[0], chunk, sizeof chunk);
    if (n > 0) {
      answer.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed: " + answer;
  return answer;
}

}  // namespace orv::testing
