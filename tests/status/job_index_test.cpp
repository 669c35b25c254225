// The pure parts of the status reader: type tables, job identifiers in row
// indexes, index arcs and DateAndTime octets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "result_codes.h"
#include "status/job_index.h"
#include "status/type_tables.h"

namespace orv::status {
namespace {

TEST(TypeTables, ExactTextsGiveTheirCodesAndEverythingElseZero) {
  const struct {
    int32_t (*table)(const char*);
    const char* text;
    int32_t code;
  } cases[] = {
      {storage_type_code, "1.3.6.1.2.1.25.2.1.4", 4},
      {storage_type_code, "1.3.6.1.2.1.25.2.1.8", 8},
      {storage_type_code, "1.3.6.1.2.1.25.2.1.9", 0},
      {storage_type_code, "1.3.6.1.2.1.25.2.1.04", 0},
      {storage_type_code, "1.3.6.1.2.1.25.2.1.4.1", 0},
      {storage_type_code, "", 0},
      {storage_type_code, nullptr, 0},
      {device_type_code, "1.3.6.1.2.1.25.3.1.21", 21},
      {device_type_code, "1.3.6.1.2.1.25.3.1.7", 0},  // not among the standard rows
      {device_type_code, "1.3.6.1.4.1.253.8.52.2.154", 154},
      {device_type_code, "1.3.6.1.4.1.253.8.52.2.110", 0},
      {device_type_code, "1.3.6.1.4.1.253.8.52.2.207", 207},
      {job_type_code, "1.3.6.1.4.1.253.8.58.2.12", 12},
      {job_type_code, "1.3.6.1.4.1.253.8.58.2.13", 0},
      {job_type_code, "1.3.6.1.4.1.253.8.58.2", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.table(c.text), c.code) << (c.text ? c.text : "(null)");
  }
}

TEST(JobIndex, IdentifiersDecodeAtMostEightOctets) {
  const struct {
    const char* index;
    int32_t rc;
    std::string id;
  } cases[] = {
      {"101.1.55", kOk, "7"},
      {"101.4.80.48.52.51", kOk, "P043"},
      {"101.8.74.79.66.45.48.48.52.53", kOk, "JOB-0045"},
      {"101.10.65.66.67.68.69.70.71.72.73.74", kOk, "ABCDEFGH"},  // cut to eight
      {"101.0", kOk, ""},
      {"101", kErrInvalidArg, ""},   // fewer than two arcs
      {"", kErrInvalidArg, ""},
      {nullptr, kErrInvalidArg, ""},
      {"101.x.65", kErrInvalidArg, ""},
      {"101.2.65.256", kErrArcTooLarge, ""},
      {"101.9.65.66.67.68.69.70.71.72.999", kOk, "ABCDEFGH"},  // past the eighth: not read
  };
  for (const auto& c : cases) {
    char out[256];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(decode_job_id(c.index, out, sizeof out), c.rc) << (c.index ? c.index : "(null)");
    EXPECT_EQ(std::string(out), c.id) << (c.index ? c.index : "(null)");
    EXPECT_EQ(out[255], '\0');
  }
}

TEST(JobIndex, CancelSuffixesAndTheirLimit) {
  char out[256];
  ASSERT_EQ(job_id_suffix("JOB-0045", out, sizeof out), kOk);
  EXPECT_STREQ(out, "101.8.74.79.66.45.48.48.52.53");
  ASSERT_EQ(job_id_suffix("", out, sizeof out), kOk);
  EXPECT_STREQ(out, "101.0");
  ASSERT_EQ(job_id_suffix("\xE9", out, sizeof out), kOk);
  EXPECT_STREQ(out, "101.1.233");
  // 62 characters of three digits and a dot each plus "101.62" is 254:
  // the last that fits 256 bytes with the terminator; 63 does not.
  EXPECT_EQ(job_id_suffix(std::string(62, 'x').c_str(), out, sizeof out), kOk);
  EXPECT_EQ(std::strlen(out), 254u);
  EXPECT_EQ(job_id_suffix(std::string(63, 'x').c_str(), out, sizeof out), kErrInvalidArg);
}

TEST(JobIndex, FirstIndexArcOnlyBelowTheColumn) {
  const char* column = "1.3.6.1.4.1.253.8.59.6.1.1.5";
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.5.101.1.55", column), 101);
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.5.4294967295", column), 4294967295);
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.5.4294967296", column), -1);
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.5", column), -1);
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.50.1", column), -1);
  EXPECT_EQ(first_index_arc("1.3.6.1.4.1.253.8.59.6.1.1.6.101.1.55", column), -1);
}

TEST(JobIndex, DateAndTimeOctets) {
  const struct {
    std::vector<uint8_t> octets;
    OrvJobTime want;
  } cases[] = {
      {{0x07, 0xE8, 3, 15, 0, 5, 42, 0}, {2024, 3, 15, 0, 5, 42}},  // hour 0
      {{0x07, 0xE8, 12, 31, 23, 59, 60, 9, 0x2B, 1, 0}, {2024, 12, 31, 23, 59, 60}},
      {{0x07, 0xE8, 4}, {2024, 4, 0, 0, 0, 0}},  // what is missing counts as 0
      {{}, {0, 0, 0, 0, 0, 0}},
      {{0, 0, 200, 0, 0, 0, 0}, {0, 200, 0, 0, 0, 0}},  // no negative months
  };
  for (const auto& c : cases) {
    const OrvJobTime t = job_time(c.octets.data(), static_cast<uint32_t>(c.octets.size()));
    EXPECT_EQ(std::memcmp(&t, &c.want, sizeof t), 0)
        << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":"
        << t.second;
  }
}

}  // namespace
}  // namespace orv::status
