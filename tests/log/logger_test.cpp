#include "log/logger.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log/file_sink.h"
#include "log/log_manager.h"
#include "log/null_sinks.h"
#include "result_codes.h"
#include "temp_dir.h"

namespace orv::log {
namespace {

using testing::read_lines;
using testing::TempDir;

// Keeps the lines it is given and answers with a chosen code.
class RecordingSink final : public IQelLogSink {
 public:
  explicit RecordingSink(int32_t answer = kOk) : answer_(answer) {}
  int32_t query_interface(const char* id, void** out) override {
    return query_sink_interface(id, out, this, nullptr);
  }
  const char* get_type_name() const override { return "recording"; }
  const char* get_name() const override { return "recording"; }
  int32_t write_line(const char* line) override {
    lines.emplace_back(line);
    return answer_;
  }
  std::vector<std::string> lines;

 private:
  int32_t answer_;
};

// Everything after the fixed columns: stamp 23, two ids of 8, category 16,
// each followed by ", ".
constexpr size_t kFixedColumns = 23 + 2 + 8 + 2 + 8 + 2 + 16 + 2;
std::string after_category(const std::string& line) { return line.substr(kFixedColumns); }

TEST(Logger, MaskDecidesWhichLevelsAreWritten) {
  TempDir dir;
  CQelFileSink file("file", dir.file("mask.log"));
  CQelLogger logger("snmp");
  logger.attach_sink(&file);
  auto write_every_level = [&logger] {
    for (uint32_t level : {kMaskError, kMaskWarn, kMaskInfo, kMaskDebug, kMaskTrace}) {
      EXPECT_EQ(logger.log(level, "level %u", level), kOk);
    }
  };

  write_every_level();  // a fresh logger has mask 0
  EXPECT_TRUE(read_lines(dir.file("mask.log")).empty());

  logger.set_mask(kMaskInfo);
  write_every_level();
  auto lines = read_lines(dir.file("mask.log"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(after_category(lines[0]), "Info , level 4");

  logger.set_mask(kMaskAll);
  write_every_level();
  lines = read_lines(dir.file("mask.log"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(after_category(lines[1]), "Error, level 1");
  EXPECT_EQ(after_category(lines[5]), "Trace, level 16");
}

TEST(Logger, ALevelSharingOneBitWithTheMaskIsWrittenWithoutLevelText) {
  RecordingSink sink;
  CQelLogger logger("snmp");
  logger.attach_sink(&sink);
  logger.set_mask(kMaskWarn);
  logger.set_line_flags(0);
  logger.log(kMaskError | kMaskWarn, "both");
  logger.log(kMaskError | kMaskInfo, "neither");
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(after_category(sink.lines[0]), "both");
}

TEST(Logger, SettingsShapeTheLine) {
  RecordingSink sink;
  CQelLogger logger("socket");
  logger.attach_sink(&sink);
  logger.set_mask(kMaskAll);
  logger.set_line_flags(kLineThreadId);
  EXPECT_EQ(logger.set_radix(8), kErrInvalidArg);
  EXPECT_EQ(logger.radix(), kDefaultIdRadix);
  EXPECT_EQ(logger.set_radix(kHexIdRadix), kOk);
  logger.set_indent(1);
  logger.log(kMaskDebug, "%s", "x");
  logger.log(kMaskDebug, nullptr);
  ASSERT_EQ(sink.lines.size(), 2u);
  char tid[9];
  std::snprintf(tid, sizeof tid, "%08X", static_cast<unsigned>(gettid()));
  EXPECT_EQ(sink.lines[0], std::string(23, ' ') + ", " + std::string(8, ' ') + ", " + tid +
                               ", socket          , Debug,     x");
  EXPECT_EQ(after_category(sink.lines[1]),
            "Debug,     (client was about to output null message...)");
}

TEST(Logger, SinksGetTheLineInOrderAndTheLastFailureIsReturned) {
  RecordingSink first(kErrLoad), second(kOk), third(kErrNoValue);
  CQelLogger logger("snmp");
  logger.set_mask(kMaskError);
  for (RecordingSink* sink : {&first, &second, &third}) logger.attach_sink(sink);
  logger.attach_sink(&second);  // attaching twice does not double lines
  EXPECT_EQ(logger.attach_sink(nullptr), kErrInvalidArg);
  EXPECT_EQ(logger.log(kMaskError, "m"), kErrNoValue);
  EXPECT_EQ(first.lines.size(), 1u);
  EXPECT_EQ(second.lines.size(), 1u);
  EXPECT_EQ(third.lines, first.lines);
  EXPECT_EQ(logger.sinks(), (std::vector<IQelLogSink*>{&first, &second, &third}));
}

TEST(LogManager, CategoryLoggersInheritTheRootWhenMade) {
  CQelLogManager manager;
  RecordingSink a, b;
  CQelLogger& root = manager.root();
  EXPECT_EQ(root.name(), "All");
  EXPECT_EQ(root.mask(), 0u);
  EXPECT_EQ(manager.get_logger("All"), &root);

  root.set_mask(kMaskInfo | kMaskError);
  root.set_indent(3);
  root.set_line_flags(kLineProcessId);
  root.set_radix(kHexIdRadix);
  root.attach_sink(&a);
  root.attach_sink(&b);

  int32_t rc = -99;
  CQelLogger* snmp = manager.get_logger("snmp", &rc);
  EXPECT_EQ(rc, kOk);
  EXPECT_EQ(snmp->name(), "snmp");
  EXPECT_EQ(snmp->mask(), kMaskInfo | kMaskError);
  EXPECT_EQ(snmp->indent(), 3u);
  EXPECT_EQ(snmp->line_flags(), kLineProcessId);
  EXPECT_EQ(snmp->radix(), kHexIdRadix);
  EXPECT_EQ(snmp->sinks(), (std::vector<IQelLogSink*>{&a, &b}));
  EXPECT_EQ(manager.get_logger("snmp"), snmp);
  EXPECT_NE(manager.get_logger("snmp2"), snmp);
  EXPECT_NE(manager.get_logger("SNMP"), snmp);

  // Later root changes stay with the root.
  root.set_mask(0);
  EXPECT_EQ(snmp->mask(), kMaskInfo | kMaskError);
  EXPECT_EQ(snmp->log(kMaskInfo, "still on"), kOk);
  EXPECT_EQ(a.lines.size(), 1u);
}

TEST(LogManager, NullCategoryGetsTheDiscardingNullSessionLogger) {
  CQelLogManager manager;
  RecordingSink sink;
  manager.root().attach_sink(&sink);
  manager.root().set_mask(kMaskAll);
  int32_t rc = kOk;
  CQelLogger* logger = manager.get_logger(nullptr, &rc);
  EXPECT_EQ(rc, kErrInvalidArg);
  EXPECT_EQ(logger, &manager.null_logger());
  EXPECT_EQ(logger->name(), "null_session");
  logger->set_mask(kMaskAll);
  logger->attach_sink(&sink);
  EXPECT_EQ(logger->log(kMaskError, "dropped"), kOk);
  EXPECT_TRUE(sink.lines.empty());
}

TEST(LogManager, SinksByTypeNameAndProperties) {
  TempDir dir;
  CQelLogManager manager;
  IQelLogSink* sink = nullptr;

  EXPECT_EQ(manager.create_sink("stdout", "console", nullptr, &sink), kOk);
  EXPECT_STREQ(sink->get_type_name(), "stdout");
  EXPECT_STREQ(sink->get_name(), "console");
  EXPECT_EQ(manager.create_sink(nullptr, "console", nullptr, &sink), kOk);
  EXPECT_STREQ(sink->get_type_name(), "stdout");
  EXPECT_EQ(manager.create_sink("stdout", nullptr, nullptr, &sink), kOk);
  EXPECT_EQ(sink, null_standard_sink());
  EXPECT_STREQ(sink->get_type_name(), "null_standard");

  LogProperties with_path{{"ExtentionName", dir.file("m.log")}};
  EXPECT_EQ(manager.create_sink("file", "trace", &with_path, &sink), kOk);
  EXPECT_STREQ(sink->get_type_name(), "file");
  EXPECT_EQ(sink->write_line("hello"), kOk);
  EXPECT_EQ(read_lines(dir.file("m.log")), std::vector<std::string>{"hello"});

  LogProperties no_path{{"Other", "x"}}, empty_path{{"ExtentionName", ""}};
  for (const LogProperties* props : {&no_path, &empty_path}) {
    EXPECT_EQ(manager.create_sink("file", "trace", props, &sink), kOk);
    EXPECT_EQ(sink, null_file_sink());
  }
  EXPECT_EQ(manager.create_sink("file", nullptr, &with_path, &sink), kOk);
  EXPECT_EQ(sink, null_file_sink());
  EXPECT_STREQ(sink->get_type_name(), "null_file");
  EXPECT_EQ(sink->write_line("gone"), kOk);

  // Named but without properties: a file sink that has nowhere to write.
  EXPECT_EQ(manager.create_sink("file", "trace", nullptr, &sink), kOk);
  EXPECT_STREQ(sink->get_type_name(), "file");
  EXPECT_EQ(sink->write_line("nowhere"), kErrLoad);

  EXPECT_EQ(manager.create_sink("syslog", "x", nullptr, &sink), kErrNotSupported);
  EXPECT_EQ(sink, nullptr);
  EXPECT_EQ(manager.create_sink("stdout", "x", nullptr, nullptr), kErrInvalidArg);
}

}  // namespace
}  // namespace orv::log
