// The exporter's YAML configuration: named auths (a community or an SNMPv3
// user), how a probe talks to a printer and how /discover searches.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "printer_session.h"
#include "target_rules.h"

namespace orv_exporter {

using Milliseconds = std::chrono::milliseconds;

struct Auth {
  std::string name;
  // community or v3 user; the time-out, retries and family are the probe's.
  orvctl::RequestSettings request;
};

// Rows a bulk walk of a version 2c or 3 auth asks at once.
inline constexpr uint32_t kBulkRepetitions = 25;

struct ProbeSettings {
  Milliseconds timeout{10000};  // when the scraper sends no time-out of its own
  uint32_t retries = 1;
  // How long a printer's options and model are kept before a probe reads
  // them again (also sooner, when the printer restarted).
  Milliseconds options_max_age{3600000};
};

struct DiscoverySettings {
  Milliseconds interval{300000};       // lifetime of a /discover answer
  Milliseconds timeout{1000};          // how long each search waits for answers
  std::string auth;                    // empty: the default auth
  std::vector<std::string> addresses;  // empty: every local network
  bool ipv6 = false;
  // How long a printer stays listed after the last search that found it.
  Milliseconds retention{86400000};
};

struct WebSettings {
  Milliseconds page_max_age{60000};  // how old a reading the fleet page may show
};

struct Config {
  std::vector<Auth> auths;  // in file order; never empty once loaded
  ProbeSettings probe;
  DiscoverySettings discovery;
  TargetRules targets;
  WebSettings web;

  // The auth named `name`, or the default one for an empty name (the one
  // named "public", else the first); nullptr for an unknown name.
  const Auth* find_auth(const std::string& name) const;
};

// The configuration without a file: one auth "public" with community "public".
Config default_config();

// Parses and checks YAML text. On a problem returns nullopt and says what and
// where in `error`.
std::optional<Config> parse_config(const std::string& text, std::string& error);

// `text` with each ${NAME} replaced by the environment variable's value and
// $$ by $, for secrets kept out of the file. nullopt,
// with the variable and its line in `error`, when one is not set.
std::optional<std::string> expand_environment(const std::string& text, std::string& error);

// "10s", "500ms", "5m", "1h30m": a Prometheus-style duration; nullopt for
// anything else (a bare number included) or a zero duration.
std::optional<Milliseconds> parse_duration(const std::string& text);

}  // namespace orv_exporter
