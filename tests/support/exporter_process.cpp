#include "support/exporter_process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/lab.h"

namespace orv::test {
Exporter::Exporter(const ExporterOptions& options)
    : server_({.name = "exporter",
               .netns = options.netns,
               .env = options.env,
               // Not "/": the fleet page would search and probe the printers.
               .ready_path = "/metrics",
               .prepare =
                   [&](const std::string& dir) {
                     config_file_ = dir + "/orv_exporter.yml";
                     std::ofstream(config_file_) << options.config;
                   },
               .argv = [&](const std::string& dir, int port) {
                 std::vector<std::string> argv = {
                     options.program, "--web.listen-address=127.0.0.1:" + std::to_string(port),
                     "--config.file=" + dir + "/orv_exporter.yml", "--log.level=warn"};
                 if (options.max_requests > 0) {
                   argv.push_back("--web.max-requests=" + std::to_string(options.max_requests));
                 }
                 argv.insert(argv.end(), options.args.begin(), options.args.end());
                 return argv;
               }}) {}

HttpResponse Exporter::probe(const std::string& target, const std::string& scrape_timeout,
                                        int timeout_ms) const {
  std::vector<std::pair<std::string, std::string>> headers;
  if (!scrape_timeout.empty()) headers.emplace_back("X-Prometheus-Scrape-Timeout-Seconds", scrape_timeout);
  return http_get("127.0.0.1", port(), "/probe?target=" + url_encode(target), headers,
                             timeout_ms);
}

long Exporter::rss_kb() const {
  std::ifstream status("/proc/" + std::to_string(pid()) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

long Exporter::cpu_ticks() const { return process_cpu_ticks(pid()); }

long process_cpu_ticks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command's closing parenthesis; utime and stime are the
  // 14th and 15th of the whole line.
  std::istringstream rest(text.substr(text.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i >= 14) ticks += std::stol(field);
  }
  return ticks;
}

std::optional<double> sample(const std::string& exposition, const std::string& name,
                             const std::vector<std::string>& labels) {
  std::istringstream lines(exposition);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name, 0) != 0 || line.size() <= name.size()) continue;
    const char next = line[name.size()];
    if (next != '{' && next != ' ') continue;
    const size_t end = next == '{' ? line.rfind('}') : name.size();
    const std::string label_text = line.substr(name.size(), end - name.size());
    bool all = true;
    for (const auto& l : labels) all = all && label_text.find(l) != std::string::npos;
    if (all) return std::strtod(line.c_str() + end + 1, nullptr);
  }
  return std::nullopt;
}

std::string data_value(const std::string& printer, const std::string& oid) {
  std::ifstream in(data_file(printer));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(oid + "|", 0) == 0) return line.substr(line.find('|', oid.size() + 1) + 1);
  }
  throw std::runtime_error(printer + " has no " + oid);
}

}  // namespace orv::test
