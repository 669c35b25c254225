// Checks of status records read through the exports: a table's count, every
// record byte for byte, and the position past the last.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "orv/orv.h"
#include "orv/orv_ext.h"
#include "support/lab.h"

namespace orv::test {

// The offset of the first byte in which two records differ, or -1.
template <typename Record>
long first_difference(const Record& got, const Record& want) {
  const auto* a = reinterpret_cast<const unsigned char*>(&got);
  const auto* b = reinterpret_cast<const unsigned char*>(&want);
  for (size_t i = 0; i < sizeof(Record); ++i) {
    if (a[i] != b[i]) return static_cast<long>(i);
  }
  return -1;
}

// One table of the exports: its count and its record getter.
template <typename Record>
struct Table {
  std::function<int32_t(OrvHandle, int32_t*)> count;
  int32_t (*get)(OrvHandle, uint32_t, Record*);
};

inline const Table<OrvStorageInfo> kStorage{OrvGetNumberOfStorageInfo, OrvGetStorageInfo};
inline const Table<OrvDeviceInfo> kDevices{OrvGetNumberOfDeviceInfo, OrvGetDeviceInfo};
inline const Table<OrvInputTrayInfo> kInputs{OrvGetNumberOfInputTrayInfo, OrvGetInputTrayInfo};
inline const Table<OrvOutputTrayInfo> kOutputs{OrvGetNumberOfOutputTrayInfo,
                                               OrvGetOutputTrayInfo};
inline const Table<OrvTonerInfo> kToners{OrvGetNumberOfTonerInfo, OrvGetTonerInfo};
inline const Table<OrvAlertInfo> kAlerts{OrvGetNumberOfAlertInfo, OrvGetAlertInfo};
inline const Table<OrvMarkerInfo> kMarkers{OrvGetNumberOfMarkerInfo, OrvGetMarkerInfo};
inline const Table<OrvSupplyInfo> kSupplies{OrvGetNumberOfSupplyInfo, OrvGetSupplyInfo};
inline Table<OrvJobInfo> jobs(uint32_t kind) {
  return {[kind](OrvHandle h, int32_t* n) { return OrvGetNumberOfJobInfo(h, kind, n); },
          OrvGetJobInfo};
}

// Counts the table and compares every record with `want`; the position
// past the last one is out of range.
template <typename Record>
void expect_table(OrvHandle h, const Table<Record>& table, const std::vector<Record>& want) {
  int32_t count = -1;
  ASSERT_EQ(table.count(h, &count), 0);
  ASSERT_EQ(count, static_cast<int32_t>(want.size()));
  for (uint32_t i = 0; i < want.size(); ++i) {
    Record got;
    std::memset(&got, 0x5A, sizeof got);
    ASSERT_EQ(table.get(h, i, &got), 0);
    EXPECT_EQ(first_difference(got, want[i]), -1) << "record " << i;
  }
  Record past;
  EXPECT_EQ(table.get(h, static_cast<uint32_t>(want.size()), &past), -11);
}

// A test suite with one snmpsimd serving Suite::printers(), each file under
// its own name as community, and a handle per test.
template <typename Suite>
class PrinterLab : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!lab_missing(true, {"snmpsimd", "snmpget"}).empty()) return;
    address_ = new std::string(free_loopback_address());
    agent_ = new SnmpsimAgent(
        SnmpsimOptions{.endpoints = {*address_ + ":161"}, .serve = Suite::printers()});
  }
  static void TearDownTestSuite() {
    delete agent_;
    delete address_;
    agent_ = nullptr;
    address_ = nullptr;
  }
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
    ASSERT_EQ(OrvInit(&h_), 0);
  }
  void TearDown() override { OrvUnInit(h_); }

  int32_t open(const std::string& printer, uint32_t timeout_ms = 1000, uint32_t retries = 1) {
    EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", printer.c_str()), 0);
    return OrvInitDevice(h_, address_->c_str(), 1, timeout_ms, retries);
  }

  template <typename Record>
  void expect_table(const Table<Record>& table, const std::vector<Record>& want) {
    orv::test::expect_table(h_, table, want);
  }

  static inline std::string* address_ = nullptr;
  static inline SnmpsimAgent* agent_ = nullptr;
  OrvHandle h_ = nullptr;
};

}  // namespace orv::test
