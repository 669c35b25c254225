// Runs the installed orvctl as a separate process and reads its JSON.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "support/lab.h"

namespace orvctl_test {

// The supported family's sysObjectID prefix, as --filter takes it.
inline constexpr const char* kFamily = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6";

inline orv::test::RunResult orvctl(const std::vector<std::string>& args, int timeout_ms = 30000) {
  std::vector<std::string> argv = {ORVCTL_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  return orv::test::run(argv, timeout_ms);
}

// The argv prefix that runs orvctl inside a namespace of a virtual LAN.
inline std::vector<std::string> orvctl_argv(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {ORVCTL_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

// The whole standard output as one JSON document; a parse failure fails the
// test with the text that did not parse.
inline nlohmann::json parse_document(const orv::test::RunResult& result) {
  try {
    return nlohmann::json::parse(result.out);
  } catch (const nlohmann::json::exception& e) {
    ADD_FAILURE() << "not one JSON document (" << e.what() << "):\n" << result.out
                  << "\nstderr:\n" << result.err;
    return nlohmann::json();
  }
}

}  // namespace orvctl_test
