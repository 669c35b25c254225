// The orv_exporter program's flags and its refusals, run as a process.
#include <fstream>

#include "exporter_harness.h"

namespace {

TEST(ExporterBinary, FlagsAndRefusedStarts) {
  const std::string bad_file = testing::TempDir() + "orv_exporter_bad.yml";
  std::ofstream(bad_file) << "auths:\n  a: {version: 3}\n";
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--version"}, 0, std::string("orv_exporter ") + ORV_EXPORTER_VERSION},
      {{"--help"}, 0, "--web.listen-address"},
      {{"--config.file", "/nonexistent/orv_exporter.yml"}, 1, "cannot read"},
      {{"--config.file", bad_file}, 1, "auth \\\"a\\\" needs a username (line 2)"},
      {{"--log.level", "loud"}, 105, "loud"},
      {{"--web.listen-address", "printer:80"}, 1, "not [HOST]:PORT"},
  };
  for (const auto& [args, exit_code, text] : cases) {
    std::vector<std::string> argv = {ORV_EXPORTER_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto result = orv::test::run(argv, 10000);
    EXPECT_EQ(result.exit_code, exit_code) << args[0] << result.err;
    EXPECT_NE((result.out + result.err).find(text), std::string::npos) << args[0] << ":\n"
                                                                       << result.out << result.err;
  }
  std::remove(bad_file.c_str());
}

}  // namespace
