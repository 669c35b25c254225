#include "http_types.h"

#include <strings.h>

#include <algorithm>

namespace orv_exporter {

std::vector<std::string> HttpRequest::parameters(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [key, value] : query) {
    if (key == name) values.push_back(value);
  }
  return values;
}

std::optional<std::string> HttpRequest::header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return std::nullopt;
}

Response text_response(int status, const std::string& text) {
  return {status, "text/plain; charset=utf-8", text + "\n", {}};
}

Response dispatch(const std::vector<Route>& routes, const HttpRequest& request) {
  const auto route = std::find_if(routes.begin(), routes.end(),
                                  [&](const Route& r) { return r.path == request.path; });
  if (route == routes.end()) return text_response(404, "no such page; see /");
  const std::string method = request.method == "HEAD" ? "GET" : request.method;
  if (std::find(route->methods.begin(), route->methods.end(), method) != route->methods.end()) {
    return route->handler(request);
  }
  std::string allow;
  for (const std::string& m : route->methods) {
    allow += (allow.empty() ? "" : ", ") + m + (m == "GET" ? ", HEAD" : "");
  }
  Response refused = text_response(405, "this page takes " + allow);
  refused.headers.emplace_back("Allow", allow);
  return refused;
}

}  // namespace orv_exporter
