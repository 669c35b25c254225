// The pure parts of the option refresh: the version text, the medium size
// table and the level in percent.
#include <gtest/gtest.h>

#include <set>

#include "device/dev_comm_option.h"
#include "device/medium_size_table.h"
#include "device/version_parse.h"

namespace {

using orv::device::find_medium_size;
using orv::device::kMediumSizeTable;
using orv::device::level_percent;
using orv::device::medium_size_of;
using orv::device::parse_rom_version;

struct Version {
  bool ok;
  int32_t major = -9, minor = -9, revision = -9;
};

Version parse(const char* text) {
  Version v{};
  v.major = v.minor = v.revision = -9;
  v.ok = parse_rom_version(text, &v.major, &v.minor, &v.revision);
  return v;
}

TEST(RomVersion, ThreeNumbersOfThePattern) {
  Version v = parse("Printer Controller v1.20.3 - Processor");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.major, 1);
  EXPECT_EQ(v.minor, 20);
  EXPECT_EQ(v.revision, 3);
  // The text after the third number is not examined.
  v = parse("Printer Controller v1.20.3");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.revision, 3);
  EXPECT_TRUE(parse("Printer Controller v1.20.3 (build 7)").ok);
}

TEST(RomVersion, BlanksMatchAnyWhiteSpaceAndNumbersCarrySigns) {
  EXPECT_TRUE(parse("PrinterController v1.2.3").ok);         // a blank matches none
  EXPECT_TRUE(parse("Printer \t  Controller\nv1.2.3").ok);   // or a run
  Version v = parse("Printer Controller v+4. -5.  6");       // %d skips white space
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.major, 4);
  EXPECT_EQ(v.minor, -5);
  EXPECT_EQ(v.revision, 6);
}

TEST(RomVersion, AnythingElseReadsNothing) {
  for (const char* text : {"Controller v1.20.3 - Processor", "printer Controller v1.2.3",
                           "Printer Controller 1.2.3", "Printer Controller v1.2",
                           "Printer Controller v1.2.x", "Printer Controller v1..3",
                           "Printer Controller v-.2.3", "", "Printer Controller v2147483648.0.0"}) {
    const Version v = parse(text);
    EXPECT_FALSE(v.ok) << text;
    EXPECT_EQ(v.major, -9) << text << ": nothing written";
  }
  EXPECT_FALSE(parse(nullptr).ok);
  Version v = parse("Printer Controller v-2147483648.2147483647.0");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.major, INT32_MIN);
  EXPECT_EQ(v.minor, INT32_MAX);
}

TEST(MediumSizeTable, SixtyEightRowsOfDistinctCodesShortEdgeFirst) {
  std::set<int32_t> codes;
  for (const auto& row : kMediumSizeTable) {
    codes.insert(row.code);
    EXPECT_LE(row.short_edge, row.long_edge) << row.code;
  }
  EXPECT_EQ(codes.size(), 68u);
  EXPECT_EQ(codes.count(10000), 0u);
  EXPECT_EQ(kMediumSizeTable[0].code, 1);
  EXPECT_EQ(kMediumSizeTable[67].code, 10013);
}

struct Size {
  bool found;
  long code = -1, direction = -1;
};

Size size_of(long unit, long feed, long xfeed) {
  Size s{};
  s.found = medium_size_of(unit, feed, xfeed, &s.code, &s.direction);
  return s;
}

TEST(MediumSize, A4AndLetterWithTheirDirections) {
  Size s = size_of(4, 297000, 210000);
  ASSERT_TRUE(s.found);
  EXPECT_EQ(s.code, 25);
  EXPECT_EQ(s.direction, 3);
  s = size_of(4, 210000, 297000);
  EXPECT_EQ(s.code, 25);
  EXPECT_EQ(s.direction, 2);
  // Letter is row 1, before any later row within reach.
  s = size_of(4, 215900, 279400);
  EXPECT_EQ(s.code, 1);
}

TEST(MediumSize, TwoThousandMicrometresEitherWayInclusive) {
  EXPECT_EQ(size_of(4, 299000, 212000).code, 25);
  EXPECT_EQ(size_of(4, 295000, 208000).code, 25);
  EXPECT_EQ(size_of(4, 297000, 212000).code, 25);
  Size s = size_of(4, 297000, 212100);  // short edge 2100 larger
  EXPECT_FALSE(s.found);
  EXPECT_EQ(s.code, -1) << "nothing written";
  EXPECT_EQ(find_medium_size(212001, 297000), nullptr);
  EXPECT_EQ(find_medium_size(212000, 297000)->code, 25);
}

TEST(MediumSize, OnlyMicrometresAndNonNegativeDimensions) {
  for (long unit : {3L, 0L, 5L}) EXPECT_FALSE(size_of(unit, 297000, 210000).found) << unit;
  EXPECT_FALSE(size_of(4, -1, 210000).found);
  EXPECT_FALSE(size_of(4, 297000, -297000).found);
  EXPECT_FALSE(size_of(4, 0, 0).found);
}

TEST(MediumLevel, PercentRoundsHalfUp) {
  EXPECT_EQ(level_percent(500, 250), 50);
  EXPECT_EQ(level_percent(3, 1), 50);
  EXPECT_EQ(level_percent(3, 2), 83);
  EXPECT_EQ(level_percent(1000, 0), 0);
  EXPECT_EQ(level_percent(500, -3), -1);
  EXPECT_EQ(level_percent(0, 10), -1);
  EXPECT_EQ(level_percent(-5, 10), -1);
  EXPECT_EQ(level_percent(1, INT32_MAX), 214748364750L);  // no overflow
}

// The protected members the refresh uses, as a derived class reaches them.
class Conversions : public COrvHarrowOption {
 public:
  using COrvDevCommOption::ConvertMediumLevel;
  using COrvDevCommOption::MediaDimensionToMediumSize;
};

TEST(MediumLevel, ConvertMediumLevelOnlyForSheets) {
  long max = 7, percent = 7;
  Conversions::ConvertMediumLevel(8, 500, 250, &max, &percent);
  EXPECT_EQ(max, 500);
  EXPECT_EQ(percent, 50);
  max = percent = 7;
  Conversions::ConvertMediumLevel(3, 500, 250, &max, &percent);
  EXPECT_EQ(max, 7);
  EXPECT_EQ(percent, 7);
  long code = 10000, direction = 1;
  Conversions::MediaDimensionToMediumSize(3, 297000, 210000, &code, &direction);
  EXPECT_EQ(code, 10000);
  EXPECT_EQ(direction, 1);
  Conversions::MediaDimensionToMediumSize(4, 420000, 297000, &code, &direction);
  EXPECT_EQ(code, 24);
  EXPECT_EQ(direction, 3);
}

}  // namespace
