// The HTTP side on an event loop (libmicrohttpd with epoll): one thread
// holds every connection, so idle or slow clients cost a socket and a small
// buffer each rather than a thread. A request whose headers are complete is
// handed to a fixed pool of handler threads and its connection suspended
// until the answer is ready, so a slow probe never holds up the loop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http_types.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace orv_exporter {

struct HttpServerSettings {
  std::string listen_address = ":9470";  // [HOST]:PORT, ":PORT" for every address
  int handler_threads = 128;
  unsigned max_connections = 4096;
  unsigned max_connections_per_address = 0;  // 0: no limit of its own
  unsigned idle_timeout_seconds = 60;        // a connection silent this long is closed
  std::string tls_cert_pem;                  // both empty: plain HTTP
  std::string tls_key_pem;
};

// Checks a basic-auth user and pass phrase; runs on a handler thread, so it
// may take the time a bcrypt hash needs.
using Authorizer = std::function<bool(const std::string& user, const std::string& password)>;

class HttpServer {
 public:
  // `serve` answers every request; with `authorize` set, a request without
  // credentials it accepts gets 401 instead.
  HttpServer(Handler serve, Authorizer authorize);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  bool start(const HttpServerSettings& settings, std::string& error);
  uint16_t port() const { return port_; }
  // Closes the listening socket: new connections are refused, the open ones
  // are still served.
  void stop_accepting();
  // Waits until every request taken has been answered, at most `grace`;
  // false when some were still open then.
  bool drain(std::chrono::milliseconds grace);
  // Finishes the requests being answered and closes every connection.
  void stop();

  struct Pending;

 private:
  friend struct HttpServerCallbacks;
  void work();

  Handler serve_;
  Authorizer authorize_;
  std::string tls_cert_;  // libmicrohttpd keeps pointers to these
  std::string tls_key_;
  MHD_Daemon* daemon_ = nullptr;
  uint16_t port_ = 0;
  bool accepting_ = false;

  std::mutex mutex_;
  std::condition_variable queued_cv_;
  std::condition_variable answered_cv_;
  std::deque<std::shared_ptr<Pending>> queue_;
  size_t open_requests_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace orv_exporter
