#include "exporter_main.h"

#include <CLI/CLI.hpp>
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

// Blocks the stop signals in every thread (threads started later inherit
// the mask), so that only the wait below receives them.
sigset_t stop_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  return set;
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
  CLI11_PARSE(app, argc, argv);
  set_log_level(*log_level_named(level));
  set_log_format(*log_format_named(config_flags.log_format));

  std::string error;
  std::optional<Config> config = load_config(config_file, config_option->count() > 0,
                                             config_flags.expand_environment, error);
  if (!config) {
    log(LogLevel::kError, "configuration refused", {{"error", error}});
    return kExitConfig;
  }
  if (config_flags.check) {
    log(LogLevel::kInfo, "configuration is valid", {{"file", config_file}});
    return 0;
  }
  const sigset_t signals = stop_signals();
  ExporterServer server(std::move(*config), options);
  if (!server.start(error)) {
    log(LogLevel::kError, "cannot start", {{"error", error}});
    return kExitConfig;
  }
  log(LogLevel::kInfo, "listening",
      {{"address", options.listen_address},
       {"port", std::to_string(server.port())},
       {"version", kVersion}});
  int signal = 0;
  sigwait(&signals, &signal);
  log(LogLevel::kInfo, "stopping", {{"signal", std::to_string(signal)}});
  server.stop();
  return 0;
}

}  // namespace orv_exporter
