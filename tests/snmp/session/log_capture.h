// Every log line of the process goes to one file for the whole test run;
// a capture reads what was written after it was made.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "orv/orv_log.hpp"

namespace orv::testing {

inline const std::string& session_log_path() {
  static const std::string path = [] {
    std::string p = "/tmp/orv-session-test-" + std::to_string(getpid()) + ".log";
    std::remove(p.c_str());
    orv::log::attach_file_log(p.c_str(), 64u << 20);
    orv::log::set_log_mask(orv::log::kMaskAll);
    std::atexit([] { std::remove(session_log_path().c_str()); });
    return p;
  }();
  return path;
}

class LogCapture {
 public:
  LogCapture() : start_(size_now()) {}

  std::string text() const {
    std::ifstream in(session_log_path(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start_));
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  bool has(const std::string& fragment) const { return text().find(fragment) != std::string::npos; }
  size_t count(const std::string& fragment) const {
    std::string all = text();
    size_t n = 0;
    for (size_t at = all.find(fragment); at != std::string::npos; at = all.find(fragment, at + 1)) ++n;
    return n;
  }

 private:
  static size_t size_now() {
    std::ifstream in(session_log_path(), std::ios::binary | std::ios::ate);
    return in ? static_cast<size_t>(in.tellg()) : 0;
  }
  size_t start_;
};

}  // namespace orv::testing
