#include "exporter_config.h"

#include <arpa/inet.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <set>

namespace orv_exporter {
namespace {

constexpr const char* kDefaultAuth = "public";
constexpr uint32_t kMaxRetries = 100;
// The longest security name the library accepts.
constexpr size_t kMaxUserLength = 32;

// A failed check: the message names the place in the file.
struct Invalid {
  std::string message;
};

std::string where(const YAML::Node& node) {
  const YAML::Mark mark = node.Mark();
  if (mark.is_null()) return {};
  return " (line " + std::to_string(mark.line + 1) + ")";
}

[[noreturn]] void fail(const YAML::Node& node, const std::string& what) {
  throw Invalid{what + where(node)};
}

void only_keys(const YAML::Node& map, const std::string& section,
               std::initializer_list<const char*> allowed) {
  if (!map.IsMap()) fail(map, section + " must be a mapping");
  std::set<std::string> seen;
  for (const auto& entry : map) {
    const std::string key = entry.first.as<std::string>();
    if (!seen.insert(key).second)
      fail(entry.first, "key \"" + key + "\" is given twice in " + section);
    if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; })) {
      fail(entry.first, "unknown key \"" + key + "\" in " + section);
    }
  }
}

std::string text(const YAML::Node& node, const std::string& what) {
  if (!node.IsScalar()) fail(node, what + " must be a text");
  return node.as<std::string>();
}

std::string bounded_text(const YAML::Node& node, const std::string& what, size_t max) {
  std::string value = text(node, what);
  if (value.size() > max) {
    fail(node, what + " is at most " + std::to_string(max) + " characters");
  }
  return value;
}

Milliseconds duration(const YAML::Node& node, const std::string& what) {
  const auto value = parse_duration(text(node, what));
  if (!value) fail(node, what + " must be a duration such as 10s, 500ms or 5m");
  return *value;
}

// One of `names` (compared without case); its position.
template <size_t N>
size_t choice(const YAML::Node& node, const std::string& what,
              const std::array<const char*, N>& names) {
  std::string value = text(node, what);
  std::string lower = value;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  for (size_t i = 0; i < N; ++i) {
    std::string name = names[i];
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (lower == name) return i;
  }
  std::string list;
  for (const char* name : names) list += (list.empty() ? "" : ", ") + std::string(name);
  fail(node, what + " \"" + value + "\" is none of " + list);
}

// The file's words with the values the tools' SNMPv3 settings use.
constexpr std::array<const char*, 3> kLevels = {"noAuthNoPriv", "authNoPriv", "authPriv"};
constexpr std::array<const char*, 3> kLevelValues = {"noauth", "auth", "priv"};
constexpr std::array<const char*, 2> kAuthProtocols = {"MD5", "SHA"};
constexpr std::array<const char*, 2> kAuthValues = {"md5", "sha"};
constexpr std::array<const char*, 2> kPrivProtocols = {"DES", "AES"};
constexpr std::array<const char*, 2> kPrivValues = {"des", "aes"};
constexpr std::array<const char*, 4> kVersions = {"1", "2", "2c", "3"};

// Net-SNMP derives no key from a pass phrase shorter than 8 characters, and
// a pass phrase without a level would silently go unused.
constexpr size_t kMinPassPhrase = 8;

void check_pass_phrases(const YAML::Node& node, const std::string& what) {
  for (const char* key : {"auth_password", "priv_password"}) {
    if (!node[key]) continue;
    if (!node["security_level"]) fail(node[key], what + ": " + key + " needs security_level");
    if (node[key].as<std::string>().size() < kMinPassPhrase) {
      fail(node[key], what + ": " + key + " has fewer than " + std::to_string(kMinPassPhrase) +
                          " characters");
    }
  }
}

Auth parse_auth(const std::string& name, const YAML::Node& node) {
  const std::string what = "auth \"" + name + "\"";
  if (node.IsNull()) fail(node, what + " is empty");
  only_keys(node, what,
            {"version", "community", "username", "security_level", "auth_protocol", "auth_password",
             "priv_protocol", "priv_password", "context_name"});
  Auth auth{name, {}};
  const bool v3 = node["version"] && choice(node["version"], what + ": version", kVersions) == 3;
  if (!v3) {
    for (const char* key : {"username", "security_level", "auth_protocol", "auth_password",
                            "priv_protocol", "priv_password", "context_name"}) {
      if (node[key]) fail(node[key], what + ": " + key + " needs version: 3");
    }
    if (!node["community"]) fail(node, what + " needs a community (or version: 3 and a username)");
    auth.request.community =
        bounded_text(node["community"], what + ": community", ORV_COMMUNITY_SIZE - 1);
    if (auth.request.community.empty()) fail(node["community"], what + ": community is empty");
    // SNMPv2c has GETBULK: a table then takes one exchange, not one a row.
    if (node["version"] && choice(node["version"], what + ": version", kVersions) != 0) {
      auth.request.bulk_repetitions = kBulkRepetitions;
    }
    return auth;
  }
  if (node["community"]) fail(node["community"], what + ": a community is for versions 1 and 2c");
  orvctl::V3Settings& v3s = auth.request.v3;
  auth.request.bulk_repetitions = kBulkRepetitions;
  const OrvUSMParameters record{};
  if (!node["username"]) fail(node, what + " needs a username");
  v3s.user = bounded_text(node["username"], what + ": username", kMaxUserLength);
  if (v3s.user.empty()) fail(node["username"], what + ": username is empty");
  if (node["security_level"]) {
    v3s.level = kLevelValues[choice(node["security_level"], what + ": security_level", kLevels)];
  }
  if (node["auth_protocol"]) {
    v3s.auth = kAuthValues[choice(node["auth_protocol"], what + ": auth_protocol", kAuthProtocols)];
  }
  if (node["priv_protocol"]) {
    v3s.priv = kPrivValues[choice(node["priv_protocol"], what + ": priv_protocol", kPrivProtocols)];
  }
  if (node["auth_password"]) {
    v3s.auth_pass = bounded_text(node["auth_password"], what + ": auth_password",
                                 sizeof record.auth_pass_phrase - 1);
  }
  if (node["priv_password"]) {
    v3s.priv_pass = bounded_text(node["priv_password"], what + ": priv_password",
                                 sizeof record.priv_pass_phrase - 1);
  }
  if (node["context_name"]) {
    v3s.context =
        bounded_text(node["context_name"], what + ": context_name", sizeof record.context_name - 1);
  }
  check_pass_phrases(node, what);
  if (v3s.level != "noauth" && v3s.auth_pass.empty()) {
    fail(node, what + ": security_level " + kLevels[v3s.level == "auth" ? 1 : 2] +
                   " needs auth_password");
  }
  if (v3s.level == "priv" && v3s.priv_pass.empty()) {
    fail(node, what + ": security_level authPriv needs priv_password");
  }
  return auth;
}

bool is_address(const std::string& text) {
  unsigned char bytes[16];
  if (inet_pton(AF_INET, text.c_str(), bytes) == 1) return true;
  // A scope ("ff02::1%2") is the library's; only the address part is checked.
  const std::string bare = text.substr(0, text.find('%'));
  return inet_pton(AF_INET6, bare.c_str(), bytes) == 1;
}

void parse_probe(const YAML::Node& node, ProbeSettings& probe) {
  only_keys(node, "probe", {"timeout", "retries", "options_max_age"});
  if (node["timeout"]) probe.timeout = duration(node["timeout"], "probe: timeout");
  if (node["options_max_age"]) {
    probe.options_max_age = duration(node["options_max_age"], "probe: options_max_age");
  }
  if (node["retries"]) {
    const YAML::Node& retries = node["retries"];
    long value = -1;
    if (!retries.IsScalar() || !YAML::convert<long>::decode(retries, value) || value < 0 ||
        value > static_cast<long>(kMaxRetries)) {
      fail(retries, "probe: retries must be a number from 0 to " + std::to_string(kMaxRetries));
    }
    probe.retries = static_cast<uint32_t>(value);
  }
}

void parse_discovery(const YAML::Node& node, DiscoverySettings& discovery) {
  only_keys(node, "discovery", {"interval", "timeout", "auth", "addresses", "ipv6", "retention"});
  if (node["interval"]) discovery.interval = duration(node["interval"], "discovery: interval");
  if (node["retention"]) discovery.retention = duration(node["retention"], "discovery: retention");
  if (node["timeout"]) discovery.timeout = duration(node["timeout"], "discovery: timeout");
  if (node["auth"]) discovery.auth = text(node["auth"], "discovery: auth");
  if (node["ipv6"]) {
    bool value = false;
    if (!node["ipv6"].IsScalar() || !YAML::convert<bool>::decode(node["ipv6"], value)) {
      fail(node["ipv6"], "discovery: ipv6 must be true or false");
    }
    discovery.ipv6 = value;
  }
  if (const YAML::Node& list = node["addresses"]; list && !list.IsNull()) {
    if (!list.IsSequence()) fail(list, "discovery: addresses must be a list");
    for (const auto& item : list) {
      const std::string address = text(item, "discovery: an address");
      if (!is_address(address)) {
        fail(item, "discovery: \"" + address + "\" is not an IPv4 or IPv6 address");
      }
      discovery.addresses.push_back(address);
    }
  }
}

std::vector<Network> networks(const YAML::Node& list, const std::string& what) {
  std::vector<Network> out;
  if (!list || list.IsNull()) return out;
  if (!list.IsSequence()) fail(list, what + " must be a list");
  for (const auto& item : list) {
    const std::string value = text(item, what + ": a network");
    const std::optional<Network> network = parse_network(value);
    if (!network) fail(item, what + ": \"" + value + "\" is not an address or a network (CIDR)");
    out.push_back(*network);
  }
  return out;
}

void parse_targets(const YAML::Node& node, TargetRules& targets) {
  only_keys(node, "targets", {"allow", "deny"});
  targets.allow = networks(node["allow"], "targets: allow");
  targets.deny = networks(node["deny"], "targets: deny");
}

Config parse_document(const YAML::Node& root) {
  Config config = default_config();
  if (root.IsNull()) return config;
  only_keys(root, "the configuration", {"auths", "probe", "discovery", "targets", "web"});
  if (const YAML::Node& targets = root["targets"]) parse_targets(targets, config.targets);
  if (const YAML::Node& auths = root["auths"]) {
    if (!auths.IsMap() || auths.size() == 0) fail(auths, "auths must name at least one auth");
    config.auths.clear();
    std::set<std::string> names;
    for (const auto& entry : auths) {
      const std::string name = text(entry.first, "an auth name");
      if (name.empty()) fail(entry.first, "an auth name is empty");
      if (!names.insert(name).second) fail(entry.first, "auth \"" + name + "\" is given twice");
      config.auths.push_back(parse_auth(name, entry.second));
    }
  }
  if (const YAML::Node& probe = root["probe"]) parse_probe(probe, config.probe);
  if (const YAML::Node& discovery = root["discovery"]) {
    parse_discovery(discovery, config.discovery);
    if (config.find_auth(config.discovery.auth) == nullptr) {
      fail(discovery["auth"], "discovery: auth \"" + config.discovery.auth + "\" is not in auths");
    }
  }
  if (const YAML::Node& web = root["web"]) {
    only_keys(web, "web", {"page_max_age"});
    if (web["page_max_age"]) {
      config.web.page_max_age = duration(web["page_max_age"], "web: page_max_age");
    }
  }
  return config;
}

}  // namespace

const Auth* Config::find_auth(const std::string& name) const {
  const std::string wanted = name.empty() ? kDefaultAuth : name;
  for (const Auth& auth : auths) {
    if (auth.name == wanted) return &auth;
  }
  if (name.empty() && !auths.empty()) return &auths.front();
  return nullptr;
}

Config default_config() {
  Config config;
  Auth auth{kDefaultAuth, {}};
  auth.request.community = kDefaultAuth;
  config.auths.push_back(auth);
  return config;
}

std::optional<Config> parse_config(const std::string& text, std::string& error) {
  try {
    return parse_document(YAML::Load(text));
  } catch (const Invalid& invalid) {
    error = invalid.message;
  } catch (const YAML::Exception& e) {
    error = "not YAML: " + e.msg + " (line " + std::to_string(e.mark.line + 1) + ")";
  }
  return std::nullopt;
}

std::optional<std::string> expand_environment(const std::string& text, std::string& error) {
  std::string out;
  size_t line = 1;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n') ++line;
    if (text.compare(at, 2, "$$") == 0) {
      out += '$';
      ++at;
      continue;
    }
    const size_t end = text.compare(at, 2, "${") == 0 ? text.find('}', at) : std::string::npos;
    const std::string name = end == std::string::npos ? "" : text.substr(at + 2, end - at - 2);
    const bool is_name = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    });
    if (!is_name) {
      out += text[at];  // not a variable: the text stays
      continue;
    }
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
      error = "environment variable " + name + " is not set (line " + std::to_string(line) + ")";
      return std::nullopt;
    }
    out += value;
    at = end;
  }
  return out;
}

std::optional<Milliseconds> parse_duration(const std::string& text) {
  static constexpr std::pair<const char*, int64_t> kUnits[] = {
      {"ms", 1}, {"s", 1000}, {"m", 60000}, {"h", 3600000}, {"d", 86400000}};
  constexpr int64_t kLimit = int64_t{1} << 40;  // centuries; keeps the sums far from overflow
  int64_t total = 0;
  size_t at = 0;
  if (text.empty()) return std::nullopt;
  while (at < text.size()) {
    const size_t digits_end = text.find_first_not_of("0123456789", at);
    if (digits_end == at || digits_end == std::string::npos || digits_end - at > 9) {
      return std::nullopt;
    }
    const int64_t number = std::stoll(text.substr(at, digits_end - at));
    size_t unit_end = text.find_first_of("0123456789", digits_end);
    if (unit_end == std::string::npos) unit_end = text.size();
    const std::string unit = text.substr(digits_end, unit_end - digits_end);
    const auto found = std::find_if(std::begin(kUnits), std::end(kUnits),
                                    [&](const auto& u) { return unit == u.first; });
    if (found == std::end(kUnits)) return std::nullopt;
    total += number * found->second;
    if (total > kLimit) return std::nullopt;
    at = unit_end;
  }
  if (total == 0) return std::nullopt;
  return Milliseconds(total);
}

}  // namespace orv_exporter
