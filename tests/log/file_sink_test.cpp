#include "log/file_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "log/interface_id.h"
#include "log/null_sinks.h"
#include "log/stdout_sink.h"
#include "result_codes.h"
#include "temp_dir.h"

namespace orv::log {
namespace {

using testing::read_file;
using testing::read_lines;
using testing::TempDir;

TEST(FileSink, LineMustFitTheMaximumWithTwoBytesToSpare) {
  TempDir dir;
  CQelFileSink sink("file", dir.file("fit.log"));
  sink.set_max_size(100);
  EXPECT_EQ(sink.write_line(std::string(99, 'b').c_str()), kErrNoValue);
  EXPECT_EQ(read_file(dir.file("fit.log")), "");
  EXPECT_EQ(sink.write_line(std::string(98, 'a').c_str()), kOk);
  EXPECT_EQ(read_file(dir.file("fit.log")), std::string(98, 'a') + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("fit.log.bak")));
}

TEST(FileSink, FullFileMovesToBakReplacingTheOldBackup) {
  TempDir dir;
  const std::string log = dir.file("r.log");
  const std::string bak = dir.file("r.log.bak");
  std::ofstream(bak) << "old backup\n";
  CQelFileSink sink("file", log);
  sink.set_max_size(100);
  const std::string first(48, '1'), second(48, '2'), third(10, '3');
  EXPECT_EQ(sink.write_line(first.c_str()), kOk);   // 50 counted
  EXPECT_EQ(sink.write_line(second.c_str()), kOk);  // 100: exactly full
  EXPECT_FALSE(std::filesystem::exists(log + ".bak.bak"));
  EXPECT_EQ(read_file(bak), "old backup\n");
  EXPECT_EQ(sink.write_line(third.c_str()), kOk);   // would pass 100: rotate
  EXPECT_EQ(read_file(bak), first + "\n" + second + "\n");
  EXPECT_EQ(read_file(log), third + "\n");
}

TEST(FileSink, ExistingFileLengthCountsTowardsTheMaximum) {
  TempDir dir;
  const std::string log = dir.file("e.log");
  std::ofstream(log) << std::string(89, 'x') << "\n";  // 90 bytes already there
  CQelFileSink sink("file", log);
  sink.set_max_size(100);
  EXPECT_EQ(sink.write_line("12345678"), kOk);  // 90 + 10 = 100
  EXPECT_EQ(read_lines(log).size(), 2u);
  EXPECT_EQ(sink.write_line("y"), kOk);  // 100 + 3: rotate
  EXPECT_EQ(read_lines(log), std::vector<std::string>{"y"});
  EXPECT_EQ(read_lines(dir.file("e.log.bak")).size(), 2u);
}

TEST(FileSink, UnopenablePathGivesLoadErrorAndANewPathRecovers) {
  TempDir dir;
  CQelFileSink sink("file", dir.file("missing-folder/x.log"));
  EXPECT_EQ(sink.write_line("a"), kErrLoad);
  CQelFileSink no_path("file", "");
  EXPECT_EQ(no_path.write_line("a"), kErrLoad);

  EXPECT_EQ(sink.set_path(dir.file("x.log").c_str()), kOk);
  EXPECT_EQ(sink.path(), dir.file("x.log"));
  EXPECT_EQ(sink.write_line("a"), kOk);
  EXPECT_EQ(sink.set_path(nullptr), kErrInvalidArg);
  EXPECT_EQ(sink.set_path(dir.file("y.log").c_str()), kOk);
  EXPECT_EQ(sink.write_line("b"), kOk);
  EXPECT_EQ(read_lines(dir.file("x.log")), std::vector<std::string>{"a"});
  EXPECT_EQ(read_lines(dir.file("y.log")), std::vector<std::string>{"b"});
}

TEST(FileSink, RotationFailureToReopenIsReported) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  const std::string log = dir.file("sub/z.log");
  CQelFileSink sink("file", log);
  sink.set_max_size(10);
  EXPECT_EQ(sink.write_line("12345678"), kOk);
  // Moving the folder away leaves the sink with an open file whose path is gone.
  std::filesystem::rename(dir.file("sub"), dir.file("gone"));
  EXPECT_EQ(sink.write_line("1"), kErrLoad);
}

// A folder under the backup name makes the move fail even for root. The log
// keeps every line and the move is tried again with the next full write.
TEST(FileSink, FailedMoveToBakKeepsTheLogAndRetriesLater) {
  TempDir dir;
  const std::string log = dir.file("k.log");
  const std::string bak = dir.file("k.log.bak");
  std::filesystem::create_directories(bak + "/taken");
  CQelFileSink sink("file", log);
  sink.set_max_size(20);
  const std::vector<std::string> lines = {"first-line", "second-line", "third-line"};
  for (const std::string& line : lines) EXPECT_EQ(sink.write_line(line.c_str()), kOk) << line;
  EXPECT_EQ(read_lines(log), lines);
  EXPECT_TRUE(std::filesystem::is_directory(bak));

  std::filesystem::remove_all(bak);
  EXPECT_EQ(sink.write_line("fourth"), kOk);
  EXPECT_EQ(read_lines(bak), lines);
  EXPECT_EQ(read_lines(log), std::vector<std::string>{"fourth"});
}

TEST(SinkInterfaces, EachSinkAnswersItsIdsOnly) {
  TempDir dir;
  CQelStdoutSink out("console");
  CQelFileSink file("file", dir.file("i.log"));
  const std::string base = "da74598a-9178-43c9-86c6-cee9988f1b7f";
  const std::string sink_id = "13102460-7602-11d5-82f1-00e02941dfe1";
  const std::string file_id = "2fb9f6c0-7602-11d5-82f1-00e02941dfe1";
  EXPECT_EQ(base, kBaseObjectInterfaceId);
  EXPECT_EQ(sink_id, kLogSinkInterfaceId);
  EXPECT_EQ(file_id, kFileLogSinkInterfaceId);

  void* answer = nullptr;
  EXPECT_EQ(out.query_interface(base.c_str(), &answer), kOk);
  EXPECT_EQ(answer, static_cast<IQelLogSink*>(&out));
  EXPECT_EQ(out.query_interface(sink_id.c_str(), &answer), kOk);
  EXPECT_EQ(out.query_interface(file_id.c_str(), &answer), kErrNoInterface);
  EXPECT_EQ(answer, nullptr);

  EXPECT_EQ(file.query_interface(file_id.c_str(), &answer), kOk);
  EXPECT_EQ(static_cast<IQelFileLogSink*>(answer), &file);
  EXPECT_EQ(null_file_sink()->query_interface(file_id.c_str(), &answer), kOk);
  EXPECT_EQ(null_standard_sink()->query_interface(file_id.c_str(), &answer), kErrNoInterface);
  EXPECT_EQ(null_standard_sink()->query_interface(sink_id.c_str(), &answer), kOk);

  // The terminator takes part: a longer text, an upper-case one or a prefix is another id.
  for (const std::string& other : {base + "0", sink_id.substr(0, 35), std::string(""),
                                   std::string("DA74598A-9178-43C9-86C6-CEE9988F1B7F")}) {
    EXPECT_EQ(file.query_interface(other.c_str(), &answer), kErrNoInterface) << other;
  }
  EXPECT_EQ(file.query_interface(nullptr, &answer), kErrInvalidArg);
  EXPECT_EQ(file.query_interface(base.c_str(), nullptr), kErrInvalidArg);
}

TEST(StdoutSink, PrintsTheLineAndANewline) {
  CQelStdoutSink out("console");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(out.write_line("first"), kOk);
  EXPECT_EQ(out.write_line(""), kOk);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "first\n\n");
}

}  // namespace
}  // namespace orv::log
