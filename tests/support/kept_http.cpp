#include "support/kept_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <strings.h>

namespace orv::test {
namespace {

using Clock = std::chrono::steady_clock;

// Everything readable now, without waiting; false when the peer closed.
bool drain(int fd, std::string& into) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      into.append(buffer, static_cast<size_t>(n));
      continue;
    }
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// The value of header `name` in the header block `head`, or "".
std::string header_value(const std::string& head, const char* name) {
  size_t line = head.find("\r\n");
  while (line != std::string::npos && line + 2 < head.size()) {
    const size_t start = line + 2;
    const size_t colon = head.find(':', start);
    line = head.find("\r\n", start);
    if (colon == std::string::npos || colon > line) continue;
    if (strncasecmp(head.c_str() + start, name, colon - start) == 0 && name[colon - start] == '\0') {
      const size_t value = head.find_first_not_of(' ', colon + 1);
      return head.substr(value, line - value);
    }
  }
  return {};
}

// The body of a chunked answer from `start` once `data` holds its last
// chunk; false while some is missing.
bool dechunk(const std::string& data, size_t start, std::string* body) {
  body->clear();
  for (size_t pos = start;;) {
    const size_t line = data.find("\r\n", pos);
    if (line == std::string::npos) return false;
    const size_t size = std::strtoul(data.c_str() + pos, nullptr, 16);
    if (data.size() < line + 2 + size + 2) return false;
    if (size == 0) return true;
    body->append(data, line + 2, size);
    pos = line + 2 + size + 2;
  }
}

// The answer once `data` holds all of it; false while some is missing.
bool complete(const std::string& data, HttpResponse& out) {
  const size_t end = data.find("\r\n\r\n");
  if (end == std::string::npos) return false;
  const std::string head = data.substr(0, end + 2);
  if (strcasecmp(header_value(head, "Transfer-Encoding").c_str(), "chunked") == 0) {
    if (!dechunk(data, end + 4, &out.body)) return false;
    out.status = std::atoi(head.c_str() + head.find(' ') + 1);
    out.content_type = header_value(head, "Content-Type");
    return true;
  }
  const size_t length = std::strtoul(header_value(head, "Content-Length").c_str(), nullptr, 10);
  if (data.size() < end + 4 + length) return false;
  out.status = std::atoi(head.c_str() + head.find(' ') + 1);
  out.content_type = header_value(head, "Content-Type");
  out.body = data.substr(end + 4, length);
  return true;
}

}  // namespace

KeptHttpConnection::KeptHttpConnection(const std::string& host, int port)
    : host_(host), port_(port) {
  connect_now();
}

void KeptHttpConnection::connect_now() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(static_cast<uint16_t>(port_));
  if (inet_pton(AF_INET, host_.c_str(), &server.sin_addr) != 1) {
    error_ = "not an IPv4 address: " + host_;
    return;
  }
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    close(fd_);
    fd_ = -1;
  }
  if (fd_ < 0) error_ = "cannot connect to " + host_ + ":" + std::to_string(port_);
}

// A server closes a connection that idled too long; like any HTTP client,
// this one then connects again.
bool KeptHttpConnection::closed_by_server() const {
  pollfd event{fd_, POLLIN | POLLRDHUP, 0};
  if (poll(&event, 1, 0) != 1) return false;
  char byte;
  return recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0;
}

KeptHttpConnection::~KeptHttpConnection() {
  if (fd_ >= 0) close(fd_);
}

HttpResponse KeptHttpConnection::get(const std::string& path,
                                     const std::vector<std::pair<std::string, std::string>>& headers,
                                     int timeout_ms) {
  HttpResponse response;
  came_whole_ = false;
  if (fd_ < 0 || closed_by_server()) connect_now();
  if (fd_ < 0) {
    response.error = error_;
    return response;
  }
  std::string request = "GET " + path + " HTTP/1.1\r\nHost: scrape\r\n";
  for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
  request += "\r\n";
  if (send(fd_, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
    response.error = "the request could not be sent";
    return response;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  std::string data;
  for (bool first = true;; first = false) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd readable{fd_, POLLIN, 0};
    if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) != 1) {
      response.error = "no whole answer in time";
      return response;
    }
    const bool open = drain(fd_, data);
    if (complete(data, response)) {
      came_whole_ = first;
      return response;
    }
    if (!open) {
      response.error = "the server closed the connection";
      return response;
    }
  }
}

}  // namespace orv::test
