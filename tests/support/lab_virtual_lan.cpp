// Virtual LANs in network namespaces, made and removed through orvlab.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <exception>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/lab.h"

namespace orv::test {
namespace {

// Unique per process and per LAN, and short: namespace names carry it.
std::string unique_lan_name() {
  static std::atomic<int> counter{0};
  return "orv" + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

}  // namespace

VirtualLan::VirtualLan(const std::vector<std::pair<std::string, std::string>>& hosts)
    : name_(unique_lan_name()) {
  std::string host_list;
  for (const auto& [host, ipv4] : hosts) host_list += (host_list.empty() ? "" : ",") + host + "=" + ipv4;
  std::istringstream lines(orvlab({"lan", "up", "--name", name_, "--hosts", host_list}));
  up_ = true;
  LanHost h;
  while (lines >> h.name >> h.netns >> h.ipv4 >> h.ipv6) hosts_.push_back(h);
  if (hosts_.size() != hosts.size()) {
    down();
    throw std::runtime_error("lan up listed " + std::to_string(hosts_.size()) + " hosts");
  }
}

VirtualLan::~VirtualLan() { down(); }

void VirtualLan::down() {
  if (!up_) return;
  up_ = false;
  try {
    orvlab({"lan", "down", "--name", name_});
  } catch (const std::exception&) {
    // Never throw from cleanup; a later start reaps what is left.
  }
}

const LanHost& VirtualLan::host(std::string_view name) const {
  for (const auto& h : hosts_) {
    if (h.name == name) return h;
  }
  throw std::invalid_argument("no host " + std::string(name) + " on LAN " + name_);
}

RunResult VirtualLan::exec(std::string_view host_name, const std::vector<std::string>& argv,
                           int timeout_ms) const {
  std::vector<std::string> full = {"ip", "netns", "exec", host(host_name).netns};
  full.insert(full.end(), argv.begin(), argv.end());
  return run(full, timeout_ms);
}

void VirtualLan::run_in(std::string_view host_name, const std::function<void()>& fn) const {
  run_in_netns(host(host_name).netns, fn);
}

void run_in_netns(const std::string& netns, const std::function<void()>& fn) {
  if (netns.empty()) {
    fn();
    return;
  }
  const std::string path = "/run/netns/" + netns;
  std::exception_ptr failure;
  // The network namespace belongs to a thread, so only this one moves.
  std::thread worker([&] {
    try {
      int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) throw std::runtime_error("cannot open " + path);
      int rc = setns(fd, CLONE_NEWNET);
      close(fd);
      if (rc != 0) throw std::runtime_error("setns into " + path + " failed");
      fn();
    } catch (...) {
      failure = std::current_exception();
    }
  });
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace orv::test
