#include "process_metrics.h"

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

namespace orv_exporter {
namespace {

prometheus::MetricFamily one_value(const char* name, const char* help,
                                   prometheus::MetricType type, double value) {
  prometheus::ClientMetric metric;
  if (type == prometheus::MetricType::Counter) {
    metric.counter.value = value;
  } else {
    metric.gauge.value = value;
  }
  return {name, help, type, {metric}};
}

size_t open_descriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return 0;
  size_t count = 0;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(dir);
  return count > 0 ? count - 1 : 0;  // less the one reading the folder
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Taken when the program is loaded: the start time where /proc/stat is
// hidden (a unit with ProcSubset=pid).
const double loaded_at = wall_seconds();

// Seconds since the epoch at which the process started.
double start_time(double ticks_since_boot, double ticks_per_second) {
  std::ifstream stat("/proc/stat");
  for (std::string line; std::getline(stat, line);) {
    if (line.rfind("btime ", 0) == 0) {
      return std::stod(line.substr(6)) + ticks_since_boot / ticks_per_second;
    }
  }
  return loaded_at;
}

}  // namespace

std::vector<prometheus::MetricFamily> process_families() {
  std::ifstream file("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // Fields after the command name, which is in parentheses and may hold spaces.
  const size_t after_name = stat.rfind(')');
  if (after_name == std::string::npos) return {};
  std::istringstream fields(stat.substr(after_name + 2));
  std::string field[22];
  for (std::string& f : field) fields >> f;
  // field[0] is the state (stat's third field): utime is [11], stime [12],
  // starttime [19], vsize [20], rss [21].
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  const double page = static_cast<double>(sysconf(_SC_PAGESIZE));
  const double cpu = (std::stod(field[11]) + std::stod(field[12])) / ticks;
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  using prometheus::MetricType;
  return {
      one_value("process_cpu_seconds_total", "Total user and system CPU time spent in seconds.",
                MetricType::Counter, cpu),
      one_value("process_resident_memory_bytes", "Resident memory size in bytes.",
                MetricType::Gauge, std::stod(field[21]) * page),
      one_value("process_virtual_memory_bytes", "Virtual memory size in bytes.",
                MetricType::Gauge, std::stod(field[20])),
      one_value("process_open_fds", "Number of open file descriptors.", MetricType::Gauge,
                static_cast<double>(open_descriptors())),
      one_value("process_max_fds", "Maximum number of open file descriptors.", MetricType::Gauge,
                static_cast<double>(limit.rlim_cur)),
      one_value("process_start_time_seconds",
                "Start time of the process since unix epoch in seconds.", MetricType::Gauge,
                start_time(std::stod(field[19]), ticks)),
  };
}

}  // namespace orv_exporter
