// The status exports on printers laid out differently from printer-a (see
// tests/data/README.md): job tables indexed by row number, a missing
// string-table entry, job tables of different lengths.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/status_records.h"
#include "orv/orv.h"
#include "orv/orv_ext.h"
#include "support/lab.h"

namespace {

using orv::test::jobs;
using orv::test::kStorage;

class PrinterLayouts : public orv::test::PrinterLab<PrinterLayouts> {
 public:
  static std::vector<std::string> printers() {
    return {"printer-rowindex", "printer-missingtext", "printer-short16"};
  }
};

// printer-rowindex in walk order (rows 1 to 4): "JOB\xE9", JOB-0045,
// JOB-00451, JOB-00452; the record keeps eight octets of each identifier.
const OrvJobInfo kRow1{5, 4, 1, 1, 1, "Waiting", "Internal", "Completed Normally", "JOB\xE9",
                       "Fax in.pdf", {2024, 3, 14, 12, 0, 0}, {}, {-1, 13, 32, 255, 60, 61}};
const OrvJobInfo kRow2{1, 5, 6, 6, 3, "Printing", "USB Direct Print", "Completed Normally",
                       "JOB-0045", "Poster A3.pdf", {2024, 3, 14, 10, 30, 45},
                       {2024, 3, 14, 10, 31, 5}, {}};
const OrvJobInfo kRow3{1, 3, 6, 6, 3, "Held", "Network", "Completed Normally", "JOB-0045",
                       "Poster A3 copy.pdf", {2024, 3, 14, 10, 32, 45}, {}, {}};
const OrvJobInfo kRow4{3, 17, 4, 4, 2, "Completed", "Network", "Cancelled by User", "JOB-0045",
                       "Poster A2.pdf", {2024, 3, 14, 11, 30, 45}, {2024, 3, 14, 11, 31, 5},
                       {2024, 3, 14, 11, 32, 0}};

TEST_F(PrinterLayouts, JobIdentifiersComeFromTheirOwnColumn) {
  const struct {
    uint32_t kind;
    std::vector<OrvJobInfo> want;
  } cases[] = {{ORV_JOBS_ALL, {kRow1, kRow2, kRow3, kRow4}},
               {ORV_JOBS_NOT_STATE_17, {kRow1, kRow2, kRow3}},
               {ORV_JOBS_STATE_17, {kRow4}}};
  ASSERT_EQ(open("printer-rowindex"), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    expect_table(jobs(c.kind), c.want);
  }
}

TEST_F(PrinterLayouts, AMissingObjectIsAnEmptyTextOrTheMissingValueCode) {
  // printer-missingtext lacks the text of JOB-0044's origin (and sysName).
  const OrvJobInfo job44{4, 17, 1, 1, 1, "Completed", "", "Cancelled by User", "JOB-0044",
                         "Scan to mail", {2024, 3, 15, 0, 5, 42}, {2024, 3, 15, 0, 5, 43},
                         {2024, 3, 15, 0, 6, 23}};
  const struct {
    uint32_t kind;
    int32_t count;
    uint32_t position;  // of JOB-0044
  } cases[] = {{ORV_JOBS_ALL, 5, 3}, {ORV_JOBS_STATE_17, 3, 2}};
  ASSERT_EQ(open("printer-missingtext"), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    int32_t count = 0;
    ASSERT_EQ(OrvGetNumberOfJobInfo(h_, c.kind, &count), 0);
    EXPECT_EQ(count, c.count);
    OrvJobInfo got;
    ASSERT_EQ(OrvGetJobInfo(h_, c.position, &got), 0);
    EXPECT_EQ(orv::test::first_difference(got, job44), -1);
  }
  // An option object the printer lacks: the code for a missing value.
  EXPECT_EQ(OrvRefreshOptions(h_), -7);
}

TEST_F(PrinterLayouts, AColumnThatRunsOutLeavesItsCellsAbsent) {
  // printer-short16: table 10 holds the first three jobs, table 16 the first
  // two; past them integers read -1 (all bits for the unsigned ones), texts
  // and times empty. JOB-0044 and JOB-0045 take their identifiers from the
  // walked column.
  const uint32_t absent = 0xFFFFFFFFu;
  const OrvJobInfo job7{2, 3, 2, 2, 1, "Held", "Network", "Completed Normally", "7",
                        "Held proof.pdf", {2024, 3, 15, 14, 0, 0}, {}, {}};
  const OrvJobInfo p043{1, 17, 3, 3, 2, "Completed", "Network", "Completed Normally", "P043",
                        "Draft contract.docx", {2024, 3, 13, 16, 30, 45},
                        {2024, 3, 13, 16, 31, 5}, {2024, 3, 13, 16, 32, 0}};
  const OrvJobInfo job42{1, 17, 24, absent, absent, "Completed", "Network", "Completed Normally",
                         "JOB-0042", "Quarterly report.pdf", {2024, 3, 14, 9, 30, 45}, {}, {}};
  const OrvJobInfo job44{4, 17, 1, absent, absent, "Completed", "Internal", "", "JOB-0044",
                         "Scan to mail", {}, {}, {}};
  const OrvJobInfo job45{1, 5, 6, absent, absent, "Printing", "USB Direct Print", "",
                         "JOB-0045", "Poster A3.pdf", {}, {}, {}};
  const struct {
    uint32_t kind;
    std::vector<OrvJobInfo> want;
  } cases[] = {{ORV_JOBS_ALL, {job7, p043, job42, job44, job45}},
               {ORV_JOBS_NOT_STATE_17, {job7, job45}},
               {ORV_JOBS_STATE_17, {p043, job42, job44}}};
  ASSERT_EQ(open("printer-short16"), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    expect_table(jobs(c.kind), c.want);
  }
}

TEST_F(PrinterLayouts, FiveOctetNegativeIntegersWhileTheyFit32Bits) {
  const struct {
    const char* integer;  // every value of the peer's two rows, in the fewest octets
    int32_t rc;
  } cases[] = {{"-2147483648", 0},      // FF 80 00 00 00
               {"-2147483649", -203}};  // FF 7F FF FF FF: refused, the answer dropped
  for (const auto& c : cases) {
    SCOPED_TRACE(c.integer);
    const std::string host = orv::test::free_loopback_address();
    orv::test::ScriptedPeer peer(
        host + ":161", {"sysobjectid:1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2", "walk:2",
                        std::string("integer:") + c.integer});
    ASSERT_EQ(OrvInitDevice(h_, host.c_str(), 1, 300, 0), 0);
    int32_t count = 77;
    ASSERT_EQ(OrvGetNumberOfStorageInfo(h_, &count), c.rc);
    if (c.rc != 0) continue;
    // The type column's value is no OID: code 0; the description is its text.
    OrvStorageInfo want{0, INT32_MIN, INT32_MIN, {}};
    std::snprintf(want.description, sizeof want.description, "%s", c.integer);
    expect_table(kStorage, {want, want});
  }
}

TEST_F(PrinterLayouts, WholeIdentifiersAreListedAndCancelTheirOwnJob) {
  // printer-rowindex in walk order; the eight-character JOB-0045 and the
  // nine-character JOB-00451 and JOB-00452 share their record's job_id.
  const char* const ids[] = {"JOB\xE9", "JOB-0045", "JOB-00451", "JOB-00452"};
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", "printer-rowindex"), 0);
  ASSERT_EQ(open("printer-rowindex"), 0);
  int32_t count = 0;
  ASSERT_EQ(OrvGetNumberOfJobInfo(h_, ORV_JOBS_ALL, &count), 0);
  ASSERT_EQ(count, 4);
  for (uint32_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(ids[i]);
    const uint32_t length = static_cast<uint32_t>(std::strlen(ids[i]));
    std::vector<char> id(length + 1, 'x');
    EXPECT_EQ(OrvGetJobIdentifier(h_, i, id.data(), length), -2);  // no room for the terminator
    ASSERT_EQ(OrvGetJobIdentifier(h_, i, id.data(), length + 1), 0);
    EXPECT_STREQ(id.data(), ids[i]);
  }
  char past[ORV_JOB_IDENTIFIER_MAX + 1];
  EXPECT_EQ(OrvGetJobIdentifier(h_, 4, past, sizeof past), -11);
  // The nine-character identifier cancels its own job, not its eight-character prefix.
  ASSERT_EQ(OrvCancelJob(h_, "JOB-00451"), 0);
  const std::string cancel = "1.3.6.1.4.1.253.8.76.3.2.1.1.101.";
  EXPECT_EQ(orv::test::snmpget(*address_, "printer-rowindex",
                               {cancel + "8.74.79.66.45.48.48.52.53",
                                cancel + "9.74.79.66.45.48.48.52.53.49"})
                .out,
            "0\n1414\n");
}

}  // namespace
