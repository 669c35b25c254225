// A plain HTTP/1.1 GET for tests, on the calling thread's network namespace.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orv::test {

class ChildProcess;

struct HttpResponse {
  int status = 0;      // 0 when no answer came (see error)
  std::string body;
  std::string content_type;
  std::string error;
};

// host is an address text ("127.0.0.1"); headers are sent as given. The
// whole exchange is bounded by timeout_ms.
HttpResponse http_get(const std::string& host, int port, const std::string& path,
                      const std::vector<std::pair<std::string, std::string>>& headers = {},
                      int timeout_ms = 10000);

// Polls GET path on 127.0.0.1:port from the network namespace netns (empty:
// this one) until it answers 200 (true), the process has ended or timeout_ms
// have passed (false).
bool wait_for_http(ChildProcess& process, const std::string& netns, int port, const std::string& path,
                   int timeout_ms);

// Percent-encodes a query parameter value.
std::string url_encode(const std::string& text);

}  // namespace orv::test
