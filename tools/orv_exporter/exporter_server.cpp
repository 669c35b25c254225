#include "exporter_server.h"

#include <algorithm>
#include <string>

#include "exporter_log.h"
#include "probe_metrics.h"

namespace orv_exporter {
namespace {

constexpr const char* kTimeoutHeader = "X-Prometheus-Scrape-Timeout-Seconds";

std::string auth_names(const Config& config) {
  std::string names;
  for (const Auth& auth : config.auths) names += (names.empty() ? "" : ", ") + auth.name;
  return names;
}

// Prometheus reads a service's health from these two words.
Response plain(const char* text) { return text_response(200, text); }

}  // namespace

ExporterServer::ExporterServer(Config config, ServerOptions options, ConfigLoader loader)
    : options_(std::move(options)),
      loader_(std::move(loader)),
      metrics_(kVersion),
      loaded_(make_loaded(std::move(config))),
      runner_(std::make_unique<ProbeRunner>(models_, static_cast<size_t>(options_.max_probes),
                                            [this] { metrics_.probe_outlived(); })),
      pages_(loaded_->config.web.page_max_age,
             [this](const std::string& target, const std::string& auth_name) {
               const std::shared_ptr<Loaded> loaded = this->loaded();
               const Config& config = loaded->config;
               const Auth* auth = config.find_auth(auth_name);
               std::optional<ProbeData> data =
                   run_probe(target, auth != nullptr ? *auth : *config.find_auth(""), config,
                             Clock::now() + config.probe.timeout);
               if (data) return std::move(*data);
               ProbeData busy;
               busy.open_result = ORV_ERR_TIMEOUT;
               busy.open_problem = "every probe worker is busy";
               return busy;
             }) {
  // A route is a line: path, methods, handler.
  routes_ = {
      {"/probe", {"GET"}, [this](const HttpRequest& r) { return probe(r); }},
      {"/discover", {"GET"}, [this](const HttpRequest&) { return discover(); }},
      {"/metrics", {"GET"},
       [this](const HttpRequest&) {
         return Response{200, kExpositionType, metrics_.exposition(), {}};
       }},
      {"/", {"GET"}, [this](const HttpRequest& r) { return page(r); }},
      {"/printer", {"GET"}, [this](const HttpRequest& r) { return page(r); }},
      {"/-/healthy", {"GET"}, [](const HttpRequest&) { return plain("Healthy"); }},
      {"/-/ready", {"GET"},
       [this](const HttpRequest&) {
         return ready_ ? plain("Ready") : text_response(503, "Not ready");
       }},
      {"/-/reload", {"POST", "PUT"}, [this](const HttpRequest&) { return reload_page(); }},
  };
}

ExporterServer::~ExporterServer() { stop(); }

std::shared_ptr<ExporterServer::Loaded> ExporterServer::make_loaded(Config config) {
  models_.set_max_age(config.probe.options_max_age);
  return std::make_shared<Loaded>(
      std::move(config), models_,
      [this](const std::vector<orvctl::FindOutcome>& outcomes) { searched(outcomes); });
}

std::shared_ptr<ExporterServer::Loaded> ExporterServer::loaded() const {
  std::lock_guard lock(loaded_mutex_);
  return loaded_;
}

void ExporterServer::searched(const std::vector<orvctl::FindOutcome>& outcomes) {
  size_t failed = 0;
  for (const auto& outcome : outcomes) {
    if (outcome.result == ORV_OK) continue;
    ++failed;
    log(LogLevel::kWarn, "discovery search failed",
        {{"destination", outcome.destination}, {"code", std::to_string(outcome.result)}});
  }
  const size_t found = orvctl::merge_printers(outcomes).size();
  metrics_.discovery_run(found, failed);
  log(LogLevel::kDebug, "discovery done", {{"printers", std::to_string(found)}});
}

bool ExporterServer::start(std::string& error) {
  Authorizer authorize;
  if (!options_.web.users.empty()) {
    authorize = [this](const std::string& user, const std::string& password) {
      return password_matches(options_.web, user, password);
    };
  }
  http_ = std::make_unique<HttpServer>([this](const HttpRequest& r) { return answer(r); },
                                       std::move(authorize));
  HttpServerSettings settings;
  settings.listen_address = options_.listen_address;
  // A few threads beyond the requests, so that /metrics and the health pages
  // find one while probes hold the rest.
  settings.handler_threads = options_.max_requests + kReservedHandlers;
  settings.max_connections = options_.max_connections;
  settings.max_connections_per_address = options_.max_connections_per_address;
  settings.idle_timeout_seconds = options_.idle_timeout_seconds;
  settings.tls_cert_pem = options_.web.cert_pem;
  settings.tls_key_pem = options_.web.key_pem;
  if (!http_->start(settings, error)) {
    http_.reset();
    return false;
  }
  ready_ = true;
  return true;
}

uint16_t ExporterServer::port() const { return http_ ? http_->port() : 0; }

bool ExporterServer::reload(std::string& error) {
  std::optional<Config> config;
  if (!loader_) {
    error = "the configuration was not read from a file";
  } else {
    config = loader_(error);
  }
  metrics_.reloaded(config.has_value());
  if (!config) {
    log(LogLevel::kError, "reload failed; the configuration in use is kept", {{"error", error}});
    return false;
  }
  std::shared_ptr<Loaded> fresh = make_loaded(std::move(*config));
  {
    std::lock_guard lock(loaded_mutex_);
    fresh->discovery.adopt(loaded_->discovery.last_printers());
    loaded_.swap(fresh);
  }
  log(LogLevel::kInfo, "configuration reloaded");
  return true;  // the old one goes when its last request ends
}

void ExporterServer::shut_down(std::chrono::milliseconds grace) {
  ready_ = false;
  if (http_) {
    http_->stop_accepting();
    if (!http_->drain(grace)) log(LogLevel::kWarn, "stopping with requests still open");
  }
  stop();
}

void ExporterServer::stop() {
  ready_ = false;
  if (http_) http_->stop();
  http_.reset();
  runner_.reset();
}

Response ExporterServer::answer(const HttpRequest& request) {
  Response response = dispatch(routes_, request);
  const bool known = std::any_of(routes_.begin(), routes_.end(),
                                 [&](const Route& r) { return r.path == request.path; });
  metrics_.request(known ? request.path : "other", response.status);
  return response;
}

Response ExporterServer::probe(const HttpRequest& request) {
  const auto started = Clock::now();
  const std::vector<std::string> targets = request.parameters("target");
  if (targets.size() > 1) return text_response(400, "the target parameter is given more than once");
  if (targets.empty() || targets.front().empty()) {
    return text_response(400, "the target parameter is missing");
  }
  const std::vector<std::string> auths = request.parameters("auth");
  if (auths.size() > 1) return text_response(400, "the auth parameter is given more than once");
  const std::string auth_name = auths.empty() ? "" : auths.front();
  if (auth_name.size() > kMaxAuthName) {
    return text_response(400, "the auth parameter is longer than " +
                                  std::to_string(kMaxAuthName) + " characters");
  }
  const std::shared_ptr<Loaded> loaded = this->loaded();
  const Config& config = loaded->config;
  const Auth* auth = config.find_auth(auth_name);
  if (auth == nullptr) {
    return text_response(
        400, "unknown auth \"" + auth_name + "\"; the configuration names " + auth_names(config));
  }
  const std::optional<std::string> header = request.header(kTimeoutHeader);
  const auto budget = probe_budget(header ? header->c_str() : nullptr, config.probe.timeout,
                                   config.probe.timeout);
  const std::string target = bare_target(targets.front());
  std::optional<ProbeData> data = run_probe(target, *auth, config, started + budget);
  if (!data) {
    Response busy = text_response(503, std::to_string(options_.max_probes) +
                                           " probes are running (--probe.max-concurrency)");
    busy.headers.emplace_back("Retry-After", "1");
    return busy;
  }
  if (!data->refusal.empty()) return text_response(400, data->refusal);
  pages_.record(target, auth_name, *data);
  if (data->open_result != ORV_OK) {
    log(LogLevel::kDebug, "probe failed",
        {{"target", targets.front()},
         {"code", std::to_string(data->open_result)},
         {"reason", data->open_problem}});
  }
  return {200, kExpositionType, probe_exposition(*data), {}};
}

std::optional<ProbeData> ExporterServer::run_probe(const std::string& target, const Auth& auth,
                                                   const Config& config,
                                                   Clock::time_point deadline) {
  orvctl::RequestSettings settings = auth.request;
  settings.retries = config.probe.retries;
  metrics_.probe_started();
  std::optional<ProbeData> data = runner_->try_run(target, settings, deadline, config.targets);
  if (!data) {
    metrics_.probe_refused();
    return std::nullopt;
  }
  metrics_.probe_finished(data->open_result, data->duration_seconds);
  return data;
}

Response ExporterServer::discover() {
  return {200, "application/json", http_sd_json(loaded()->discovery.printers()), {}};
}

Response ExporterServer::reload_page() {
  std::string error;
  if (!reload(error)) return text_response(500, "reload failed: " + error);
  return text_response(200, "configuration reloaded");
}

}  // namespace orv_exporter
