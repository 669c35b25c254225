// Process running, paths and the checks that decide whether the lab can run.
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/child_process.h"
#include "support/lab.h"

extern char** environ;

namespace orv::test {
namespace {

std::string orvlab_path() { return source_dir() + "/tests/support/orvlab.py"; }

// The distribution's interpreter starts faster than wrappers found on PATH.
std::string python() { return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3"; }

std::vector<std::string> quiet_environment() {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "MIBS=", 5) != 0 && std::strncmp(*e, "MIBDIRS=", 8) != 0) env.emplace_back(*e);
  }
  // Debian ships no MIB files: without these Net-SNMP tools complain at length.
  env.emplace_back("MIBS=");
  env.emplace_back("MIBDIRS=");
  return env;
}

}  // namespace

bool is_root() { return geteuid() == 0; }

bool drop_net_admin() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const uint32_t bit = 1u << (CAP_NET_ADMIN % 32);
  data[CAP_NET_ADMIN / 32].effective &= ~bit;
  data[CAP_NET_ADMIN / 32].permitted &= ~bit;
  data[CAP_NET_ADMIN / 32].inheritable &= ~bit;
  return syscall(SYS_capset, &header, data) == 0;
}

bool have_program(std::string_view name) {
  std::string n(name);
  if (n.find('/') != std::string::npos) return access(n.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + n;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string lab_missing(bool needs_root, std::initializer_list<std::string_view> programs) {
  if (needs_root && !is_root()) {
    return "needs root (agents on port 161, network namespaces); CI runs it as root";
  }
  for (auto p : programs) {
    if (!have_program(p)) {
      return "needs the program '" + std::string(p) + "' (scripts/install-deps installs it)";
    }
  }
  return {};
}

std::string source_dir() { return ORV_SOURCE_DIR; }
std::string data_dir() { return source_dir() + "/tests/data"; }
std::string data_file(std::string_view name) { return data_dir() + "/" + std::string(name) + ".snmprec"; }

RunResult run(const std::vector<std::string>& argv, int timeout_ms) {
  RunResult result;
  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  if (pipe2(err_pipe, O_CLOEXEC) != 0) {
    close(out_pipe[0]);
    close(out_pipe[1]);
    throw std::runtime_error("pipe2 failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  std::vector<std::string> args = argv;
  std::vector<std::string> env = quiet_environment();
  auto c_args = c_strings(args);
  auto c_env = c_strings(env);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, c_args[0], &actions, nullptr, c_args.data(), c_env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (rc != 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    result.err = "cannot start " + argv[0] + ": " + std::strerror(rc);
    return result;
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      kill(pid, SIGKILL);
      break;
    }
    int n = poll(fds, 2, static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        sinks[i]->append(buf, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (auto& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_code = (!result.timed_out && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string orvlab(std::vector<std::string> args, int timeout_ms) {
  std::vector<std::string> argv = {python(), orvlab_path(), "--owner", std::to_string(getpid())};
  argv.insert(argv.end(), args.begin(), args.end());
  RunResult r = run(argv, timeout_ms);
  if (r.exit_code != 0) {
    std::string what = "orvlab";
    for (const auto& a : args) what += " " + a;
    throw std::runtime_error(what + (r.timed_out ? ": timed out\n" : ": failed\n") + r.err);
  }
  return r.out;
}

RunResult snmpget(const std::string& target, const std::string& community,
                  const std::vector<std::string>& oids, const std::vector<std::string>& options) {
  std::vector<std::string> argv = {"snmpget", "-On", "-Oqv", "-c", community};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(target);
  argv.insert(argv.end(), oids.begin(), oids.end());
  return run(argv);
}

std::string free_loopback_address(uint16_t port) {
  std::string out = orvlab({"free-address", "--port", std::to_string(port)});
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

}  // namespace orv::test
