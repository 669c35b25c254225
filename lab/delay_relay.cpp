// A UDP relay that holds every answer for a fixed time before passing it
// on, so that each exchange through it takes that much longer: a round
// trip on loopback without netem (this kernel has none).
//
//   delay_relay --listen 127.0.0.60:161 --to 127.0.0.50:161 --delay-ms 5
//
// Each client address gets its own upstream socket, so answers find their
// way back; upstream sockets idle for 10 s are closed. Requests pass at
// once. Prints "ready" once bound; ends on SIGTERM or SIGINT.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <tuple>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_stop = 0;
void on_stop(int) { g_stop = 1; }

bool parse_endpoint(const std::string& text, sockaddr_in* out) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) return false;
  *out = sockaddr_in{};
  out->sin_family = AF_INET;
  out->sin_port = htons(static_cast<uint16_t>(std::atoi(text.c_str() + colon + 1)));
  return inet_pton(AF_INET, text.substr(0, colon).c_str(), &out->sin_addr) == 1;
}

struct ClientKey {
  uint32_t address;
  uint16_t port;
  bool operator<(const ClientKey& o) const { return std::tie(address, port) < std::tie(o.address, o.port); }
};

struct Upstream {
  int fd = -1;
  sockaddr_in client{};
  Clock::time_point used{};
};

struct Held {
  Clock::time_point due;
  sockaddr_in client;
  std::string bytes;
};

}  // namespace

int main(int argc, char** argv) {
  sockaddr_in listen_at{}, agent{};
  long delay_ms = -1;
  bool have_listen = false, have_agent = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--listen") have_listen = parse_endpoint(argv[i + 1], &listen_at);
    else if (a == "--to") have_agent = parse_endpoint(argv[i + 1], &agent);
    else if (a == "--delay-ms") delay_ms = std::atol(argv[i + 1]);
  }
  if (!have_listen || !have_agent || delay_ms < 0) {
    std::fprintf(stderr, "usage: delay_relay --listen ADDR:PORT --to ADDR:PORT --delay-ms N\n");
    return 2;
  }
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
  }
  const int front = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (front < 0 || bind(front, reinterpret_cast<sockaddr*>(&listen_at), sizeof listen_at) != 0) {
    std::fprintf(stderr, "delay_relay: cannot bind: %s\n", std::strerror(errno));
    return 1;
  }
  std::signal(SIGTERM, on_stop);
  std::signal(SIGINT, on_stop);
  std::printf("ready\n");
  std::fflush(stdout);

  const auto delay = std::chrono::milliseconds(delay_ms);
  const int poller = epoll_create1(EPOLL_CLOEXEC);
  epoll_event front_event{};
  front_event.events = EPOLLIN;
  front_event.data.ptr = nullptr;
  epoll_ctl(poller, EPOLL_CTL_ADD, front, &front_event);
  std::map<ClientKey, Upstream> upstreams;  // nodes stay put: epoll keeps their address
  std::deque<Held> held;  // due times in order: the delay is the same for all
  char buffer[65536];
  auto last_sweep = Clock::now();
  while (!g_stop) {
    int wait_ms = 500;
    if (!held.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          held.front().due - Clock::now() + std::chrono::microseconds(999));
      wait_ms = static_cast<int>(std::max<long>(0, std::min<long>(left.count(), 500)));
    }
    epoll_event ready[64];
    const int n = epoll_wait(poller, ready, 64, wait_ms);
    const auto now = Clock::now();
    for (int k = 0; k < n; ++k) {
      Upstream* from_agent = static_cast<Upstream*>(ready[k].data.ptr);
      if (from_agent != nullptr) {
        for (;;) {
          const ssize_t got = recv(from_agent->fd, buffer, sizeof buffer, 0);
          if (got < 0) break;
          held.push_back({now + delay, from_agent->client, std::string(buffer, static_cast<size_t>(got))});
        }
        continue;
      }
      for (;;) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t got = recvfrom(front, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
        if (got < 0) break;
        const ClientKey key{from.sin_addr.s_addr, from.sin_port};
        Upstream& up = upstreams[key];
        if (up.fd < 0) {
          up.fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
          epoll_event ev{};
          ev.events = EPOLLIN;
          ev.data.ptr = &up;
          if (up.fd < 0 || connect(up.fd, reinterpret_cast<sockaddr*>(&agent), sizeof agent) != 0 ||
              epoll_ctl(poller, EPOLL_CTL_ADD, up.fd, &ev) != 0) {
            if (up.fd >= 0) close(up.fd);
            upstreams.erase(key);
            continue;
          }
          up.client = from;
        }
        up.used = now;
        send(up.fd, buffer, static_cast<size_t>(got), 0);
      }
    }
    while (!held.empty() && held.front().due <= Clock::now()) {
      const Held& h = held.front();
      sendto(front, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&h.client), sizeof h.client);
      held.pop_front();
    }
    if (now - last_sweep > std::chrono::seconds(1)) {
      last_sweep = now;
      for (auto it = upstreams.begin(); it != upstreams.end();) {
        if (now - it->second.used > std::chrono::seconds(10)) {
          close(it->second.fd);  // also leaves the epoll set
          it = upstreams.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
  return 0;
}
