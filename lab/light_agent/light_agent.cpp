// A light SNMPv1/v2c agent for benchmarks and fleets: serves the .snmprec
// files of a folder on many loopback addresses from one thread, at a few
// microseconds per request (snmpsimd spends about a millisecond).
//
//   light_agent --data-dir tests/data --listen 127.0.0.50:161
//   light_agent --data-dir tests/data --range 127.1.0.1 1000 --files printer-a,printer-b
//   light_agent ... --broadcast     (only inside a network namespace of its own)
//
// The community selects the file, as with snmpsimd; a community that names
// no file gets the address's own file (--files, dealt out over the
// addresses in turn), or no answer without --files. snmpInPkts.0 answers
// how many requests the agent received. Prints "ready" once every socket is
// bound; ends on SIGTERM or SIGINT. With --broadcast it also listens on
// 0.0.0.0 and answers a request sent there (a discovery's broadcast) once
// from each of its addresses, as that many printers on one LAN would.
#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "light_agent/snmp_answer.h"
#include "light_agent/snmprec_store.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void on_stop(int) { g_stop = 1; }

struct Endpoint {
  int fd = -1;
  const orv::lab::SnmprecStore* own = nullptr;  // for unknown communities
};

struct Settings {
  std::string data_dir;
  std::vector<std::string> addresses;
  std::vector<std::string> files;
  uint16_t port = 161;
  size_t max_size = 1472;
  bool broadcast = false;
};

bool parse(int argc, char** argv, Settings* s) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--data-dir") {
      s->data_dir = value();
    } else if (a == "--listen") {
      s->addresses.push_back(value());
    } else if (a == "--port") {
      s->port = static_cast<uint16_t>(std::atoi(value().c_str()));
    } else if (a == "--max-size") {
      s->max_size = static_cast<size_t>(std::atol(value().c_str()));
    } else if (a == "--broadcast") {
      s->broadcast = true;
    } else if (a == "--files") {
      std::string list = value();
      for (size_t pos = 0; pos <= list.size();) {
        const size_t comma = std::min(list.find(',', pos), list.size());
        if (comma > pos) s->files.push_back(list.substr(pos, comma - pos));
        pos = comma + 1;
      }
    } else if (a == "--range") {
      in_addr first{};
      const std::string start = value();
      const long count = std::atol(value().c_str());
      if (inet_pton(AF_INET, start.c_str(), &first) != 1 || count < 1) return false;
      for (long k = 0; k < count; ++k) {
        in_addr next{htonl(ntohl(first.s_addr) + static_cast<uint32_t>(k))};
        char text[INET_ADDRSTRLEN];
        s->addresses.push_back(inet_ntop(AF_INET, &next, text, sizeof text));
      }
    } else {
      return false;
    }
  }
  return !s->data_dir.empty() && !s->addresses.empty();
}

bool load_folder(const std::string& dir, std::map<std::string, orv::lab::SnmprecStore>* stores) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return false;
  const std::string suffix = ".snmprec";
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
    std::string error;
    if (!(*stores)[name.substr(0, name.size() - suffix.size())].load(dir + "/" + name, &error)) {
      std::fprintf(stderr, "light_agent: %s\n", error.c_str());
      closedir(d);
      return false;
    }
  }
  closedir(d);
  return true;
}

int bind_udp(const std::string& address, uint16_t port, bool shared) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) return -1;
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int on = 1;
  // The wildcard socket of --broadcast shares the port with the addresses'.
  if (shared) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (shared) setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  Settings s;
  if (!parse(argc, argv, &s)) {
    std::fprintf(stderr,
                 "usage: light_agent --data-dir DIR (--listen ADDR | --range FIRST COUNT)... "
                 "[--port N] [--files A,B] [--max-size N]\n");
    return 2;
  }
  std::map<std::string, orv::lab::SnmprecStore> stores;
  if (!load_folder(s.data_dir, &stores)) return 1;
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < s.addresses.size() + 64) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, s.addresses.size() + 64);
    setrlimit(RLIMIT_NOFILE, &files);
  }
  const int poller = epoll_create1(EPOLL_CLOEXEC);
  std::vector<Endpoint> endpoints(s.addresses.size());
  for (size_t i = 0; i < s.addresses.size(); ++i) {
    Endpoint& e = endpoints[i];
    e.fd = bind_udp(s.addresses[i], s.port, s.broadcast);
    if (e.fd < 0) {
      std::fprintf(stderr, "light_agent: cannot bind %s:%u: %s\n", s.addresses[i].c_str(),
                   static_cast<unsigned>(s.port), std::strerror(errno));
      return 1;
    }
    if (!s.files.empty()) {
      auto found = stores.find(s.files[i % s.files.size()]);
      if (found == stores.end()) {
        std::fprintf(stderr, "light_agent: no file %s\n", s.files[i % s.files.size()].c_str());
        return 1;
      }
      e.own = &found->second;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = i;
    epoll_ctl(poller, EPOLL_CTL_ADD, e.fd, &ev);
  }
  const size_t wildcard = endpoints.size();
  if (s.broadcast) {
    Endpoint any;
    any.fd = bind_udp("0.0.0.0", s.port, true);
    if (any.fd < 0) {
      std::fprintf(stderr, "light_agent: cannot bind 0.0.0.0:%u\n", static_cast<unsigned>(s.port));
      return 1;
    }
    endpoints.push_back(any);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = wildcard;
    epoll_ctl(poller, EPOLL_CTL_ADD, any.fd, &ev);
  }
  std::signal(SIGTERM, on_stop);
  std::signal(SIGINT, on_stop);
  std::printf("ready %zu\n", s.addresses.size());
  std::fflush(stdout);

  uint64_t received = 0;
  uint8_t buffer[65536];
  orv::lab::AgentRequest request;
  while (!g_stop) {
    epoll_event ready[64];
    const int n = epoll_wait(poller, ready, 64, 500);
    for (int k = 0; k < n; ++k) {
      const Endpoint& e = endpoints[ready[k].data.u64];
      for (;;) {
        sockaddr_storage from{};
        socklen_t from_size = sizeof from;
        const ssize_t got = recvfrom(e.fd, buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr*>(&from), &from_size);
        if (got < 0) break;
        ++received;
        if (!orv::lab::decode_request(buffer, static_cast<size_t>(got), &request)) continue;
        auto named = stores.find(request.community);
        const size_t index = static_cast<size_t>(ready[k].data.u64);
        // A broadcast is answered by every printer, each from its own address.
        const size_t first = index == wildcard ? 0 : index;
        const size_t last = index == wildcard ? wildcard : index + 1;
        for (size_t p = first; p < last; ++p) {
          const orv::lab::SnmprecStore* store =
              named != stores.end() ? &named->second : endpoints[p].own;
          if (store == nullptr) continue;  // an unknown community gets no answer
          const std::string answer = orv::lab::answer_request(request, *store, received, s.max_size);
          sendto(endpoints[p].fd, answer.data(), answer.size(), 0,
                 reinterpret_cast<sockaddr*>(&from), from_size);
        }
      }
    }
  }
  return 0;
}
