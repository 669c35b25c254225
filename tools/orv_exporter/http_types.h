// A request and its answer as the exporter's handlers see them, apart from
// the HTTP library: a route is a path, the methods it takes and a function.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orv_exporter {

using HttpFields = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string method;
  std::string path;
  HttpFields query;    // decoded, in the order sent, repeats kept
  HttpFields headers;  // as sent

  // Every value of the query parameter `name`.
  std::vector<std::string> parameters(const std::string& name) const;
  // The header `name` (any case); nullopt when absent.
  std::optional<std::string> header(const std::string& name) const;
};

struct Response {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
  HttpFields headers;  // added to the answer's own (Allow, Content-Encoding, ...)
};

using Handler = std::function<Response(const HttpRequest&)>;

struct Route {
  std::string path;
  std::vector<std::string> methods;  // GET also takes HEAD
  Handler handler;
};

// A plain text answer ending in a newline.
Response text_response(int status, const std::string& text);

// The route for the request's path and method: 404 for an unknown path, 405
// with Allow for a method the path does not take.
Response dispatch(const std::vector<Route>& routes, const HttpRequest& request);

}  // namespace orv_exporter
