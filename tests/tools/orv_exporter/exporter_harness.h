// What the exporter tests share: the server on a loopback port of its own,
// a plain HTTP GET, and lookups in a text exposition.
#pragma once

#include <civetweb.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "exporter_server.h"
#include "support/lab.h"

namespace exporter_test {

struct HttpAnswer {
  int status = 0;
  std::string body;
};

// One GET on 127.0.0.1:port; status 0 when no connection was made.
inline HttpAnswer http_get(uint16_t port, const std::string& path,
                           const std::string& headers = {}) {
  char error[256] = "";
  mg_connection* connection =
      mg_download("127.0.0.1", port, 0, error, sizeof error,
                  "GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n%s\r\n", path.c_str(), headers.c_str());
  if (connection == nullptr) return {0, error};
  HttpAnswer answer{mg_get_response_info(connection)->status_code, {}};
  char buffer[4096];
  for (int n; (n = mg_read(connection, buffer, sizeof buffer)) > 0;) answer.body.append(buffer, n);
  mg_close_connection(connection);
  return answer;
}

inline orv_exporter::ServerOptions local_options() {
  orv_exporter::ServerOptions options;
  options.listen_address = "127.0.0.1:0";
  options.max_requests = 16;
  return options;
}

// The server on 127.0.0.1 at a port the system picks.
class RunningExporter {
 public:
  explicit RunningExporter(orv_exporter::Config config,
                           orv_exporter::ServerOptions options = local_options(),
                           orv_exporter::ConfigLoader loader = {})
      : server_(std::make_unique<orv_exporter::ExporterServer>(
            std::move(config), std::move(options), std::move(loader))) {
    std::string error;
    started_ = server_->start(error);
    EXPECT_TRUE(started_) << error;
  }
  ~RunningExporter() { server_->stop(); }
  HttpAnswer get(const std::string& path, const std::string& headers = {}) const {
    return http_get(server_->port(), path, headers);
  }
  uint16_t port() const { return server_->port(); }
  orv_exporter::ExporterServer& server() { return *server_; }

 private:
  std::unique_ptr<orv_exporter::ExporterServer> server_;
  bool started_ = false;
};

inline orv_exporter::Config config_from(const std::string& yaml) {
  std::string error;
  auto config = orv_exporter::parse_config(yaml, error);
  EXPECT_TRUE(config) << error;
  return config.value_or(orv_exporter::default_config());
}

// The value of the one sample of `name` whose labels include every
// `label="value"` of `labels`; nullopt when there is none.
inline std::optional<double> sample(const std::string& exposition, const std::string& name,
                                    const std::map<std::string, std::string>& labels = {}) {
  std::istringstream lines(exposition);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(name, 0) != 0) continue;
    const char next = line.size() > name.size() ? line[name.size()] : '\0';
    if (next != '{' && next != ' ') continue;
    const size_t value_at = line.rfind(' ');
    const std::string label_text = line.substr(name.size(), value_at - name.size());
    bool all = true;
    for (const auto& [key, value] : labels) {
      all = all && label_text.find(key + "=\"" + value + "\"") != std::string::npos;
    }
    if (all) return std::stod(line.substr(value_at + 1));
  }
  return std::nullopt;
}

// promtool's verdict on an exposition: empty when it passes.
inline std::string promtool_problems(const std::string& exposition) {
  char path[] = "/tmp/orv_exporter_test_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return "cannot write a temporary file";
  const bool written =
      write(fd, exposition.data(), exposition.size()) == static_cast<ssize_t>(exposition.size());
  close(fd);
  const auto result = orv::test::run({"sh", "-c", std::string("promtool check metrics < ") + path});
  unlink(path);
  if (!written) return "cannot write a temporary file";
  return result.exit_code == 0 ? std::string() : result.out + result.err;
}

}  // namespace exporter_test
