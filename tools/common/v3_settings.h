// SNMPv3 user-based security on the command line: the --v3-* switches, the
// pass phrases from the environment, the checks made before any exchange and
// the record the library takes.
#pragma once

#include <orv/orv.h>

#include <CLI/CLI.hpp>

#include <cstddef>
#include <string>

namespace orvctl {

inline constexpr const char* kAuthPassVariable = "ORV_V3_AUTH_PASS";
inline constexpr const char* kPrivPassVariable = "ORV_V3_PRIV_PASS";
// The shortest pass phrase user-based security takes.
inline constexpr size_t kMinPassLength = 8;

struct V3Settings {
  std::string user;  // empty: SNMPv1 with a community, as without these switches
  std::string level = "noauth";  // noauth, auth or priv
  std::string auth = "sha";      // md5 or sha
  std::string priv = "aes";      // des or aes
  std::string auth_pass;
  std::string priv_pass;
  std::string context;

  bool enabled() const { return !user.empty(); }
};

// The --v3-* switches; a pass phrase given on the command line wins over the
// one in the environment.
void add_v3_arguments(CLI::App& sub, V3Settings& settings);

// Empty when the settings can be sent, else why not (a level without the
// pass phrase it needs, or with one shorter than 8 characters).
std::string v3_problem(const V3Settings& settings);

// The record for OrvInitDeviceEx / OrvFindDeviceSNMPEx; every text is
// bounded by its field (the switches refuse longer ones).
OrvUSMParameters usm_parameters(const V3Settings& settings);

}  // namespace orvctl
