// The orv_exporter program's flags and its refusals, run as a process.
#include <fstream>

#include "exporter_harness.h"
#include "exporter_log.h"

namespace {

TEST(ExporterBinary, FlagsAndRefusedStarts) {
  const std::string bad_file = testing::TempDir() + "orv_exporter_bad.yml";
  std::ofstream(bad_file) << "auths:\n  a: {version: 3}\n";
  const std::string env_file = testing::TempDir() + "orv_exporter_env.yml";
  std::ofstream(env_file) << "auths:\n  a: {community: \"${ORV_TEST_COMMUNITY}$$\"}\n"
                          << "  b: {community: \"${ORV_TEST_UNSET_SECRET}\"}\n";
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--version"}, 0, std::string("orv_exporter ") + ORV_EXPORTER_VERSION},
      {{"--help"}, 0, "--web.listen-address"},
      {{"--config.file", "/nonexistent/orv_exporter.yml"}, 1, "cannot read"},
      {{"--config.file", bad_file}, 1, "auth \\\"a\\\" needs a username (line 2)"},
      {{"--log.level", "loud"}, 105, "loud"},
      {{"--web.listen-address", "printer:80"}, 1, "not [HOST]:PORT"},
      {{"--config.check", "--config.file", bad_file, "--log.format", "json"}, 1,
       R"("level":"error","msg":"configuration refused")"},
      {{"--config.check", "--config.file", env_file}, 0, "configuration is valid"},
      {{"--config.check", "--config.file", env_file, "--config.expand-environment-variables"}, 1,
       "environment variable ORV_TEST_UNSET_SECRET is not set (line 3)"},
  };
  setenv("ORV_TEST_COMMUNITY", "from-env", 1);
  for (const auto& [args, exit_code, text] : cases) {
    std::vector<std::string> argv = {ORV_EXPORTER_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto result = orv::test::run(argv, 10000);
    EXPECT_EQ(result.exit_code, exit_code) << args[0] << result.err;
    EXPECT_NE((result.out + result.err).find(text), std::string::npos) << args[0] << ":\n"
                                                                       << result.out << result.err;
  }
  std::remove(bad_file.c_str());
  std::remove(env_file.c_str());
}

TEST(ExporterLog, EveryValueStaysOnItsOwnLine) {
  using orv_exporter::LogFormat;
  const orv_exporter::LogFields fields = {{"target", std::string("a\0b\nc\"\x1b", 7)}};
  const std::pair<LogFormat, const char*> cases[] = {
      {LogFormat::kLogfmt, R"(level=warn msg="probe failed" target="a\x00b\nc\"\x1b")"},
      {LogFormat::kJson, R"({"level":"warn","msg":"probe failed","target":"a\u0000b\nc\"\u001b"})"}};
  for (const auto& [format, expected] : cases) {
    EXPECT_EQ(orv_exporter::log_text(orv_exporter::LogLevel::kWarn, "probe failed", fields, format),
              expected);
  }
}

}  // namespace
