// A private Prometheus server for one test: its own configuration and
// storage in a temporary folder, listening on a free port of 127.0.0.1 (in a
// network namespace when one is given), ready before the constructor
// returns; stopped and its folder removed by the destructor.
//
//   PrometheusServer prometheus({.scrape_configs = R"(
//     - job_name: printers
//       static_configs: [{targets: ["127.0.0.1:9470"]}])"});
//   auto up = prometheus.wait_for("orv_up", [](const nlohmann::json& r) { return r.size() == 2; });
#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <string>

#include "support/server_process.h"

namespace orv::test {

struct PrometheusOptions {
  std::string scrape_configs;  // YAML list items under scrape_configs:
  std::string scrape_interval = "1s";
  std::string netns{};
};

class PrometheusServer {
 public:
  explicit PrometheusServer(const PrometheusOptions& options);

  int port() const { return server_.port(); }
  // The "result" array of an instant query; throws when the query fails.
  nlohmann::json query(const std::string& expr) const;
  // Polls the query (bounded) until done(result) holds; returns the last
  // result either way.
  nlohmann::json wait_for(const std::string& expr,
                          const std::function<bool(const nlohmann::json&)>& done,
                          int timeout_ms = 20000) const;
  // Its log, for failure messages.
  std::string log() const { return server_.log(); }

 private:
  ServerProcess server_;
};

}  // namespace orv::test
