#include "support/http_get.h"

#include <civetweb.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "support/child_process.h"
#include "support/lab.h"

namespace orv::test {
namespace {

struct ConnectionCloser {
  void operator()(mg_connection* c) const { mg_close_connection(c); }
};

void start_civetweb() {
  static std::once_flag once;
  std::call_once(once, [] { mg_init_library(0); });
}

}  // namespace

HttpResponse http_get(const std::string& host, int port, const std::string& path,
                      const std::vector<std::pair<std::string, std::string>>& headers,
                      int timeout_ms) {
  start_civetweb();
  HttpResponse response;
  char error[256] = {};
  std::unique_ptr<mg_connection, ConnectionCloser> conn(
      mg_connect_client(host.c_str(), port, 0, error, sizeof error));
  if (!conn) {
    response.error = error;
    return response;
  }
  std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + host + ":" + std::to_string(port) +
                        "\r\nConnection: close\r\n";
  for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
  request += "\r\n";
  if (mg_write(conn.get(), request.data(), request.size()) != static_cast<int>(request.size())) {
    response.error = "the request could not be sent";
    return response;
  }
  // The time-out given here also bounds each read of the body below.
  if (mg_get_response(conn.get(), error, sizeof error, timeout_ms) < 0) {
    response.error = error[0] != '\0' ? error : "no answer";
    return response;
  }
  const mg_response_info* info = mg_get_response_info(conn.get());
  response.status = info->status_code;
  for (int i = 0; i < info->num_headers; ++i) {
    if (mg_strcasecmp(info->http_headers[i].name, "Content-Type") == 0) {
      response.content_type = info->http_headers[i].value;
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  char buffer[8192];
  int got;
  while ((got = mg_read(conn.get(), buffer, sizeof buffer)) > 0) {
    response.body.append(buffer, static_cast<size_t>(got));
    if (std::chrono::steady_clock::now() > deadline) {
      response.error = "the body did not end in time";
      break;
    }
  }
  return response;
}

bool wait_for_http(ChildProcess& process, const std::string& netns, int port, const std::string& path,
                   int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  bool ready = false;
  while (!ready && process.running() && std::chrono::steady_clock::now() < deadline) {
    run_in_netns(netns, [&] { ready = http_get("127.0.0.1", port, path, {}, 1000).status == 200; });
    if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return ready;
}

std::string url_encode(const std::string& text) {
  std::string out(text.size() * 3 + 1, '\0');
  int n = mg_url_encode(text.c_str(), out.data(), out.size());
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

}  // namespace orv::test
