// The exporter's pages: a table of routes (/probe, /discover, /metrics, the
// fleet page / and /printer, /-/healthy, /-/ready, /-/reload) served by the
// event-driven HTTP server, each probe on its own library handle.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "discovery_cache.h"
#include "exporter_config.h"
#include "exporter_metrics.h"
#include "http_request.h"
#include "http_server.h"
#include "http_types.h"
#include "page_cache.h"
#include "probe_runner.h"
#include "web_config.h"

namespace orv_exporter {

inline constexpr const char* kVersion = ORV_EXPORTER_VERSION;  // the project's, from CMake
inline constexpr const char* kDefaultListenAddress = ":9470";
// Enough handler threads for a hundred probes at once and the odd /metrics.
inline constexpr int kDefaultMaxRequests = 128;
inline constexpr int kDefaultMaxProbes = 100;
inline constexpr int kReservedHandlers = 4;
// The longest auth name a probe may ask for.
inline constexpr size_t kMaxAuthName = 128;

struct ServerOptions {
  std::string listen_address = kDefaultListenAddress;
  int max_requests = kDefaultMaxRequests;  // requests answered at once
  int max_probes = kDefaultMaxProbes;      // probes at once; beyond, 503
  unsigned max_connections = 4096;
  unsigned max_connections_per_address = 0;
  unsigned idle_timeout_seconds = 60;
  WebConfig web;  // TLS and basic auth
};

// Reads the configuration again for a reload; nullopt and why when unusable.
using ConfigLoader = std::function<std::optional<Config>(std::string& error)>;

class ExporterServer {
 public:
  ExporterServer(Config config, ServerOptions options, ConfigLoader loader = {});
  ~ExporterServer();
  ExporterServer(const ExporterServer&) = delete;
  ExporterServer& operator=(const ExporterServer&) = delete;

  // Starts listening; false with the reason when it cannot.
  bool start(std::string& error);
  // The port it listens on (useful after asking for port 0); 0 before start.
  uint16_t port() const;
  // Loads the configuration again; a bad one leaves the current in place.
  bool reload(std::string& error);
  // Stops accepting, lets the requests being answered finish within
  // `grace`, then stops; /-/ready answers 503 from the start.
  void shut_down(std::chrono::milliseconds grace);
  // Stops serving and waits for every request and probe to end.
  void stop();

  // What the request is answered, as the server would send it.
  Response answer(const HttpRequest& request);

 private:
  // A configuration with what is built from it.
  struct Loaded {
    Loaded(Config c, ModelBook& models,
           std::function<void(const std::vector<orvctl::FindOutcome>&)> on_search)
        : config(std::move(c)), discovery(config, models, std::move(on_search)) {}
    Config config;
    DiscoveryCache discovery;
  };

  std::shared_ptr<Loaded> loaded() const;
  std::shared_ptr<Loaded> make_loaded(Config config);
  void searched(const std::vector<orvctl::FindOutcome>& outcomes);
  Response probe(const HttpRequest& request);
  Response discover();
  Response reload_page();
  // The fleet page and a printer's page (fleet_routes.cpp).
  Response page(const HttpRequest& request);
  // A probe with `auth`'s credentials that ends by `deadline`, counted; none
  // when every worker is busy.
  std::optional<ProbeData> run_probe(const std::string& target, const Auth& auth,
                                     const Config& config, Clock::time_point deadline);

  ServerOptions options_;
  ConfigLoader loader_;
  ExporterMetrics metrics_;
  ModelBook models_;
  mutable std::mutex loaded_mutex_;
  std::shared_ptr<Loaded> loaded_;
  std::unique_ptr<ProbeRunner> runner_;
  std::vector<Route> routes_;
  std::unique_ptr<HttpServer> http_;
  std::atomic<bool> ready_{false};
  PageCache pages_;
};

}  // namespace orv_exporter
