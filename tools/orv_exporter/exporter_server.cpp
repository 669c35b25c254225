#include "exporter_server.h"

#include <civetweb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "exporter_log.h"
#include "probe_metrics.h"

namespace orv_exporter {
namespace {

constexpr int kCivetwebIpv6Feature = 8;
constexpr const char* kTimeoutHeader = "X-Prometheus-Scrape-Timeout-Seconds";

Response text_response(int status, const std::string& text) {
  return {status, "text/plain; charset=utf-8", text + "\n"};
}

std::string auth_names(const Config& config) {
  std::string names;
  for (const Auth& auth : config.auths) names += (names.empty() ? "" : ", ") + auth.name;
  return names;
}

}  // namespace

ExporterServer::ExporterServer(Config config, ServerOptions options)
    : config_(std::move(config)),
      options_(std::move(options)),
      metrics_(kVersion),
      discovery_(
          config_, models_,
          [this](const std::vector<orvctl::FindOutcome>& outcomes) {
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
          }),
      runner_(std::make_unique<ProbeRunner>(models_)),
      pages_(config_.web.page_max_age, [this](const std::string& target, const std::string& auth) {
        const Auth* known = config_.find_auth(auth);
        return run_probe(target, known != nullptr ? *known : *config_.find_auth(""),
                         Clock::now() + config_.probe.timeout);
      }) {}

ExporterServer::~ExporterServer() { stop(); }

bool ExporterServer::start(std::string& error) {
  const bool have_ipv6 = mg_check_feature(kCivetwebIpv6Feature) != 0;
  const std::optional<std::string> ports = listening_ports(options_.listen_address, have_ipv6);
  if (!ports) {
    error = "--web.listen-address \"" + options_.listen_address +
            "\" is not [HOST]:PORT with a numeric host";
    return false;
  }
  const std::string threads = std::to_string(options_.max_requests);
  // No Nagle: an answer is complete when written, and a scraper that keeps
  // its connection must not wait for an acknowledgement to get its tail.
  const char* civet_options[] = {"listening_ports",   ports->c_str(), "num_threads",
                                 threads.c_str(),     "enable_keep_alive", "yes",
                                 "tcp_nodelay",       "1",            nullptr};
  mg_callbacks callbacks{};
  // civetweb's own complaints go to our log rather than to its error page only.
  callbacks.log_message = [](const mg_connection*, const char* message) {
    log(LogLevel::kDebug, message);
    return 1;
  };
  mg_init_library(0);
  context_ = mg_start(&callbacks, this, civet_options);
  if (context_ == nullptr) {
    mg_exit_library();
    error = "cannot listen on " + options_.listen_address;
    return false;
  }
  mg_set_request_handler(context_, "/", &ExporterServer::handle, this);
  return true;
}

uint16_t ExporterServer::port() const {
  if (context_ == nullptr) return 0;
  mg_server_port ports[4] = {};
  const int n = mg_get_server_ports(context_, 4, ports);
  return n > 0 ? static_cast<uint16_t>(ports[0].port) : 0;
}

void ExporterServer::stop() {
  if (context_ != nullptr) {
    mg_stop(context_);
    context_ = nullptr;
    mg_exit_library();
  }
  runner_.reset();
}

int ExporterServer::handle(mg_connection* connection, void* self) {
  auto* server = static_cast<ExporterServer*>(self);
  const mg_request_info* request = mg_get_request_info(connection);
  const std::string path = request->local_uri != nullptr ? request->local_uri : "";
  Response response;
  try {
    if (std::strcmp(request->request_method, "GET") != 0 &&
        std::strcmp(request->request_method, "HEAD") != 0) {
      response = text_response(405, "only GET is served");
    } else {
      response = server->answer(path, request->query_string ? request->query_string : "",
                                mg_get_header(connection, kTimeoutHeader));
    }
  } catch (const std::exception& e) {
    log(LogLevel::kError, "request failed", {{"path", path}, {"error", e.what()}});
    response = text_response(500, "internal error");
  }
  // The header is written here rather than by civetweb's header calls:
  // those add a Date line made with gmtime(), whose buffer the worker
  // threads would share. The length lets the scraper keep the connection.
  // Header and body leave in one write: as two, the body of an answer on a
  // kept connection can wait for the delayed acknowledgement of the header.
  std::string message = "HTTP/1.1 " + std::to_string(response.status) + " " +
                        mg_get_response_code_text(connection, response.status) +
                        "\r\nContent-Type: " + response.content_type +
                        "\r\nContent-Length: " + std::to_string(response.body.size()) +
                        "\r\nCache-Control: no-store\r\n\r\n";
  if (std::strcmp(request->request_method, "HEAD") != 0) message += response.body;
  mg_write(connection, message.data(), message.size());
  const bool known = path == "/" || path == "/probe" || path == "/discover" ||
                     path == "/metrics" || path == "/printer";
  server->metrics_.request(known ? path : "other", response.status);
  return response.status;
}

Response ExporterServer::answer(const std::string& path, const std::string& query,
                                const char* scrape_timeout_header) {
  if (path == "/probe") return probe(query, scrape_timeout_header);
  if (path == "/discover") return discover();
  if (path == "/metrics") return {200, kExpositionType, metrics_.exposition()};
  if (path == "/" || path == "/printer") return page(path, query);
  return text_response(404, "no such page; see /");
}

Response ExporterServer::probe(const std::string& query, const char* scrape_timeout_header) {
  const auto started = Clock::now();
  const std::optional<std::string> target = query_parameter(query, "target");
  if (!target || target->empty()) return text_response(400, "the target parameter is missing");
  const std::string auth_name = query_parameter(query, "auth").value_or("");
  const Auth* auth = config_.find_auth(auth_name);
  if (auth == nullptr) {
    return text_response(
        400, "unknown auth \"" + auth_name + "\"; the configuration names " + auth_names(config_));
  }
  const auto budget = probe_budget(scrape_timeout_header, config_.probe.timeout);
  ProbeData data = run_probe(bare_target(*target), *auth, started + budget);
  if (!data.refusal.empty()) return text_response(400, data.refusal);
  pages_.record(bare_target(*target), auth_name, data);
  if (data.open_result != ORV_OK) {
    log(LogLevel::kDebug, "probe failed",
        {{"target", *target},
         {"code", std::to_string(data.open_result)},
         {"reason", data.open_problem}});
  }
  return {200, kExpositionType, probe_exposition(data)};
}

ProbeData ExporterServer::run_probe(const std::string& target, const Auth& auth,
                                    Clock::time_point deadline) {
  orvctl::RequestSettings request = auth.request;
  request.retries = config_.probe.retries;
  metrics_.probe_started();
  ProbeData data = runner_->run(target, request, deadline, config_.targets);
  metrics_.probe_finished(data.open_result, data.duration_seconds);
  return data;
}

Response ExporterServer::discover() {
  return {200, "application/json", http_sd_json(discovery_.printers())};
}

}  // namespace orv_exporter
