// orv_exporter started as users start it, as a process of its own (in a
// network namespace when given), with a private configuration file; ready
// (answering HTTP) before the constructor returns.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/server_process.h"
#include "support/http_get.h"

namespace orv::test {

struct ExporterOptions {
  std::string program;  // the orv_exporter binary
  std::string config;   // YAML text of --config.file
  std::string netns{};
  int max_requests = 0;  // --web.max-requests; 0 leaves the default
  std::vector<std::string> env{};  // NAME=VALUE for the exporter's environment
  std::vector<std::string> args{};  // more flags
};

class Exporter {
 public:
  explicit Exporter(const ExporterOptions& options);

  int port() const { return server_.port(); }
  pid_t pid() const { return server_.process().pid(); }
  // GET /probe?target=TARGET; with the scraper's time-out header when
  // scrape_timeout is not empty. On the calling thread's namespace.
  HttpResponse probe(const std::string& target, const std::string& scrape_timeout = {},
                                int timeout_ms = 20000) const;
  // VmRSS of the process in kB; its user plus system CPU in clock ticks.
  long rss_kb() const;
  long cpu_ticks() const;
  // SIGTERM and how it ended: a sanitizer report makes that non-zero.
  ChildExit stop() { return server_.process().stop(); }
  std::string log() const { return server_.log(); }
  // The --config.file it was started with, to rewrite before a reload.
  const std::string& config_file() const { return config_file_; }

 private:
  std::string config_file_;  // set while server_ is made
  ServerProcess server_;
};

// User plus system CPU of process `pid` in clock ticks.
long process_cpu_ticks(pid_t pid);

// The first supply's level in the simulated printers' data files.
inline constexpr const char* kSupplyLevel = "1.3.6.1.2.1.43.11.1.1.9.1.1";

// The value of the first sample of `name` in a text exposition whose labels
// contain every label="value" pair in `labels`.
std::optional<double> sample(const std::string& exposition, const std::string& name,
                             const std::vector<std::string>& labels = {});

// The value of a data file's line for `oid`.
std::string data_value(const std::string& printer, const std::string& oid);

}  // namespace orv::test
