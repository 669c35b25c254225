#include "support/child_process.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace orv::test {

std::vector<char*> c_strings(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

ChildProcess::ChildProcess(const ChildOptions& options) : log_path_(options.log_path) {
  if (options.argv.empty()) throw std::invalid_argument("ChildProcess without a program");
  std::vector<std::string> argv;
  if (!options.netns.empty()) argv = {"ip", "netns", "exec", options.netns};
  argv.insert(argv.end(), options.argv.begin(), options.argv.end());
  // The given settings replace inherited ones of the same name.
  std::vector<std::string> env = options.env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const auto name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const auto& own : options.env) replaced = replaced || own.rfind(name, 0) == 0;
    if (!replaced) env.emplace_back(entry);
  }
  const std::string log = log_path_.empty() ? "/dev/null" : log_path_;
  int log_fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log_fd < 0) throw std::runtime_error("cannot open " + log);
  auto c_argv = c_strings(argv);
  auto c_env = c_strings(env);
  const pid_t parent = getpid();

  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls until exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    setpgid(0, 0);
    int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd < 0 || dup2(null_fd, 0) < 0 || dup2(log_fd, 1) < 0 || dup2(log_fd, 2) < 0) _exit(127);
    syscall(SYS_close_range, 3U, ~0U, 0U);
    execvpe(c_argv[0], c_argv.data(), c_env.data());
    _exit(127);
  }
  close(log_fd);
  if (pid_ < 0) throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
}

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::reap(int flags) {
  if (ended_) return true;
  int status = 0;
  pid_t got;
  while ((got = waitpid(pid_, &status, flags)) < 0 && errno == EINTR) {
  }
  if (got != pid_) return false;
  ended_ = true;
  if (WIFEXITED(status)) exit_ = {WEXITSTATUS(status), 0};
  if (WIFSIGNALED(status)) exit_ = {-1, WTERMSIG(status)};
  return true;
}

bool ChildProcess::running() { return pid_ > 0 && !reap(WNOHANG); }

bool ChildProcess::reap_within(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!reap(WNOHANG) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ended_;
}

ChildExit ChildProcess::wait(int timeout_ms) {
  if (pid_ > 0) reap_within(timeout_ms);
  return stop();
}

ChildExit ChildProcess::stop(int timeout_ms) {
  if (pid_ <= 0 || reap(WNOHANG)) return exit_;
  kill(pid_, SIGTERM);
  if (!reap_within(timeout_ms)) {
    kill(pid_, SIGKILL);
    reap(0);
  }
  return exit_;
}

std::string ChildProcess::output() const {
  std::ifstream in(log_path_);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int free_tcp_port() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = -1;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd >= 0) close(fd);
  if (port < 0) throw std::runtime_error("no free TCP port on 127.0.0.1");
  return port;
}

}  // namespace orv::test
