// An HTTP/1.1 client connection kept open between requests, as Prometheus
// keeps its scrape connections (http_get closes after each answer).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/http_get.h"

namespace orv::test {

class KeptHttpConnection {
 public:
  // To host (an IPv4 address text) and port, on the calling thread's
  // network namespace; error() says why when no connection was made. A
  // connection the server has closed is made again at the next get().
  KeptHttpConnection(const std::string& host, int port);
  ~KeptHttpConnection();
  KeptHttpConnection(const KeptHttpConnection&) = delete;
  KeptHttpConnection& operator=(const KeptHttpConnection&) = delete;

  // GET path; the exchange is bounded by timeout_ms. The answer's length
  // must be given by Content-Length or come in chunks.
  HttpResponse get(const std::string& path,
                   const std::vector<std::pair<std::string, std::string>>& headers = {},
                   int timeout_ms = 10000);
  // Whether the whole of the last answer was there when its first bytes
  // arrived, rather than trickling in afterwards.
  bool last_came_whole() const { return came_whole_; }
  const std::string& error() const { return error_; }

 private:
  void connect_now();
  bool closed_by_server() const;

  std::string host_;
  int port_;
  int fd_ = -1;
  bool came_whole_ = false;
  std::string error_;
};

}  // namespace orv::test
