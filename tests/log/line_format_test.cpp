#include "log/line_format.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

namespace orv::log {
namespace {

LineStamp fixed_stamp() {
  LineStamp stamp;
  stamp.year = 2024;
  stamp.month = 3;
  stamp.day = 7;
  stamp.hour = 9;
  stamp.minute = 5;
  stamp.second = 4;
  stamp.millisecond = 42;
  stamp.process_id = 4321;
  stamp.thread_id = 77;
  return stamp;
}

std::string line_of(const LineHeader& header, const char* format, ...) {
  char out[kMaxLineLength + 1];
  va_list args;
  va_start(args, format);
  size_t length = format_log_line(out, fixed_stamp(), header, format, args);
  va_end(args);
  EXPECT_EQ(length, std::string(out).size());
  return out;
}

LineHeader header_with(uint32_t flags, uint32_t level = kMaskInfo) {
  LineHeader header;
  header.flags = flags;
  header.category = "snmp";
  header.level = level;
  return header;
}

const std::string kBlankStamp(23, ' ');
const std::string kBlankId(8, ' ');

TEST(LineFormat, AllFieldsInRadix10) {
  EXPECT_EQ(line_of(header_with(kLineAllFields), "sent %d bytes to %s", 42, "127.0.0.1"),
            "2024/03/07 09:05:04:042,     4321,       77, snmp            , Info , "
            "sent 42 bytes to 127.0.0.1");
}

TEST(LineFormat, EachFlagAloneAndNone) {
  const std::string tail = "snmp            , Info , x";
  EXPECT_EQ(line_of(header_with(0), "x"),
            kBlankStamp + ", " + kBlankId + ", " + kBlankId + ", " + tail);
  EXPECT_EQ(line_of(header_with(kLineTimeStamp), "x"),
            "2024/03/07 09:05:04:042, " + kBlankId + ", " + kBlankId + ", " + tail);
  EXPECT_EQ(line_of(header_with(kLineProcessId), "x"),
            kBlankStamp + ",     4321, " + kBlankId + ", " + tail);
  EXPECT_EQ(line_of(header_with(kLineThreadId), "x"),
            kBlankStamp + ", " + kBlankId + ",       77, " + tail);
}

TEST(LineFormat, TimelessLineKeepsTheColumnsOfStampedLines) {
  std::string stamped = line_of(header_with(kLineAllFields), "x");
  std::string bare = line_of(header_with(kLineProcessId | kLineThreadId), "x");
  ASSERT_EQ(stamped.size(), bare.size());
  EXPECT_EQ(stamped.substr(23), bare.substr(23));
}

TEST(LineFormat, Radix16IdsAreZeroPaddedUpperCase) {
  LineHeader header = header_with(kLineProcessId | kLineThreadId);
  header.radix = kHexIdRadix;
  EXPECT_EQ(line_of(header, "x"), kBlankStamp + ", 000010E1, 0000004D, snmp            , Info , x");
}

TEST(LineFormat, CategoryIsCutOrPaddedTo16) {
  LineHeader header = header_with(0);
  header.category = "abcdefghijklmnopqrst";  // 20 characters
  std::string prefix = kBlankStamp + ", " + kBlankId + ", " + kBlankId + ", ";
  EXPECT_EQ(line_of(header, "m"), prefix + "abcdefghijklmnop, Info , m");
  header.category = "";
  EXPECT_EQ(line_of(header, "m"), prefix + std::string(16, ' ') + ", Info , m");
}

TEST(LineFormat, LevelTexts) {
  EXPECT_STREQ(level_text(kMaskError), "Error, ");
  EXPECT_STREQ(level_text(kMaskWarn), "Warn , ");
  EXPECT_STREQ(level_text(kMaskInfo), "Info , ");
  EXPECT_STREQ(level_text(kMaskDebug), "Debug, ");
  EXPECT_STREQ(level_text(kMaskTrace), "Trace, ");
  EXPECT_STREQ(level_text(kMaskAll), "All  , ");
  // A combination of bits has no text of its own.
  EXPECT_STREQ(level_text(kMaskError | kMaskInfo), "");
  EXPECT_STREQ(level_text(0), "");
  std::string prefix = kBlankStamp + ", " + kBlankId + ", " + kBlankId + ", snmp            , ";
  EXPECT_EQ(line_of(header_with(0, kMaskError | kMaskWarn), "m"), prefix + "m");
}

TEST(LineFormat, IndentGoesBetweenLevelAndMessage) {
  std::string indent = indent_text(2);
  EXPECT_EQ(indent, std::string(8, ' '));
  LineHeader header = header_with(0, kMaskTrace);
  header.indent = indent.c_str();
  EXPECT_EQ(line_of(header, "[%s] enter.", "send"),
            kBlankStamp + ", " + kBlankId + ", " + kBlankId + ", snmp            , Trace, " +
                "        [send] enter.");
}

TEST(LineFormat, NullFormatWritesItsOwnText) {
  char out[kMaxLineLength + 1];
  va_list none{};
  format_log_line(out, fixed_stamp(), header_with(0), nullptr, none);
  EXPECT_EQ(std::string(out), kBlankStamp + ", " + kBlankId + ", " + kBlankId +
                                  ", snmp            , Info , "
                                  "(client was about to output null message...)");
}

TEST(LineFormat, LongMessagesAndIndentsAreCutAt1024) {
  std::string long_text(3000, 'z');
  std::string line = line_of(header_with(kLineAllFields), "%s", long_text.c_str());
  ASSERT_EQ(line.size(), kMaxLineLength);
  EXPECT_EQ(line.substr(0, 23), "2024/03/07 09:05:04:042");
  EXPECT_EQ(line.back(), 'z');

  // An indentation wider than the line never lets the message or the
  // terminator run past the buffer.
  std::string indent = indent_text(100000);
  EXPECT_EQ(indent.size(), kMaxLineLength);
  LineHeader header = header_with(0);
  header.indent = indent.c_str();
  line = line_of(header, "%s", "message");
  ASSERT_EQ(line.size(), kMaxLineLength);
  EXPECT_EQ(line.find("message"), std::string::npos);
}

TEST(LineFormat, CurrentStampIsThisProcessAndAPlausibleTime) {
  LineStamp stamp = current_line_stamp();
  EXPECT_EQ(stamp.process_id, static_cast<uint32_t>(getpid()));
  EXPECT_EQ(stamp.thread_id, static_cast<uint32_t>(gettid()));
  EXPECT_GE(stamp.year, 2020);
  EXPECT_GE(stamp.month, 1);
  EXPECT_LE(stamp.month, 12);
  EXPECT_LT(stamp.millisecond, 1000);
}

}  // namespace
}  // namespace orv::log
