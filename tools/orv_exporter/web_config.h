// --web.config.file, in the format Prometheus' own exporters read: TLS from
// tls_server_config (cert_file, key_file) and basic_auth_users with bcrypt
// hashes.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace orv_exporter {

struct WebConfig {
  std::string cert_pem;  // both empty: plain HTTP
  std::string key_pem;
  std::map<std::string, std::string> users;  // name -> bcrypt hash; empty: no basic auth
};

// Reads and checks the file; relative file names are taken from its folder.
// nullopt with the reason in `error` when it is unusable.
std::optional<WebConfig> load_web_config(const std::string& path, std::string& error);

// Whether `password` matches the hash of `user` (false for an unknown user,
// after the same work, so that timing does not tell users apart).
bool password_matches(const WebConfig& config, const std::string& user,
                      const std::string& password);

}  // namespace orv_exporter
