#include "support/prometheus_server.h"

#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/http_get.h"
#include "support/lab.h"

namespace orv::test {
namespace {

constexpr int kPollMs = 250;

}  // namespace

PrometheusServer::PrometheusServer(const PrometheusOptions& options)
    : server_({.name = "prometheus",
               .netns = options.netns,
               .ready_path = "/-/ready",
               .prepare =
                   [&](const std::string& dir) {
                     std::ofstream(dir + "/prometheus.yml")
                         << "global:\n  scrape_interval: " << options.scrape_interval
                         << "\n  evaluation_interval: " << options.scrape_interval
                         << "\nscrape_configs:\n" << options.scrape_configs << "\n";
                   },
               .argv = [](const std::string& dir, int port) -> std::vector<std::string> {
                 return {"prometheus", "--config.file=" + dir + "/prometheus.yml",
                         "--storage.tsdb.path=" + dir + "/data",
                         "--web.listen-address=127.0.0.1:" + std::to_string(port), "--log.level=warn"};
               }}) {}

nlohmann::json PrometheusServer::query(const std::string& expr) const {
  HttpResponse response;
  run_in_netns(server_.netns(), [&] {
    response = http_get("127.0.0.1", port(), "/api/v1/query?query=" + url_encode(expr), {}, 5000);
  });
  if (response.status != 200) {
    throw std::runtime_error("query " + expr + ": HTTP " + std::to_string(response.status) + " " +
                             response.error + response.body);
  }
  nlohmann::json doc = nlohmann::json::parse(response.body);
  if (doc.value("status", "") != "success") throw std::runtime_error("query " + expr + ": " + response.body);
  return doc["data"]["result"];
}

nlohmann::json PrometheusServer::wait_for(const std::string& expr,
                                          const std::function<bool(const nlohmann::json&)>& done,
                                          int timeout_ms) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  nlohmann::json result = query(expr);
  while (!done(result) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    result = query(expr);
  }
  return result;
}

}  // namespace orv::test
