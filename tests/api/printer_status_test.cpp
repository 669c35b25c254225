// The status exports against the simulated printers: every record, byte for
// byte, as tests/data/README.md lists it for the printer's data file.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "api/status_records.h"
#include "orv/orv.h"
#include "support/lab.h"

namespace {

using orv::test::SnmpsimAgent;

using orv::test::first_difference;
using orv::test::jobs;
using orv::test::kAlerts;
using orv::test::kDevices;
using orv::test::kInputs;
using orv::test::kOutputs;
using orv::test::kStorage;
using orv::test::kToners;

class PrinterStatus : public orv::test::PrinterLab<PrinterStatus> {
 public:
  static std::vector<std::string> printers() {
    return {"printer-a", "printer-b", "printer-badversion", "printer-manytrays"};
  }
};

TEST_F(PrinterStatus, StorageTable) {
  ASSERT_EQ(open("printer-a"), 0);
  // Flash ROM's type (hrStorageType .9) is outside the storage type table.
  expect_table(kStorage, {{2, 1024, 524288, "Main Memory"},
                          {4, 4096, 39062500, "Hard Disk"},
                          {8, 1024, 65536, "RAM Disk"},
                          {0, 1024, 131072, "Flash ROM"}});
  ASSERT_EQ(open("printer-b"), 0);
  expect_table(kStorage, {{2, 1024, 262144, "Main Memory"}, {4, 4096, 19531250, "Hard Disk"}});
}

TEST_F(PrinterStatus, DeviceTable) {
  ASSERT_EQ(open("printer-a"), 0);
  expect_table(kDevices, {{5, 2, "Verdane 8300"},
                          {6, 2, "RAM Disk"},
                          {3, 2, "Printer Controller v2.41.7 - Processor"},
                          {6, 2, "Hard Disk Drive 160 GB"},
                          {102, 2, "Document Scanner"},
                          {105, 2, "Integrated Finisher"},
                          {108, 3, "Fax Module"},
                          {154, 2, "High Capacity Feeder"}});
  ASSERT_EQ(open("printer-b"), 0);
  expect_table(kDevices, {{5, 2, "Verdane 8300"},
                          {5, 2, "Verdane 8300 Secondary Engine"},
                          {3, 2, "Printer Controller v3.5.12 - Processor"},
                          {6, 2, "Hard Disk Drive 80 GB"},
                          {103, 2, "Copier Module"},
                          {105, 5, "Integrated Finisher"},
                          {108, 2, "Fax Module"},
                          {201, 2, "Tandem Tray Module"}});
}

TEST_F(PrinterStatus, PrinterTableGivesTheLastRowAndFourErrorOctets) {
  const struct {
    const char* printer;
    OrvPrinterInfo want;
  } cases[] = {
      // Five octets: the fifth is not kept.
      {"printer-a", {3, {0xA0, 0x04, 0x03, 0x01}}},
      // Two rows, the second (one octet) wins; the missing octets are zero.
      {"printer-b", {4, {0x80, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(open(c.printer), 0);
    OrvPrinterInfo got;
    std::memset(&got, 0x5A, sizeof got);
    ASSERT_EQ(OrvGetPrinterInfo(h_, &got), 0);
    EXPECT_EQ(first_difference(got, c.want), -1) << c.printer;
  }
}

TEST_F(PrinterStatus, InputAndOutputTrayTables) {
  ASSERT_EQ(open("printer-a"), 0);
  expect_table(kInputs, {{4, 4, 297000, 210000, 297000, 210000, 8, 500, 250, 0, "A4", "Tray 1",
                          "Paper Tray 1 (A4)", "stationery", "white"},
                         {4, 4, 215900, 279400, 215900, 279400, 8, 550, 412, 0, "Letter",
                          "Tray 2", "Paper Tray 2 (Letter)", "stationery", "white"},
                         {5, 4, 210000, 148000, 210000, 148000, 8, 100, -3, 0, "A5",
                          "Bypass Tray", "Manual Feed Tray", "transparency", "clear"}});
  expect_table(kOutputs, {{4, 0, "Center Output Tray", "Face-down center tray"},
                          {3, 0, "Finisher Tray", "Finisher upper tray"}});
  ASSERT_EQ(open("printer-b"), 0);
  int32_t count = 0;
  ASSERT_EQ(OrvGetNumberOfInputTrayInfo(h_, &count), 0);
  ASSERT_EQ(count, 3);
  OrvInputTrayInfo envelope;
  ASSERT_EQ(OrvGetInputTrayInfo(h_, 2, &envelope), 0);
  const OrvInputTrayInfo want{6,     3,    85000,      110000,           85000,      110000,
                              3,     20000, 5000,      0,                "Custom",   "Envelope Feeder",
                              "Envelope Feeder", "envelope", "white"};
  EXPECT_EQ(first_difference(envelope, want), -1);
  expect_table(kOutputs, {{4, 0, "Main Output Bin", "Face-down output bin"}});
}

TEST_F(PrinterStatus, TonerTableKeepsTonersOnly) {
  ASSERT_EQ(open("printer-a"), 0);
  expect_table(kToners, {{19, 100, 12, "Black Toner Cartridge"},
                         {19, 100, 64, "Cyan Toner Cartridge"},
                         {19, 100, 58, "Magenta Toner Cartridge"},
                         {19, 100, 71, "Yellow Toner Cartridge"}});
  // Four supplies, two of them toner.
  ASSERT_EQ(open("printer-badversion"), 0);
  expect_table(kToners, {{19, 100, 40, "Black Toner Cartridge"},
                         {19, 100, 75, "Red Toner Cartridge"}});
}

TEST_F(PrinterStatus, AlertTable) {
  ASSERT_EQ(open("printer-a"), 0);
  expect_table(kAlerts, {{4, 11, 1, 0, 1104, "Black toner is low"},
                         {4, 8, 3, 0, 807, "Bypass tray: paper low"}});
  ASSERT_EQ(open("printer-b"), 0);
  expect_table(kAlerts, {{3, 6, 1, 0, 3, "Front cover is open"}});
}

TEST_F(PrinterStatus, APrinterWithoutTheTableCountsNothing) {
  ASSERT_EQ(open("printer-manytrays"), 0);
  expect_table(kAlerts, {});
  for (uint32_t kind = 0; kind <= 2; ++kind) expect_table(jobs(kind), {});
}

TEST_F(PrinterStatus, CharacterSets) {
  const struct {
    const char* printer;
    int32_t printer_set, vendor_set;
  } cases[] = {{"printer-a", 106, 106}, {"printer-b", 17, 106}};
  for (const auto& c : cases) {
    ASSERT_EQ(open(c.printer), 0);
    int32_t got = -1;
    ASSERT_EQ(OrvGetCharSet(h_, ORV_CHARSET_PRINTER, &got), 0);
    EXPECT_EQ(got, c.printer_set) << c.printer;
    ASSERT_EQ(OrvGetCharSet(h_, ORV_CHARSET_VENDOR, &got), 0);
    EXPECT_EQ(got, c.vendor_set) << c.printer;
  }
}

// printer-a's jobs in walk order (by identifier length, then text).
const OrvJobInfo kJob7{2, 3, 2, 2, 1, "Held", "Network", "Completed Normally", "7",
                       "Held proof.pdf", {2024, 3, 15, 14, 0, 0}, {}, {}};
const OrvJobInfo kJobP043{1, 17, 3, 3, 2, "Completed", "Network", "Completed Normally", "P043",
                          "Draft contract.docx", {2024, 3, 13, 16, 30, 45},
                          {2024, 3, 13, 16, 31, 5}, {2024, 3, 13, 16, 32, 0}};
const OrvJobInfo kJob42{1, 17, 24, 24, 12, "Completed", "Network", "Completed Normally",
                        "JOB-0042", "Quarterly report.pdf", {2024, 3, 14, 9, 30, 45},
                        {2024, 3, 14, 9, 31, 0}, {2024, 3, 14, 9, 37, 12}};
// Created at hour 0: minute and second still count.
const OrvJobInfo kJob44{4, 17, 1, 1, 1, "Completed", "Internal", "Cancelled by User", "JOB-0044",
                        "Scan to mail", {2024, 3, 15, 0, 5, 42}, {2024, 3, 15, 0, 5, 43},
                        {2024, 3, 15, 0, 6, 23}};
const OrvJobInfo kJob45{1, 5, 6, 6, 3, "Printing", "USB Direct Print", "Completed Normally",
                        "JOB-0045", "Poster A3.pdf", {2024, 3, 14, 10, 30, 45},
                        {2024, 3, 14, 10, 31, 5}, {}};

TEST_F(PrinterStatus, JobKindsFilterByState17) {
  ASSERT_EQ(open("printer-a"), 0);
  expect_table(jobs(ORV_JOBS_ALL), {kJob7, kJobP043, kJob42, kJob44, kJob45});
  expect_table(jobs(ORV_JOBS_NOT_STATE_17), {kJob7, kJob45});
  expect_table(jobs(ORV_JOBS_STATE_17), {kJobP043, kJob42, kJob44});

  // Every job of printer-b is in state 17.
  ASSERT_EQ(open("printer-b"), 0);
  expect_table(jobs(ORV_JOBS_NOT_STATE_17), {});
  int32_t count = 0;
  ASSERT_EQ(OrvGetNumberOfJobInfo(h_, ORV_JOBS_STATE_17, &count), 0);
  EXPECT_EQ(count, 2);
}

TEST_F(PrinterStatus, CancelSetsTheJobsObjectWithTheWriteCommunity) {
  const std::string job45 = "1.3.6.1.4.1.253.8.76.3.2.1.1.101.8.74.79.66.45.48.48.52.53";
  const std::string job7 = "1.3.6.1.4.1.253.8.76.3.2.1.1.101.1.55";
  // The agent knows no "private": the default write community gets no answer.
  ASSERT_EQ(open("printer-a", 300, 0), 0);
  EXPECT_EQ(OrvCancelJob(h_, "JOB-0045"), -203);
  EXPECT_EQ(orv::test::snmpget(*address_, "printer-a", {job45}).out, "0\n");

  // The write community takes effect at the next open.
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", "printer-a"), 0);
  ASSERT_EQ(open("printer-a"), 0);
  EXPECT_EQ(OrvCancelJob(h_, "JOB-0045"), 0);
  EXPECT_EQ(OrvCancelJob(h_, "7"), 0);
  EXPECT_EQ(orv::test::snmpget(*address_, "printer-a", {job45, job7}).out, "1414\n1414\n");
  // A finished job has no cancel object; an unknown job neither.
  EXPECT_EQ(OrvCancelJob(h_, "JOB-0042"), -7);
  EXPECT_EQ(OrvCancelJob(h_, "NO-SUCH"), -7);
}

TEST_F(PrinterStatus, ACountThatFailsAfterAGoodOneLeavesNoRecords) {
  // A printer of its own, stopped between the two readings.
  const std::string address = orv::test::free_loopback_address();
  SnmpsimAgent printer(orv::test::SnmpsimOptions{.endpoints = {address + ":161"},
                                                 .serve = {"printer-a:public"}});
  ASSERT_EQ(OrvInitDevice(h_, address.c_str(), 1, 300, 0), 0);
  const std::vector<std::function<int32_t(int32_t*)>> counts = {
      [&](int32_t* n) { return OrvGetNumberOfStorageInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfDeviceInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfInputTrayInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfOutputTrayInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfTonerInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfAlertInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfJobInfo(h_, 0, n); },
      [&](int32_t* n) { return OrvGetNumberOfMarkerInfo(h_, n); },
      [&](int32_t* n) { return OrvGetNumberOfSupplyInfo(h_, n); }};
  std::vector<char> record(2048);
  const std::vector<std::function<int32_t()>> first_records = {
      [&] { return OrvGetStorageInfo(h_, 0, reinterpret_cast<OrvStorageInfo*>(record.data())); },
      [&] { return OrvGetDeviceInfo(h_, 0, reinterpret_cast<OrvDeviceInfo*>(record.data())); },
      [&] { return OrvGetInputTrayInfo(h_, 0, reinterpret_cast<OrvInputTrayInfo*>(record.data())); },
      [&] { return OrvGetOutputTrayInfo(h_, 0, reinterpret_cast<OrvOutputTrayInfo*>(record.data())); },
      [&] { return OrvGetTonerInfo(h_, 0, reinterpret_cast<OrvTonerInfo*>(record.data())); },
      [&] { return OrvGetAlertInfo(h_, 0, reinterpret_cast<OrvAlertInfo*>(record.data())); },
      [&] { return OrvGetJobInfo(h_, 0, reinterpret_cast<OrvJobInfo*>(record.data())); },
      [&] { return OrvGetMarkerInfo(h_, 0, reinterpret_cast<OrvMarkerInfo*>(record.data())); },
      [&] { return OrvGetSupplyInfo(h_, 0, reinterpret_cast<OrvSupplyInfo*>(record.data())); }};
  for (size_t t = 0; t < counts.size(); ++t) {
    int32_t n = 0;
    ASSERT_EQ(counts[t](&n), 0) << "table " << t;
    ASSERT_GT(n, 0) << "table " << t;
    ASSERT_EQ(first_records[t](), 0) << "table " << t;
  }
  printer.stop();
  for (size_t t = 0; t < counts.size(); ++t) {
    int32_t n = 77;
    EXPECT_EQ(counts[t](&n), -203) << "table " << t;
    EXPECT_EQ(n, 77) << "table " << t;
    EXPECT_EQ(first_records[t](), -11) << "table " << t;
  }
  OrvPrinterInfo info;
  std::memset(&info, 0x5A, sizeof info);
  EXPECT_EQ(OrvGetPrinterInfo(h_, &info), -203);
  EXPECT_EQ(info.status, 0x5A5A5A5A);
  OrvPrinterState state;
  std::memset(&state, 0x5A, sizeof state);
  EXPECT_EQ(OrvGetPrinterState(h_, &state), -203);
  EXPECT_EQ(state.state, 0x5A5A5A5A);
}

}  // namespace
