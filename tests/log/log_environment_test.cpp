#include "log/log_environment.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log/log_manager.h"
#include "log/null_sinks.h"
#include "result_codes.h"
#include "temp_dir.h"

namespace orv::log {
namespace {

using testing::read_file;
using testing::read_lines;
using testing::TempDir;

TEST(LogMaskText, DecimalOrHex) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t mask;
  };
  for (const Case& c : std::vector<Case>{{"31", true, 31},
                                         {"0x1f", true, 31},
                                         {"0X1F", true, 31},
                                         {" 4 ", true, 4},
                                         {"010", true, 10},  // leading zero is not octal
                                         {"0", true, 0},
                                         {"4294967295", true, UINT32_MAX},
                                         {"4294967296", false, 0},
                                         {"0x100000000", false, 0},
                                         {"", false, 0},
                                         {"0x", false, 0},
                                         {"-1", false, 0},
                                         {"+4", false, 0},
                                         {"0x0x4", false, 0},
                                         {"4k", false, 0},
                                         {"trace", false, 0}}) {
    uint32_t mask = 12345;
    EXPECT_EQ(parse_log_mask(c.text, &mask), c.ok) << c.text;
    EXPECT_EQ(mask, c.ok ? c.mask : 12345u) << c.text;
  }
  uint32_t mask = 0;
  EXPECT_FALSE(parse_log_mask(nullptr, &mask));
}

TEST(LogEnvironment, MaskAloneWritesToStandardOutput) {
  CQelLogManager manager;
  apply_log_environment(manager, "4", nullptr);
  EXPECT_EQ(manager.root().mask(), 4u);
  auto sinks = manager.root().sinks();
  ASSERT_EQ(sinks.size(), 1u);
  EXPECT_STREQ(sinks[0]->get_type_name(), "stdout");
}

TEST(LogEnvironment, FileTakesThePlaceOfStandardOutput) {
  TempDir dir;
  CQelLogManager manager;
  apply_log_environment(manager, "0x10", dir.file("e.log").c_str());
  EXPECT_EQ(manager.root().mask(), 16u);
  auto sinks = manager.root().sinks();
  ASSERT_EQ(sinks.size(), 1u);
  EXPECT_STREQ(sinks[0]->get_type_name(), "file");
  EXPECT_EQ(manager.get_logger("snmp")->log(kMaskTrace, "traced"), kOk);
  auto lines = read_lines(dir.file("e.log"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(", snmp            , Trace, traced"), std::string::npos);
}

TEST(LogEnvironment, NothingUsableLeavesLoggingOff) {
  for (const char* mask : {static_cast<const char*>(nullptr), "0", "lots"}) {
    CQelLogManager manager;
    apply_log_environment(manager, mask, "");
    EXPECT_EQ(manager.root().mask(), 0u);
    EXPECT_TRUE(manager.root().sinks().empty());
  }
}

// Runs the child program with exactly the given environment; returns its
// exit status and leaves its standard output in out_path.
int run_child(const std::vector<std::string>& args, const std::vector<std::string>& env,
              const std::string& out_path, const std::string& program = ORV_LOG_ENV_CHILD) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::vector<std::string> messages_of(const std::vector<std::string>& lines) {
  std::vector<std::string> messages;
  for (const std::string& line : lines) messages.push_back(line.substr(line.rfind(", ") + 2));
  return messages;
}

TEST(LogEnvironmentChild, MaskSendsMatchingLinesToStandardOutput) {
  TempDir dir;
  const std::string out = dir.file("stdout.txt");
  ASSERT_EQ(run_child({"env"}, {"ORV_LOG_MASK=4"}, out), 0);
  auto lines = read_lines(out);
  EXPECT_EQ(messages_of(lines),
            (std::vector<std::string>{"envtest line at 4", "module info"}));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(", envtest         , Info , envtest line at 4"), std::string::npos);
  EXPECT_EQ(lines[0][4], '/');  // stamped by default
}

TEST(LogEnvironmentChild, FileReceivesTheLinesInstead) {
  TempDir dir;
  const std::string out = dir.file("stdout.txt");
  const std::string log = dir.file("child.log");
  ASSERT_EQ(run_child({"env"}, {"ORV_LOG_MASK=0x1f", "ORV_LOG_FILE=" + log}, out), 0);
  EXPECT_EQ(read_file(out), "");
  EXPECT_EQ(messages_of(read_lines(log)),
            (std::vector<std::string>{"envtest line at 1", "envtest line at 2", "envtest line at 4",
                                      "envtest line at 8", "envtest line at 16", "module info",
                                      "module trace"}));
}

TEST(LogEnvironmentChild, WithoutTheVariablesNothingIsWritten) {
  TempDir dir;
  const std::string out = dir.file("stdout.txt");
  ASSERT_EQ(run_child({"env"}, {}, out), 0);
  EXPECT_EQ(read_file(out), "");
  ASSERT_EQ(run_child({"env"}, {"ORV_LOG_MASK=all"}, out), 0);
  EXPECT_EQ(read_file(out), "");
}

TEST(LogEnvironmentChild, HostConfigurationInCodeReachesExistingLoggers) {
  TempDir dir;
  const std::string out = dir.file("stdout.txt");
  const std::string log = dir.file("code.log");
  ASSERT_EQ(run_child({"code", log}, {}, out), 0);
  EXPECT_EQ(read_file(out), "");
  auto lines = read_lines(log);
  EXPECT_EQ(messages_of(lines),
            (std::vector<std::string>{"early line at 1", "early line at 2", "late line at 1",
                                      "late line at 2"}));
  ASSERT_FALSE(lines.empty());
  const std::string blank_columns = std::string(23, ' ') + ", " + std::string(8, ' ') + ", " +
                                    std::string(8, ' ') + ", early ";
  EXPECT_EQ(lines[0].substr(0, blank_columns.size()), blank_columns);
}

// A set-user-id program must not let its caller choose where it logs: run
// as a copy owned by another user with the set-user-id bit, the child ignores
// both variables even where it could write.
TEST(LogEnvironmentChild, SetUserIdProgramIgnoresTheVariables) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the copy to another user";
  constexpr uid_t kNobody = 65534;
  TempDir dir;
  std::filesystem::permissions(dir.file(""), std::filesystem::perms::all);
  const std::string program = dir.file("setuid_child");
  std::filesystem::copy_file(ORV_LOG_ENV_CHILD, program);
  ASSERT_EQ(chown(program.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(chmod(program.c_str(), S_ISUID | 0755), 0);
  const std::string out = dir.file("stdout.txt");
  const std::string log = dir.file("chosen.log");
  ASSERT_EQ(run_child({"env"}, {"ORV_LOG_MASK=31", "ORV_LOG_FILE=" + log}, out, program), 0);
  EXPECT_EQ(read_file(out), "");
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace orv::log
