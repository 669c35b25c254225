// What the "snmp" log category writes while a test runs: one file for the
// process, a capture reads the lines written after it was made.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "orv/orv_log.hpp"

namespace orv::testing {

// The lines the "snmp" category writes while an object of this class lives.
class SnmpLogCapture {
 public:
  // `mask`: the levels written meanwhile (a long exchange at every level
  // would pass the file's size limit).
  explicit SnmpLogCapture(uint32_t mask = log::kMaskAll) {
    static const std::string path = "/tmp/orv-snmp-log-test-" + std::to_string(::getpid()) + ".log";
    static const bool attached = [] {
      log::attach_file_log(path.c_str());
      std::atexit([] { std::remove(path.c_str()); std::remove((path + ".bak").c_str()); });
      return true;
    }();
    (void)attached;
    log::set_category_log_mask("snmp", mask);
    path_ = path;
    start_ = size();
  }
  // Everything written since construction.
  std::string text() const {
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start_));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A line of category "snmp" at `level` ("Error", "Info ") with `message`.
  bool has(const char* level, const std::string& message) const {
    std::istringstream lines(text());
    std::string line;
    while (std::getline(lines, line))
      if (line.find(", snmp ") != std::string::npos &&
          line.find(", " + std::string(level) + ", ") != std::string::npos &&
          line.size() >= message.size() && line.compare(line.size() - message.size(), message.size(), message) == 0)
        return true;
    return false;
  }
  bool empty() const { return text().empty(); }

 private:
  size_t size() const {
    std::ifstream in(path_, std::ios::binary | std::ios::ate);
    return in ? static_cast<size_t>(in.tellg()) : 0;
  }
  std::string path_;
  size_t start_ = 0;
};

}  // namespace orv::testing
