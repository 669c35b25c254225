#include "v3_settings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace orvctl {
namespace {

struct Named {
  const char* name;
  int32_t value;  // as the library numbers it
};
constexpr std::array kLevels = {Named{"noauth", 0}, Named{"auth", 1}, Named{"priv", 2}};
constexpr std::array kAuthProtocols = {Named{"md5", 1}, Named{"sha", 2}};
constexpr std::array kPrivProtocols = {Named{"des", 1}, Named{"aes", 2}};
constexpr int32_t kLevelAuth = 1;
constexpr int32_t kLevelPriv = 2;

template <size_t N>
std::vector<std::string> names_of(const std::array<Named, N>& table) {
  std::vector<std::string> names;
  for (const Named& entry : table) names.emplace_back(entry.name);
  return names;
}

// Zero for a name outside the table (the option checks refuse those).
template <size_t N>
int32_t value_of(const std::array<Named, N>& table, const std::string& name) {
  for (const Named& entry : table) {
    if (name == entry.name) return entry.value;
  }
  return 0;
}

// The longest security name the library accepts.
constexpr size_t kMaxUserLength = 32;

CLI::Validator max_length(size_t limit, const std::string& what) {
  return CLI::Validator(
      [limit, what](std::string& text) -> std::string {
        if (text.size() > limit) {
          return what + " is at most " + std::to_string(limit) + " characters";
        }
        return {};
      },
      "");
}

template <size_t N>
void copy_bounded(char (&field)[N], const std::string& text) {
  const size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace

void add_v3_arguments(CLI::App& sub, V3Settings& settings) {
  OrvUSMParameters record{};
  CLI::Option* user =
      sub.add_option("--v3-user", settings.user,
                     "speak SNMPv3 as this user (user-based security) instead of SNMPv1")
          ->check(max_length(kMaxUserLength, "a user name"));
  sub.add_option("--v3-level", settings.level,
                 "SNMPv3 security level: noauth (default), auth (authenticated) or priv "
                 "(authenticated and encrypted)")
      ->check(CLI::IsMember(names_of(kLevels)))
      ->needs(user);
  sub.add_option("--v3-auth", settings.auth, "SNMPv3 authentication protocol: md5 or sha (default)")
      ->check(CLI::IsMember(names_of(kAuthProtocols)))
      ->needs(user);
  sub.add_option("--v3-priv", settings.priv, "SNMPv3 privacy protocol: des or aes (default)")
      ->check(CLI::IsMember(names_of(kPrivProtocols)))
      ->needs(user);
  // Pass phrases are read from the environment too, so that they need not
  // show in the process list; no needs(user) here, a set variable must not
  // break an SNMPv1 run.
  sub.add_option("--v3-auth-pass", settings.auth_pass,
                 std::string("SNMPv3 authentication pass phrase (or ") + kAuthPassVariable + ")")
      ->envname(kAuthPassVariable)
      ->check(max_length(sizeof record.auth_pass_phrase - 1, "a pass phrase"));
  sub.add_option("--v3-priv-pass", settings.priv_pass,
                 std::string("SNMPv3 privacy pass phrase (or ") + kPrivPassVariable + ")")
      ->envname(kPrivPassVariable)
      ->check(max_length(sizeof record.priv_pass_phrase - 1, "a pass phrase"));
  sub.add_option("--v3-context", settings.context,
                 "SNMPv3 context name (default: the agent's default context)")
      ->check(max_length(sizeof record.context_name - 1, "a context name"))
      ->needs(user);
  // Refused before any exchange, with the usage error's exit status.
  sub.parse_complete_callback([&settings] {
    const std::string problem = v3_problem(settings);
    if (!problem.empty()) throw CLI::ValidationError("--v3-level", problem);
  });
}

std::string v3_problem(const V3Settings& settings) {
  if (!settings.enabled()) return {};
  const int32_t level = value_of(kLevels, settings.level);
  if (level >= kLevelAuth && settings.auth_pass.empty()) {
    return std::string("this security level needs an authentication pass phrase: give "
                       "--v3-auth-pass or set ") +
           kAuthPassVariable;
  }
  if (level == kLevelPriv && settings.priv_pass.empty()) {
    return std::string("level priv needs a privacy pass phrase: give --v3-priv-pass or set ") +
           kPrivPassVariable;
  }
  // User-based security derives no key from a shorter one; the library would
  // only say that the arguments were refused.
  for (const auto& [used, pass, name] :
       {std::tuple{level >= kLevelAuth, &settings.auth_pass, "authentication"},
        std::tuple{level == kLevelPriv, &settings.priv_pass, "privacy"}}) {
    if (used && pass->size() < kMinPassLength) {
      return std::string("the SNMPv3 ") + name + " pass phrase has " + std::to_string(pass->size()) +
             " characters; it needs at least " + std::to_string(kMinPassLength);
    }
  }
  return {};
}

OrvUSMParameters usm_parameters(const V3Settings& settings) {
  OrvUSMParameters record{};
  copy_bounded(record.user_name, settings.user);
  record.security_level = value_of(kLevels, settings.level);
  // What the level does not use is not handed on.
  if (record.security_level >= kLevelAuth) {
    record.auth_protocol = value_of(kAuthProtocols, settings.auth);
    copy_bounded(record.auth_pass_phrase, settings.auth_pass);
  }
  if (record.security_level == kLevelPriv) {
    record.priv_protocol = value_of(kPrivProtocols, settings.priv);
    copy_bounded(record.priv_pass_phrase, settings.priv_pass);
  }
  copy_bounded(record.context_name, settings.context);
  return record;
}

}  // namespace orvctl
