#include "exporter_main.h"

#include <CLI/CLI.hpp>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "exporter_log.h"
#include "exporter_server.h"

namespace orv_exporter {
namespace {

constexpr int kExitConfig = 1;
constexpr int kMaxRequestsLimit = 4096;
constexpr unsigned kMaxConnectionsLimit = 1000000;
// What a shut-down grants the requests being answered beyond a probe's time-out.
constexpr std::chrono::seconds kShutdownMargin{2};

// The flags about the configuration file and the log beside the server's.
struct ConfigFlags {
  bool check = false;
  bool expand_environment = false;
  std::string log_format = "logfmt";
};

void add_config_flags(CLI::App& app, ConfigFlags& flags) {
  app.add_flag("--config.check", flags.check,
               "check the configuration file, say whether it is valid and exit (0 valid, 1 not)");
  app.add_flag("--config.expand-environment-variables", flags.expand_environment,
               "replace ${NAME} in the configuration file with the environment variable NAME "
               "(an unset one is an error; $$ is a dollar)");
  app.add_option("--log.format", flags.log_format, "logfmt or json")
      ->check(CLI::IsMember({"logfmt", "json"}))
      ->capture_default_str();
}

// The configuration from `path`; a missing file is fine only when it is the
// default one, which then means the built-in configuration.
std::optional<Config> load_config(const std::string& path, bool given, bool expand,
                                  std::string& error) {
  std::ifstream file(path);
  if (!file) {
    if (!given) return default_config();
    error = "cannot read " + path;
    return std::nullopt;
  }
  std::ostringstream read;
  read << file.rdbuf();
  std::optional<std::string> text = read.str();
  if (expand) text = expand_environment(*text, error);
  std::optional<Config> config;
  if (text) config = parse_config(*text, error);
  if (!config) error = path + ": " + error;
  return config;
}

// Blocks the stop and reload signals in every thread (threads started later
// inherit the mask), so that only the wait below receives them.
sigset_t stop_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  return set;
}

// Each connection is a descriptor: take every one the hard limit allows, as
// the soft limit (often 1024) would cap the connections far below
// --web.max-connections.
void raise_descriptor_limit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

// The HTTP server's own flags: connections, TLS and basic auth, probes at once.
void add_server_flags(CLI::App& app, ServerOptions& options, std::string& web_config_file) {
  app.add_option("--web.config.file", web_config_file,
                 "TLS and basic auth: tls_server_config (cert_file, key_file) and "
                 "basic_auth_users (bcrypt hashes)");
  app.add_option("--probe.max-concurrency", options.max_probes,
                 "probes answered at once, late ones included; beyond, 503")
      ->check(CLI::Range(1, kMaxRequestsLimit))
      ->capture_default_str();
  app.add_option("--web.max-connections", options.max_connections,
                 "connections held open at once")
      ->check(CLI::Range(1U, kMaxConnectionsLimit))
      ->capture_default_str();
  app.add_option("--web.max-connections-per-address", options.max_connections_per_address,
                 "connections from one client address; 0 for no limit of its own")
      ->check(CLI::Range(0U, kMaxConnectionsLimit))
      ->capture_default_str();
  app.add_option("--web.idle-timeout", options.idle_timeout_seconds,
                 "seconds after which a silent connection is closed")
      ->check(CLI::Range(1U, 86400U))
      ->capture_default_str();
}

// Waits for signals: SIGHUP reloads, SIGINT and SIGTERM end the wait.
int wait_for_stop(const sigset_t& signals, ExporterServer& server) {
  for (;;) {
    int signal = 0;
    sigwait(&signals, &signal);
    if (signal != SIGHUP) return signal;
    std::string error;
    server.reload(error);
  }
}

}  // namespace

int run_exporter(int argc, char** argv) {
  CLI::App app{"orv_exporter: serves printer status and supplies as Prometheus metrics"};
  ServerOptions options;
  std::string config_file = kDefaultConfigFile;
  std::string level = "info";
  app.set_version_flag("--version", std::string("orv_exporter ") + kVersion);
  app.add_option("--web.listen-address", options.listen_address,
                 "address to listen on: [HOST]:PORT, \":PORT\" for every address")
      ->capture_default_str();
  CLI::Option* config_option =
      app.add_option("--config.file", config_file,
                     "YAML configuration (auths, probe, discovery); without this flag a missing "
                     "default file means the built-in one (community \"public\")")
          ->capture_default_str();
  app.add_option("--web.max-requests", options.max_requests,
                 "requests served at once (each probe holds one)")
      ->check(CLI::Range(1, kMaxRequestsLimit))
      ->capture_default_str();
  app.add_option("--log.level", level, "debug, info, warn or error")
      ->check(CLI::IsMember({"debug", "info", "warn", "error"}))
      ->capture_default_str();
  ConfigFlags config_flags;
  add_config_flags(app, config_flags);
  std::string web_config_file;
  add_server_flags(app, options, web_config_file);
  CLI11_PARSE(app, argc, argv);
  set_log_level(*log_level_named(level));
  set_log_format(*log_format_named(config_flags.log_format));

  std::string error;
  const bool config_given = config_option->count() > 0;
  const bool expand = config_flags.expand_environment;
  std::optional<Config> config = load_config(config_file, config_given, expand, error);
  if (!config) {
    log(LogLevel::kError, "configuration refused", {{"error", error}});
    return kExitConfig;
  }
  if (!web_config_file.empty()) {
    std::optional<WebConfig> web = load_web_config(web_config_file, error);
    if (!web) {
      log(LogLevel::kError, "web configuration refused", {{"error", error}});
      return kExitConfig;
    }
    options.web = std::move(*web);
  }
  if (config_flags.check) {
    log(LogLevel::kInfo, "configuration is valid", {{"file", config_file}});
    return 0;
  }
  raise_descriptor_limit();
  const sigset_t signals = stop_signals();
  const std::chrono::milliseconds grace = config->probe.timeout + kShutdownMargin;
  ExporterServer server(std::move(*config), options, [=](std::string& reason) {
    return load_config(config_file, config_given, expand, reason);
  });
  if (!server.start(error)) {
    log(LogLevel::kError, "cannot start", {{"error", error}});
    return kExitConfig;
  }
  log(LogLevel::kInfo, "listening",
      {{"address", options.listen_address},
       {"port", std::to_string(server.port())},
       {"version", kVersion}});
  const int signal = wait_for_stop(signals, server);
  log(LogLevel::kInfo, "stopping", {{"signal", std::to_string(signal)}});
  server.shut_down(grace);
  return 0;
}

}  // namespace orv_exporter
