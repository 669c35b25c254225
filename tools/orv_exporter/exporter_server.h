// The HTTP side: civetweb's worker threads answer /probe, /discover,
// /metrics, / and /printer, each request on its own thread, each probe on its own
// library handle.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "discovery_cache.h"
#include "exporter_config.h"
#include "exporter_metrics.h"
#include "http_request.h"
#include "page_cache.h"
#include "probe_runner.h"

struct mg_context;
struct mg_connection;

namespace orv_exporter {

inline constexpr const char* kVersion = ORV_EXPORTER_VERSION;  // the project's, from CMake
inline constexpr const char* kDefaultListenAddress = ":9470";
// Enough worker threads for a hundred probes at once and the odd /metrics.
inline constexpr int kDefaultMaxRequests = 128;

struct ServerOptions {
  std::string listen_address = kDefaultListenAddress;
  int max_requests = kDefaultMaxRequests;
};

struct Response {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
};

class ExporterServer {
 public:
  ExporterServer(Config config, ServerOptions options);
  ~ExporterServer();
  ExporterServer(const ExporterServer&) = delete;
  ExporterServer& operator=(const ExporterServer&) = delete;

  // Starts listening; false with the reason when it cannot.
  bool start(std::string& error);
  // The port it listens on (useful after asking for port 0); 0 before start.
  uint16_t port() const;
  // Stops serving and waits for every request and probe to end.
  void stop();

  // What a GET of `path` with `query` (as sent, still encoded) answers.
  Response answer(const std::string& path, const std::string& query,
                  const char* scrape_timeout_header);

 private:
  static int handle(mg_connection* connection, void* self);
  Response probe(const std::string& query, const char* scrape_timeout_header);
  Response discover();
  // The fleet page and a printer's page (fleet_routes.cpp).
  Response page(const std::string& path, const std::string& query);
  // A probe with `auth`'s credentials that ends by `deadline`, counted.
  ProbeData run_probe(const std::string& target, const Auth& auth, Clock::time_point deadline);

  Config config_;
  ServerOptions options_;
  ExporterMetrics metrics_;
  ModelBook models_;
  DiscoveryCache discovery_;
  std::unique_ptr<ProbeRunner> runner_;
  PageCache pages_;
  mg_context* context_ = nullptr;
};

}  // namespace orv_exporter
