// The exporter's HTTP as curl sees it: headers, methods, parameters, TLS
// and basic auth from --web.config.file.
#include <crypt.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "exporter_harness.h"
#include "web_config.h"

namespace {

using exporter_test::RunningExporter;

// curl's status line and headers (-i) and body for one request.
std::string curl(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"curl", "-s", "-i", "--max-time", "5"};
  argv.insert(argv.end(), args.begin(), args.end());
  const auto result = orv::test::run(argv);
  return result.out;
}

TEST(ExporterHttp, HeadersMethodsAndParametersAsPrometheusUsersExpect) {
  ORV_REQUIRE_LAB(false, {"curl"});
  RunningExporter exporter(exporter_test::config_from(
      "auths:\n  public: {community: public}\nprobe: {timeout: 1s, retries: 0}\n"));
  const std::string base = "http://127.0.0.1:" + std::to_string(exporter.port());
  const std::string silent = orv::test::free_loopback_address();
  struct Case {
    std::string method;
    std::string path;
    std::string header;  // sent when not empty
    std::string expected_status;
    std::string expected_text;  // in the headers or the body
  };
  const Case cases[] = {
      {"GET", "/-/healthy", "", "200", "Date: "},
      {"GET", "/-/ready", "", "200", "Ready"},
      {"POST", "/metrics", "", "405", "Allow: GET, HEAD"},
      {"GET", "/-/reload", "", "405", "Allow: POST, PUT"},
      {"GET", "/probe?target=" + silent + "&target=198.18.0.1", "", "400", "more than once"},
      {"GET", "/probe?target=" + silent + "&auth=" + std::string(200, 'a'), "", "400",
       "longer than 128"},
      {"GET", "/probe?target=" + silent, "X-Prometheus-Scrape-Timeout-Seconds: 1e300", "200",
       "orv_up"},
      {"GET", "/metrics", "", "200", "orv_exporter_build_info{compiler=\""},
      {"GET", "/metrics", "", "200", "process_open_fds "},
      {"GET", "/.htpasswd", "", "404", "no such page"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-X", c.method, base + c.path};
    if (!c.header.empty()) args.insert(args.begin(), {"-H", c.header});
    const std::string answer = curl(args);
    EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 " + c.expected_status) << c.method << " " << c.path;
    EXPECT_NE(answer.find(c.expected_text), std::string::npos) << c.path << ":\n" << answer;
  }
}

TEST(ExporterHttp, TlsAndBasicAuthFromTheWebConfigFile) {
  ORV_REQUIRE_LAB(false, {"curl", "openssl"});
  char dir_template[] = "/tmp/orv_web_XXXXXX";
  const std::string dir = mkdtemp(dir_template);
  const auto made = orv::test::run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                                    "-subj", "/CN=127.0.0.1", "-days", "1", "-keyout",
                                    dir + "/key.pem", "-out", dir + "/cert.pem"});
  ASSERT_EQ(made.exit_code, 0) << made.err;
  char salt[CRYPT_GENSALT_OUTPUT_SIZE];
  ASSERT_NE(crypt_gensalt_rn("$2y$", 5, nullptr, 0, salt, sizeof salt), nullptr);
  crypt_data data{};
  const std::string hash = crypt_rn("right pass phrase", salt, &data, sizeof data);
  std::ofstream(dir + "/web.yml") << "tls_server_config:\n  cert_file: cert.pem\n"
                                  << "  key_file: " << dir << "/key.pem\n"
                                  << "basic_auth_users:\n  prometheus: " << hash << "\n";
  std::ofstream(dir + "/md5.yml") << "basic_auth_users:\n  prometheus: $1$salt$abc\n";
  std::ofstream(dir + "/half.yml") << "tls_server_config:\n  cert_file: cert.pem\n";
  std::string error;
  for (const char* bad : {"md5.yml", "half.yml", "absent.yml"}) {
    EXPECT_FALSE(orv_exporter::load_web_config(dir + "/" + bad, error)) << bad;
  }
  auto web = orv_exporter::load_web_config(dir + "/web.yml", error);
  ASSERT_TRUE(web) << error;
  auto options = exporter_test::local_options();
  options.web = *web;
  RunningExporter exporter(orv_exporter::default_config(), options);
  const std::string address = "127.0.0.1:" + std::to_string(exporter.port());
  struct Case {
    std::string scheme;
    std::string credentials;  // user:pass, or empty for none
    std::string expected_status;
  };
  const Case cases[] = {{"https", "prometheus:right pass phrase", "HTTP/1.1 200"},
                        {"https", "prometheus:wrong pass phrase", "HTTP/1.1 401"},
                        {"https", "someone:right pass phrase", "HTTP/1.1 401"},
                        {"https", "", "HTTP/1.1 401"},
                        {"http", "prometheus:right pass phrase", ""}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--cacert", dir + "/cert.pem",
                                     c.scheme + "://" + address + "/metrics"};
    if (!c.credentials.empty()) args.insert(args.begin(), {"-u", c.credentials});
    const std::string answer = curl(args);
    EXPECT_EQ(answer.substr(0, c.expected_status.size()), c.expected_status)
        << c.scheme << " " << c.credentials << ":\n" << answer.substr(0, 200);
    if (c.expected_status.empty()) {
      EXPECT_EQ(answer.find("orv_exporter_build_info"), std::string::npos);
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
