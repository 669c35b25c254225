// The get-data object's GET forms and walks against simulated printers and
// scripted peers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "snmp/facade/get_data.h"
#include "snmp/facade/walk_rule.h"
#include "snmp/message/owning_list.h"
#include "support/lab.h"
#include "support/snmp_log_capture.h"
#include "facade_lab.h"

namespace orv::test {
namespace {

constexpr const char* kMemorySize = "1.3.6.1.2.1.25.2.2";
constexpr const char* kPasswordLength = "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.5";
constexpr const char* kInputTable = "1.3.6.1.2.1.43.8.2.1";

// One snmpsimd for the suite: printer-a as "public", other-vendor as
// "other-vendor".
class GetDataOnPrinter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!lab_missing(true, {"snmpsimd", "snmpget"}).empty()) return;
    address_ = free_loopback_address();
    agent_ = new SnmpsimAgent({.endpoints = {address_ + ":161"},
                               .serve = {"printer-a:public", "other-vendor"}});
  }
  static void TearDownTestSuite() {
    delete agent_;
    agent_ = nullptr;
  }
  void SetUp() override { ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"}); }

  static std::string address_;
  static SnmpsimAgent* agent_;
};

std::string GetDataOnPrinter::address_;
SnmpsimAgent* GetDataOnPrinter::agent_ = nullptr;

TEST_F(GetDataOnPrinter, SysObjectIdInstanceReadsBackAsDottedText) {
  GetDataPtr request = open_get_data(address_, "public");
  ASSERT_EQ(request->add_oid_string(kSysObjectId, true), kOk);
  char text[kGetDataTextSize];
  std::memset(text, 'Z', sizeof text);
  ASSERT_EQ(request->get_data(text), kOk);

  RunResult witness = snmpget(address_, "public", {"1.3.6.1.2.1.1.2.0"});
  ASSERT_EQ(witness.exit_code, 0) << witness.err;
  EXPECT_EQ(std::string(".") + text + "\n", witness.out);
  EXPECT_STREQ(text, "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2");
}

TEST_F(GetDataOnPrinter, IntegerFormsTakeTheBindingsInOrder) {
  GetDataPtr one = open_get_data(address_, "public");
  ASSERT_EQ(one->add_oid_string(kMemorySize, true), kOk);
  int32_t memory = 0;
  ASSERT_EQ(one->get_data(&memory), kOk);
  EXPECT_EQ(memory, 524288);

  // Count 3 against two bindings: both filled, the third missing.
  GetDataPtr array = open_get_data(address_, "public");
  ASSERT_EQ(array->add_oid_string(kMemorySize, true), kOk);
  ASSERT_EQ(array->add_oid_string(kPasswordLength, false), kOk);
  int32_t values[3] = {-99, -99, -99};
  EXPECT_EQ(array->get_data(values, 3), kErrNoValue);
  EXPECT_EQ(values[0], 524288);
  EXPECT_EQ(values[1], 8);
  EXPECT_EQ(values[2], -99);
}

TEST_F(GetDataOnPrinter, MissingObjectReadsAsNegative) {
  // SNMPv1 answers noSuchName echoing the request; callers take a negative
  // number as "not there".
  GetDataPtr request = open_get_data(address_, "other-vendor");
  ASSERT_EQ(request->add_oid_string(kPasswordLength, false), kOk);
  ASSERT_EQ(request->add_oid_string(kMemorySize, true), kOk);
  int32_t values[2] = {0, 0};
  ASSERT_EQ(request->get_data(values, 2), kOk);
  EXPECT_LT(values[0], 0);
  EXPECT_LT(values[1], 0);
}

TEST_F(GetDataOnPrinter, WalkGivesOneRowPerTrayWithTheColumnsInOrder) {
  const std::string type = std::string(kInputTable) + ".2";
  const std::string capacity = std::string(kInputTable) + ".9";
  const std::string name = std::string(kInputTable) + ".13";
  GetDataPtr request = open_get_data(address_, "public");
  ASSERT_EQ(request->add_oid_string(type.c_str(), false), kOk);
  ASSERT_EQ(request->add_oid_string(capacity.c_str(), false), kOk);
  ASSERT_EQ(request->add_oid_string(name.c_str(), false), kOk);
  PduListPtr rows(qes_create_pdu_list());
  ASSERT_EQ(request->get_data(rows.get(), type.c_str()), kOk);

  const auto types = snmprec_lines("printer-a", type);
  const auto capacities = snmprec_lines("printer-a", capacity);
  const auto names = snmprec_lines("printer-a", name);
  ASSERT_EQ(types.size(), 3u);
  ASSERT_EQ(rows->count(), types.size());
  for (uint32_t i = 0; i < rows->count(); ++i) {
    const IQesPdu* row = rows->at(i);
    EXPECT_EQ(binding_oids(row),
              (std::vector<std::string>{types[i].oid, capacities[i].oid, names[i].oid}));
    const IQesVarBindList* list = row->var_bind_list();
    ASSERT_EQ(list->count(), 3u);
    EXPECT_EQ(text_of(list->at(0)->value()), types[i].value);
    EXPECT_EQ(text_of(list->at(1)->value()), capacities[i].value);
    EXPECT_EQ(text_of(list->at(2)->value()), names[i].value);
  }
}

TEST_F(GetDataOnPrinter, WalkOfATableThePrinterLacksIsEmpty) {
  const char* vendor_settings = "1.3.6.1.4.1.253.8.53.13.2.1.6";
  GetDataPtr request = open_get_data(address_, "other-vendor");
  ASSERT_EQ(request->add_oid_string(vendor_settings, false), kOk);
  PduListPtr rows(qes_create_pdu_list());
  EXPECT_EQ(request->get_data(rows.get(), vendor_settings), kOk);
  EXPECT_EQ(rows->count(), 0u);
}

TEST_F(GetDataOnPrinter, WalkEndsAtTheEndOfTheAgentsView) {
  // Rooted above everything, only the agent's noSuchName past its last
  // object can end this walk: every object of the file is one row.
  GetDataPtr request = open_get_data(address_, "public");
  ASSERT_EQ(request->add_oid_string("1.3", false), kOk);
  PduListPtr rows(qes_create_pdu_list());
  ASSERT_EQ(request->get_data(rows.get(), "1.3"), kOk);

  const auto lines = snmprec_lines("printer-a", "");
  ASSERT_EQ(rows->count(), lines.size());
  for (uint32_t i = 0; i < rows->count(); ++i) {
    ASSERT_EQ(binding_oids(rows->at(i)), std::vector<std::string>{lines[i].oid}) << "row " << i;
  }
}

class GetDataOnScriptedPeer : public ::testing::Test {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(false, {"python3"});
    host_ = free_loopback_address(kPort);
  }
  std::string bind() const { return host_ + ":" + std::to_string(kPort); }

  static constexpr uint16_t kPort = 16100;
  std::string host_;
};

TEST_F(GetDataOnScriptedPeer, SilentPeerGivesTheTimeoutOfEveryTry) {
  ScriptedPeer peer(bind(), {"silent"});
  GetDataPtr request = open_get_data(host_, "public", kPort, 200, 1);
  ASSERT_EQ(request->add_oid_string(kMemorySize, true), kOk);
  int32_t value = 77;
  EXPECT_EQ(request->get_data(&value), kErrTimeout);
  EXPECT_EQ(value, 77);
  EXPECT_TRUE(peer.wait_for_datagrams(2, 2000));

  GetDataPtr walk = open_get_data(host_, "public", kPort, 200, 0);
  ASSERT_EQ(walk->add_oid_string(kInputTable, false), kOk);
  PduListPtr rows(qes_create_pdu_list());
  EXPECT_EQ(walk->get_data(rows.get(), kInputTable), kErrTimeout);
  EXPECT_EQ(rows->count(), 0u);
}

TEST_F(GetDataOnScriptedPeer, WalkEndsWhenTheAgentDoesNotAdvance) {
  // The echo peer answers every GETNEXT with the OID it was asked: a row
  // inside the table that never moves on.
  ScriptedPeer peer(bind(), {"echo"});
  const std::string column = std::string(kInputTable) + ".13.1.1";
  GetDataPtr request = open_get_data(host_, "public", kPort, 500, 0);
  ASSERT_EQ(request->add_oid_string(column.c_str(), false), kOk);
  PduListPtr rows(qes_create_pdu_list());
  EXPECT_EQ(request->get_data(rows.get(), kInputTable), kOk);
  EXPECT_EQ(rows->count(), 0u);
  EXPECT_EQ(peer.datagrams().size(), 1u);
}

// How a walk ends on each kind of answer: only the table's end and an
// SNMPv1 agent's noSuchName are success; a refusal or an agent that never
// stops fails the read instead of passing for a shorter table.
TEST_F(GetDataOnScriptedPeer, WalkEndsOnlyAtTheTablesEndAndFailsOnRefusals) {
  const std::string type = std::string(kInputTable) + ".2";
  const std::string capacity = std::string(kInputTable) + ".9";
  const std::string name = std::string(kInputTable) + ".13";
  const std::string refused = "walk of " + type + " refused: error-status ";
  struct Case {
    const char* what;
    std::vector<std::string> modes;
    Result rc;
    uint32_t rows;
    std::string line;  // the "snmp" Error line; empty: no walk line
  };
  const Case cases[] = {
      {"three rows, then the next column", {"walk:3"}, kOk, 3, ""},
      {"noSuchName on row 2, an SNMPv1 view's end", {"walk:3", "error-at:" + type + ".1001:2"}, kOk,
       1, ""},
      {"genErr on row 2", {"walk:3", "error-at:" + type + ".1001:5"}, kErrNoValue, 1,
       refused + "5, error-index 1."},
      {"badValue on row 1", {"walk:3", "error-at:" + type + ":3"}, kErrNoValue, 0,
       refused + "3, error-index 1."},
      {"readOnly in the last column of row 3", {"walk:3", "error-at:" + name + ".1002:4"}, kErrNoValue, 2,
       refused + "4, error-index 3."},
      {"tooBig even for one binding", {"walk:3", "toobig-above:0"}, kErrCannotSplit, 0, ""},
      {"as many rows as a walk keeps", {"walk:10000"}, kOk, facade::kWalkRowLimit, ""},
      {"rows without end", {"walk:-"}, kErrNoValue, facade::kWalkRowLimit,
       "walk of " + type + " stopped after 10000 rows."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_ = free_loopback_address(kPort);
    ScriptedPeer peer(bind(), c.modes);
    GetDataPtr request = open_get_data(host_, "public", kPort, 500, 0);
    for (const std::string& column : {type, capacity, name}) {
      ASSERT_EQ(request->add_oid_string(column.c_str(), false), kOk);
    }
    PduListPtr rows(qes_create_pdu_list());
    orv::testing::SnmpLogCapture lines(log::kMaskError);
    EXPECT_EQ(request->get_data(rows.get(), type.c_str()), c.rc);
    ASSERT_EQ(rows->count(), c.rows);
    // Each row kept holds the columns in order, rows in walk order.
    for (uint32_t i : {0u, c.rows - 1}) {
      if (i >= c.rows) continue;
      const std::string index = std::string(".").append(std::to_string(1001 + i));
      EXPECT_EQ(binding_oids(rows->at(i)),
                (std::vector<std::string>{type + index, capacity + index, name + index}));
    }
    if (c.line.empty()) {
      EXPECT_EQ(lines.text().find("walk of"), std::string::npos) << lines.text();
    } else {
      EXPECT_TRUE(lines.has("Error", c.line)) << lines.text();
    }
  }
}

TEST_F(GetDataOnScriptedPeer, ResponseWithoutBindingsHasNoValue) {
  ScriptedPeer peer(bind(), {"echo"});
  GetDataPtr walk = open_get_data(host_, "public", kPort, 500, 0);
  PduListPtr rows(qes_create_pdu_list());
  EXPECT_EQ(walk->get_data(rows.get(), kInputTable), kErrNoValue);
  GetDataPtr text = open_get_data(host_, "public", kPort, 500, 0);
  char buffer[kGetDataTextSize] = "kept";
  EXPECT_EQ(text->get_data(buffer), kErrNoValue);
  EXPECT_STREQ(buffer, "kept");
}

TEST_F(GetDataOnScriptedPeer, LongTextIsCutAtTheCallersBuffer) {
  // The echo peer answers a NULL binding with its OID text: an OID of 300
  // characters comes back as a 300-character OCTET STRING.
  ScriptedPeer peer(bind(), {"echo"});
  std::string oid = "1.3.6.1.4.1.253";
  while (oid.size() < 300) oid += ".1234";
  GetDataPtr request = open_get_data(host_, "public", kPort, 500, 0);
  ASSERT_EQ(request->add_oid_string(oid.c_str(), false), kOk);
  char buffer[kGetDataTextSize + 16];
  std::memset(buffer, 'G', sizeof buffer);
  ASSERT_EQ(request->get_data(buffer), kOk);
  EXPECT_EQ(std::string(buffer), oid.substr(0, kGetDataTextSize - 1));
  for (size_t i = kGetDataTextSize; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 'G') << i;
}

}  // namespace
}  // namespace orv::test
