#include "support/prometheus_server.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/http_get.h"
#include "support/lab.h"

namespace orv::test {
namespace {

constexpr int kReadyTimeoutMs = 30000;
constexpr int kPollMs = 250;

}  // namespace

PrometheusServer::PrometheusServer(const PrometheusOptions& options) : netns_(options.netns) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orv-prometheus-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  std::ofstream(dir_ + "/prometheus.yml") << "global:\n  scrape_interval: " << options.scrape_interval
                                          << "\n  evaluation_interval: " << options.scrape_interval
                                          << "\nscrape_configs:\n" << options.scrape_configs << "\n";
  run_in_netns(netns_, [&] { port_ = free_tcp_port(); });
  process_ = std::make_unique<ChildProcess>(ChildOptions{
      .argv = {"prometheus", "--config.file=" + dir_ + "/prometheus.yml",
               "--storage.tsdb.path=" + dir_ + "/data",
               "--web.listen-address=127.0.0.1:" + std::to_string(port_), "--log.level=warn"},
      .netns = netns_,
      .log_path = dir_ + "/prometheus.log"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
  bool ready = false;
  while (!ready && process_->running() && std::chrono::steady_clock::now() < deadline) {
    run_in_netns(netns_, [&] { ready = http_get("127.0.0.1", port_, "/-/ready", {}, 1000).status == 200; });
    if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!ready) {
    const std::string why = log();
    process_.reset();
    std::filesystem::remove_all(dir_);
    throw std::runtime_error("prometheus did not become ready:\n" + why);
  }
}

PrometheusServer::~PrometheusServer() {
  process_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

nlohmann::json PrometheusServer::query(const std::string& expr) const {
  HttpResponse response;
  run_in_netns(netns_, [&] {
    response = http_get("127.0.0.1", port_, "/api/v1/query?query=" + url_encode(expr), {}, 5000);
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
