#include "web_config.h"

#include <crypt.h>
#include <yaml-cpp/yaml.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace orv_exporter {
namespace {

struct Refused {
  std::string message;
};

std::string line_of(const YAML::Node& node) {
  return node.Mark().is_null() ? "" : " (line " + std::to_string(node.Mark().line + 1) + ")";
}

void keys_among(const YAML::Node& map, const char* section,
                std::initializer_list<const char*> allowed) {
  if (!map.IsMap()) throw Refused{std::string(section) + " must be a mapping" + line_of(map)};
  for (const auto& entry : map) {
    const std::string key = entry.first.as<std::string>();
    bool known = false;
    for (const char* a : allowed) known = known || key == a;
    if (!known) {
      throw Refused{"unknown key \"" + key + "\" in " + section + line_of(entry.first)};
    }
  }
}

std::string file_text(const std::string& folder, const std::string& name) {
  const std::string path = name.empty() || name.front() == '/' ? name : folder + name;
  std::ifstream file(path);
  if (!file) throw Refused{"cannot read " + path};
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool is_bcrypt(const std::string& hash) {
  return hash.size() == 60 &&
         (hash.rfind("$2a$", 0) == 0 || hash.rfind("$2b$", 0) == 0 || hash.rfind("$2y$", 0) == 0);
}

bool same_text(const std::string& a, const char* b) {
  const std::string other = b != nullptr ? b : "";
  if (a.size() != other.size()) return false;
  unsigned char differ = 0;
  for (size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ other[i]);
  return differ == 0;
}

// A valid hash of nothing anyone knows, to spend the same time on an
// unknown user as on a known one.
const std::string& stand_in_hash() {
  static const std::string hash = [] {
    char salt[CRYPT_GENSALT_OUTPUT_SIZE];
    if (crypt_gensalt_rn("$2b$", 10, nullptr, 0, salt, sizeof salt) == nullptr) return std::string();
    auto data = std::make_unique<crypt_data>();
    const char* made = crypt_rn("unknown user", salt, data.get(), sizeof *data);
    return std::string(made != nullptr ? made : "");
  }();
  return hash;
}

}  // namespace

std::optional<WebConfig> load_web_config(const std::string& path, std::string& error) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  try {
    const YAML::Node root = YAML::LoadFile(path);
    WebConfig config;
    if (!root || root.IsNull()) return config;
    keys_among(root, "the web configuration", {"tls_server_config", "basic_auth_users"});
    if (const YAML::Node tls = root["tls_server_config"]) {
      keys_among(tls, "tls_server_config", {"cert_file", "key_file"});
      if (!tls["cert_file"] || !tls["key_file"]) {
        throw Refused{"tls_server_config needs both cert_file and key_file" + line_of(tls)};
      }
      config.cert_pem = file_text(folder, tls["cert_file"].as<std::string>());
      config.key_pem = file_text(folder, tls["key_file"].as<std::string>());
    }
    if (const YAML::Node users = root["basic_auth_users"]) {
      if (!users.IsMap()) throw Refused{"basic_auth_users must be a mapping" + line_of(users)};
      for (const auto& entry : users) {
        const std::string hash = entry.second.as<std::string>();
        if (!is_bcrypt(hash)) {
          throw Refused{"the password of \"" + entry.first.as<std::string>() +
                        "\" is not a bcrypt hash" + line_of(entry.second)};
        }
        config.users[entry.first.as<std::string>()] = hash;
      }
    }
    return config;
  } catch (const Refused& refused) {
    error = path + ": " + refused.message;
  } catch (const YAML::Exception& e) {
    error = path + ": " + e.what();
  }
  return std::nullopt;
}

bool password_matches(const WebConfig& config, const std::string& user,
                      const std::string& password) {
  const auto found = config.users.find(user);
  const std::string& hash = found != config.users.end() ? found->second : stand_in_hash();
  auto data = std::make_unique<crypt_data>();
  const char* made = crypt_rn(password.c_str(), hash.c_str(), data.get(), sizeof *data);
  return same_text(hash, made) && found != config.users.end();
}

}  // namespace orv_exporter
