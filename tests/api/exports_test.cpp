// Every argument check and result code of the exports of liborv.so, as a
// host calls them. Opens go to a private snmpd of the supported family;
// option values come from the store an open leaves before any refresh
// (printer_options_test.cpp refreshes from simulated printers).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/family_agent.h"
#include "orv/orv.h"
#include "device/option_keys.h"

using namespace orv::testing;  // option key lists

namespace {

constexpr int32_t kInvalid = -2;
constexpr int32_t kNotSupported = -5;
constexpr int32_t kNoDevice = -8;
constexpr int32_t kIndexRange = -11;


class Exports : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(OrvInit(&h_), 0); }
  void TearDown() override { OrvUnInit(h_); }

  OrvHandle h_ = nullptr;
};

// With a supported printer to open.
class ExportsOpen : public Exports {
 protected:
  void SetUp() override {
    ORV_REQUIRE_LAB(true, {"snmpd"});
    Exports::SetUp();
    printer_ = std::make_unique<orv::test::FamilyAgent>();
  }
  void Open() { ASSERT_EQ(OrvInitDevice(h_, address(), 1, 1000, 1), 0); }
  const char* address() const { return printer_->address.c_str(); }

  std::unique_ptr<orv::test::FamilyAgent> printer_;
};

// ---------------------------------------------------------------------------
// Handle life and commands.

TEST(ExportsInit, NullOutPointerGivesInvalid) { EXPECT_EQ(OrvInit(nullptr), kInvalid); }

TEST(ExportsInit, MakesDistinctHandlesAndUnInitIgnoresNull) {
  OrvHandle a = nullptr;
  OrvHandle b = nullptr;
  ASSERT_EQ(OrvInit(&a), 0);
  ASSERT_EQ(OrvInit(&b), 0);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(a, b);
  OrvUnInit(a);
  OrvUnInit(b);
  OrvUnInit(nullptr);
}

TEST_F(Exports, CommandStringChecksItsThreePointers) {
  EXPECT_EQ(OrvCommandString(nullptr, "CmdSetCommunityFind", "x"), kInvalid);
  EXPECT_EQ(OrvCommandString(h_, nullptr, "x"), kInvalid);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", nullptr), kInvalid);
  EXPECT_EQ(OrvCommandString(h_, nullptr, nullptr), kInvalid);
}

TEST_F(Exports, CommandStringKnowsTheThreeCommands) {
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", "reader"), 0);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", "finder"), 0);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", "writer"), 0);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityFind", ""), 0);
}

TEST_F(Exports, CommandStringMatchesWholeCaseSensitiveNames) {
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityFindX", "x"), kNotSupported);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityFin", "x"), kNotSupported);
  EXPECT_EQ(OrvCommandString(h_, "cmdSetCommunityFind", "x"), kNotSupported);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption ", "x"), kNotSupported);
  EXPECT_EQ(OrvCommandString(h_, "", "x"), kNotSupported);
  EXPECT_EQ(OrvCommandString(h_, "CmdUnknown", "x"), kNotSupported);
}

TEST_F(Exports, CommandStringTakes255CharactersAndRefusesLonger) {
  const std::string fits(255, 'c');
  const std::string too_long(256, 'c');
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", fits.c_str()), 0);
  EXPECT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", too_long.c_str()), kInvalid);
  // An unknown command is reported as such whatever the value.
  EXPECT_EQ(OrvCommandString(h_, "CmdOther", too_long.c_str()), kNotSupported);
}

TEST_F(Exports, CommandIntegerKnowsNoCommand) {
  int32_t value = 0;
  EXPECT_EQ(OrvCommandInteger(nullptr, 0, &value), kInvalid);
  EXPECT_EQ(OrvCommandInteger(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvCommandInteger(nullptr, 0, nullptr), kInvalid);
  for (int32_t command : {0, 1, 2, -1, 1000}) {
    EXPECT_EQ(OrvCommandInteger(h_, command, &value), kNotSupported) << command;
  }
}

// ---------------------------------------------------------------------------
// Device opening.

TEST_F(Exports, InitDeviceChecksHandleAndAddress) {
  EXPECT_EQ(OrvInitDevice(nullptr, "127.0.0.1", 1, 1000, 1), kInvalid);
  EXPECT_EQ(OrvInitDevice(h_, nullptr, 1, 1000, 1), kInvalid);
  OrvUSMParameters usm{};
  EXPECT_EQ(OrvInitDeviceEx(nullptr, "127.0.0.1", 1, 0, &usm, 1000, 1), kInvalid);
  EXPECT_EQ(OrvInitDeviceEx(h_, nullptr, 1, 0, &usm, 1000, 1), kInvalid);
}

TEST_F(Exports, InitDeviceRejectsUnmappedProtocols) {
  OrvUSMParameters usm{};
  for (int32_t protocol : {0, 4, 6, -1, 255}) {
    EXPECT_EQ(OrvInitDevice(h_, "127.0.0.1", protocol, 1000, 1), kInvalid) << protocol;
    EXPECT_EQ(OrvInitDeviceEx(h_, "127.0.0.1", protocol, 0, &usm, 1000, 1), kInvalid) << protocol;
  }
  // Argument errors never touch the handle: no option object was made.
  int32_t value = 0;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "NumberOfInputTray", 0, &value), kNoDevice);
}

TEST_F(Exports, HandleChecksComeBeforeTheProtocol) {
  EXPECT_EQ(OrvInitDevice(nullptr, nullptr, 4, 0, 0), kInvalid);
  int32_t count = 0;
  EXPECT_EQ(OrvFindDeviceSNMP(nullptr, nullptr, 3, 0, 0, &count), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMP(h_, nullptr, 3, 0, 0, nullptr), kInvalid);
}

// A null record pointer is taken as the all-zero record rather than read.
TEST_F(Exports, ExtendedOpenAndFindTakeANullRecordAsAllZero) {
  int32_t count = 7;
  EXPECT_EQ(OrvInitDeviceEx(h_, "::1", 1, 2, nullptr, 100, 0), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMPEx(h_, "::1", 1, 2, nullptr, 100, 0, &count), kInvalid);
  EXPECT_EQ(count, 7);
  int32_t value = 9;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "NumberOfInputTray", 0, &value), 0);
  EXPECT_EQ(value, 0);
}

TEST_F(ExportsOpen, InitDeviceOpensASupportedPrinter) {
  EXPECT_EQ(OrvInitDevice(h_, address(), 1, 1000, 1), 0);
  // Security model 5 is no model: community requests.
  OrvUSMParameters usm{};
  std::strcpy(usm.user_name, "operator");
  EXPECT_EQ(OrvInitDeviceEx(h_, address(), 1, 5, &usm, 1000, 1), 0);
}

TEST_F(Exports, AnAddressOfAnotherFamilyIsRefusedBeforeAnyTraffic) {
  EXPECT_EQ(OrvInitDevice(h_, "::1", 1, 1000, 1), kInvalid);
  EXPECT_EQ(OrvInitDevice(h_, "127.0.0.1", 5, 1000, 1), kInvalid);
  EXPECT_EQ(OrvInitDevice(h_, "127.0.0.1", 2, 1000, 1), kInvalid);
  // The option object stays and answers from its cleared store.
  int32_t value = 9;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "MemorySizeInKByte", 0, &value), 0);
  EXPECT_EQ(value, 0);
}

// A text that is no numeric address is a failed lookup (-1), told apart from
// a printer whose answer lacked a value (-7), and nothing is sent.
TEST_F(Exports, AnAddressThatIsNoAddressIsAFailedLookup) {
  constexpr int32_t kFailedLookup = -1;
  const struct {
    const char* address;
    int32_t protocol;
  } cases[] = {
      {"printer.invalid", 1}, {"printer.invalid", 5}, {"", 1},          {"", 5},
      {"1.2.3.4x", 1},        {"300.1.1.1", 1},       {"ff02::1::2", 5}, {"localhost", 1},
  };
  OrvUSMParameters usm{};
  for (const auto& c : cases) {
    EXPECT_EQ(OrvInitDevice(h_, c.address, c.protocol, 100, 0), kFailedLookup)
        << '"' << c.address << "\" over " << c.protocol;
    EXPECT_EQ(OrvInitDeviceEx(h_, c.address, c.protocol, 0, &usm, 100, 0), kFailedLookup)
        << '"' << c.address << "\" over " << c.protocol;
  }
}

TEST_F(Exports, ProtocolThreeReachesInitWhichRefusesIt) {
  EXPECT_EQ(OrvInitDevice(h_, "127.0.0.1", 3, 1000, 1), kInvalid);
  // The option object stays on the handle; the status reader was never made.
  int32_t value = 9;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "NumberOfInputTray", 0, &value), 0);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(OrvIsSupportedOID(h_, ""), 1);
  int32_t count = 0;
  EXPECT_EQ(OrvGetNumberOfTonerInfo(h_, &count), kNoDevice);
}

TEST_F(ExportsOpen, SecondOpenReplacesTheDevice) {
  Open();
  OrvTonerInfo toner;
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kIndexRange);
  Open();
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kIndexRange);
  // A failing second open leaves no status reader of the first printer.
  EXPECT_EQ(OrvInitDevice(h_, address(), 3, 1000, 1), kInvalid);
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kNoDevice);
  int32_t value = 0;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "MemorySizeInKByte", 0, &value), 0);
}

TEST_F(ExportsOpen, ArgumentErrorsLeaveAnOpenDeviceInPlace) {
  Open();
  EXPECT_EQ(OrvInitDevice(h_, "127.0.0.1", 4, 1000, 1), kInvalid);
  EXPECT_EQ(OrvInitDevice(h_, nullptr, 1, 1000, 1), kInvalid);
  OrvTonerInfo toner;
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kIndexRange);
}

TEST_F(ExportsOpen, TheGetOptionCommunityCarriesTheOpen) {
  // The agent answers only "public": another community gets no answer.
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", "reader"), 0);
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityWrite", "writer"), 0);
  EXPECT_EQ(OrvInitDevice(h_, address(), 1, 200, 0), -203);
  ASSERT_EQ(OrvCommandString(h_, "CmdSetCommunityGetOption", "public"), 0);
  Open();
}

TEST_F(ExportsOpen, IsSupportedOid) {
  EXPECT_EQ(OrvIsSupportedOID(nullptr, "1.3.6"), -2);
  // Before an open: 0 whatever the text.
  EXPECT_EQ(OrvIsSupportedOID(h_, ""), 0);
  EXPECT_EQ(OrvIsSupportedOID(h_, nullptr), 0);
  EXPECT_EQ(OrvIsSupportedOID(h_, "1.3.6"), 0);
  Open();
  EXPECT_EQ(OrvIsSupportedOID(h_, ""), 1);
  EXPECT_EQ(OrvIsSupportedOID(h_, nullptr), 1);
  EXPECT_EQ(OrvIsSupportedOID(h_, "1.3.6.1.4.1.119"), 1);
  EXPECT_EQ(OrvIsSupportedOID(h_, orv::test::kFamilySysObjectId), 1);
  EXPECT_EQ(OrvIsSupportedOID(h_, (std::string(orv::test::kFamilySysObjectId) + ".9").c_str()),
            0);
  EXPECT_EQ(OrvIsSupportedOID(h_, "1.3.6.1.4.1.253"), 0);
}

TEST_F(ExportsOpen, RefreshOptions) {
  EXPECT_EQ(OrvRefreshOptions(nullptr), kInvalid);
  EXPECT_EQ(OrvRefreshOptions(h_), kNoDevice);
  Open();
  // snmpd is no printer: its hrDeviceTable has no device 10, so the
  // refresh reads on through the missing Printer MIB tables (empty lists)
  // to the vendor objects, which it does not serve.
  const int32_t rc = OrvRefreshOptions(h_);
  int32_t value = 1;
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "NumberOfInputTray", 0, &value), 0);
  EXPECT_EQ(value, 0);
  char text[256] = "";
  EXPECT_EQ(OrvGetOptionValueString(h_, "SysName", 0, text), 0);
  EXPECT_STRNE(text, "") << "the first step read sysName (result " << rc << ")";
}

// ---------------------------------------------------------------------------
// Option getters.

TEST_F(ExportsOpen, OptionGettersCheckPointersFirst) {
  int16_t b = 0;
  int32_t i = 0;
  uint32_t u = 0;
  char text[256];
  for (OrvHandle handle : {static_cast<OrvHandle>(nullptr), h_}) {
    EXPECT_EQ(OrvGetOptionValueBoolean(nullptr, "Scanner", 0, &b), kInvalid);
    EXPECT_EQ(OrvGetOptionValueBoolean(handle, nullptr, 0, &b), kInvalid);
    EXPECT_EQ(OrvGetOptionValueBoolean(handle, "Scanner", 0, nullptr), kInvalid);
    EXPECT_EQ(OrvGetOptionValueInteger(nullptr, "MemorySizeInKByte", 0, &i), kInvalid);
    EXPECT_EQ(OrvGetOptionValueInteger(handle, nullptr, 0, &i), kInvalid);
    EXPECT_EQ(OrvGetOptionValueInteger(handle, "MemorySizeInKByte", 0, nullptr), kInvalid);
    EXPECT_EQ(OrvGetOptionValueUInteger(nullptr, "x", 0, &u), kInvalid);
    EXPECT_EQ(OrvGetOptionValueUInteger(handle, nullptr, 0, &u), kInvalid);
    EXPECT_EQ(OrvGetOptionValueUInteger(handle, "x", 0, nullptr), kInvalid);
    EXPECT_EQ(OrvGetOptionValueString(nullptr, "SysName", 0, text), kInvalid);
    EXPECT_EQ(OrvGetOptionValueString(handle, nullptr, 0, text), kInvalid);
    EXPECT_EQ(OrvGetOptionValueString(handle, "SysName", 0, nullptr), kInvalid);
  }
  Open();
  EXPECT_EQ(OrvGetOptionValueBoolean(h_, "Scanner", 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetOptionValueInteger(h_, nullptr, 0, &i), kInvalid);
  EXPECT_EQ(OrvGetOptionValueString(h_, "SysName", 0, nullptr), kInvalid);
}

TEST_F(Exports, OptionGettersWithoutADeviceGiveNoDevice) {
  int16_t b = 3;
  int32_t i = 3;
  uint32_t u = 3;
  char text[256] = "untouched";
  EXPECT_EQ(OrvGetOptionValueBoolean(h_, "Scanner", 0, &b), kNoDevice);
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "MemorySizeInKByte", 0, &i), kNoDevice);
  EXPECT_EQ(OrvGetOptionValueUInteger(h_, "MemorySizeInKByte", 0, &u), kNoDevice);
  EXPECT_EQ(OrvGetOptionValueString(h_, "SysName", 0, text), kNoDevice);
  // Unknown keys too: the device check comes before the key.
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "NoSuchKey", 0, &i), kNoDevice);
  EXPECT_EQ(b, 3);
  EXPECT_EQ(i, 3);
  EXPECT_EQ(u, 3u);
  EXPECT_STREQ(text, "untouched");
}

TEST_F(ExportsOpen, BooleanKeysAnswerFalseFromTheClearedStore) {
  Open();
  for (const char* key : kBooleanKeys) {
    int16_t out = 7;
    EXPECT_EQ(OrvGetOptionValueBoolean(h_, key, 0, &out), 0) << key;
    EXPECT_EQ(out, 0) << key;
    out = 7;
    EXPECT_EQ(OrvGetOptionValueBoolean(h_, key, 65535, &out), 0) << key << ": index unused";
    EXPECT_EQ(out, 0) << key;
  }
}

TEST_F(ExportsOpen, IntegerKeysAnswerZeroFromTheClearedStore) {
  Open();
  for (const char* key : kScalarIntegerKeys) {
    int32_t out = 7;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, key, 0, &out), 0) << key;
    EXPECT_EQ(out, 0) << key;
    out = 7;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, key, 65535, &out), 0) << key << ": index unused";
  }
}

TEST_F(ExportsOpen, TrayKeysGiveIndexRangeWithoutTrays) {
  Open();
  for (const char* key : kTrayIntegerKeys) {
    int32_t out = 7;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, key, 0, &out), kIndexRange) << key;
    EXPECT_EQ(OrvGetOptionValueInteger(h_, key, 65535, &out), kIndexRange) << key;
    EXPECT_EQ(out, 7) << key << ": output untouched";
  }
  for (const char* key : kTrayTextKeys) {
    char out[256] = "untouched";
    EXPECT_EQ(OrvGetOptionValueString(h_, key, 0, out), kIndexRange) << key;
    EXPECT_STREQ(out, "untouched") << key;
  }
}

TEST_F(ExportsOpen, TextKeysAnswerEmptyFromTheClearedStore) {
  Open();
  for (const char* key : kScalarTextKeys) {
    char out[256];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(OrvGetOptionValueString(h_, key, 0, out), 0) << key;
    EXPECT_STREQ(out, "") << key;
  }
}

TEST_F(ExportsOpen, UnknownKeysGiveNotSupported) {
  Open();
  int16_t b = 4;
  int32_t i = 4;
  char text[256] = "untouched";
  EXPECT_EQ(OrvGetOptionValueBoolean(h_, "NoSuchKey", 0, &b), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueBoolean(h_, "scanner", 0, &b), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueBoolean(h_, "MemorySizeInKByte", 0, &b), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "memorysizeinkbyte", 0, &i), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueInteger(h_, "SysName", 0, &i), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueString(h_, "sysName", 0, text), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueString(h_, "SysName ", 0, text), kNotSupported);
  EXPECT_EQ(OrvGetOptionValueString(h_, "Scanner", 0, text), kNotSupported);
  EXPECT_EQ(b, 4);
  EXPECT_EQ(i, 4);
  EXPECT_STREQ(text, "untouched");
}

TEST_F(ExportsOpen, UnsignedGetterKnowsNoKey) {
  Open();
  uint32_t u = 4;
  for (const char* key : {"MemorySizeInKByte", "NumberOfInputTray", "SysName", "Scanner", ""}) {
    EXPECT_EQ(OrvGetOptionValueUInteger(h_, key, 0, &u), kNotSupported) << key;
  }
  EXPECT_EQ(u, 4u);
}

// ---------------------------------------------------------------------------
// Discovery.

TEST_F(Exports, FindChecksHandleCountAndProtocol) {
  int32_t count = 0;
  OrvUSMParameters usm{};
  EXPECT_EQ(OrvFindDeviceSNMP(nullptr, nullptr, 1, 100, 0, &count), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMP(h_, nullptr, 1, 100, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMPEx(nullptr, nullptr, 1, 0, &usm, 100, 0, &count), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMPEx(h_, nullptr, 1, 0, &usm, 100, 0, nullptr), kInvalid);
  for (int32_t protocol : {0, 4, 6, -1}) {
    EXPECT_EQ(OrvFindDeviceSNMP(h_, nullptr, protocol, 100, 0, &count), kInvalid) << protocol;
    EXPECT_EQ(OrvFindDeviceSNMPEx(h_, nullptr, protocol, 0, &usm, 100, 0, &count), kInvalid)
        << protocol;
  }
}

TEST_F(Exports, FindOverProtocolThreeCannotBroadcast) {
  int32_t count = 77;
  OrvUSMParameters usm{};
  EXPECT_EQ(OrvFindDeviceSNMP(h_, nullptr, 3, 100, 0, &count), kNotSupported);
  EXPECT_EQ(OrvFindDeviceSNMPEx(h_, "255.255.255.255", 3, 0, &usm, 100, 0, &count),
            kNotSupported);
  EXPECT_EQ(count, 77);
}

// A find whose setup fails sends nothing and leaves the host's count alone.
TEST_F(Exports, AFindThatCannotStartKeepsTheCountAndFindsNothing) {
  int32_t count = 77;
  EXPECT_EQ(OrvFindDeviceSNMP(h_, "::1", 1, 100, 0, &count), kInvalid);
  EXPECT_EQ(OrvFindDeviceSNMP(h_, "127.0.0.1", 5, 100, 0, &count), kInvalid);
  EXPECT_NE(OrvFindDeviceSNMP(h_, "printer.invalid", 1, 100, 0, &count), 0);
  EXPECT_EQ(count, 77);
  char a[64], m[64], r[64], s[64];
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, r, s), 0);
}

TEST_F(Exports, Filters) {
  EXPECT_EQ(OrvFindAddFilter(nullptr, "1.3.6"), kInvalid);
  EXPECT_EQ(OrvFindAddFilter(h_, nullptr), kInvalid);
  for (int n = 0; n < 51; ++n) {
    EXPECT_EQ(OrvFindAddFilter(h_, "1.3.6.1.4.1.119"), 0) << "filter " << n + 1;
  }
  OrvFindClearFilter(h_);
  OrvFindClearFilter(nullptr);
  EXPECT_EQ(OrvFindAddFilter(h_, "1.3.6.1.4.1.119"), 0);
}

TEST_F(Exports, DeviceIterationBeforeAnyFind) {
  OrvFindResetPosition(nullptr);
  OrvFindResetPosition(h_);
  char a[64], m[64], r[64], s[64];
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, r, s), 0);
  EXPECT_EQ(OrvGetDeviceNext(nullptr, a, m, r, s), 0);
  EXPECT_EQ(OrvGetDeviceNext(h_, nullptr, m, r, s), 0);
  EXPECT_EQ(OrvGetDeviceNext(h_, a, nullptr, r, s), 0);
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, nullptr, s), 0);
  EXPECT_EQ(OrvGetDeviceNext(h_, a, m, r, nullptr), 0);
}

// ---------------------------------------------------------------------------
// Status.

using CountFn = int32_t (*)(OrvHandle, int32_t*);
const CountFn kCountExports[] = {OrvGetNumberOfStorageInfo,    OrvGetNumberOfDeviceInfo,
                                 OrvGetNumberOfInputTrayInfo,  OrvGetNumberOfOutputTrayInfo,
                                 OrvGetNumberOfTonerInfo,      OrvGetNumberOfAlertInfo};

TEST_F(Exports, CountExportsCheckPointersThenDevice) {
  int32_t count = 5;
  for (CountFn fn : kCountExports) {
    EXPECT_EQ(fn(nullptr, &count), kInvalid);
    EXPECT_EQ(fn(h_, nullptr), kInvalid);
    EXPECT_EQ(fn(h_, &count), kNoDevice);
  }
  EXPECT_EQ(OrvGetNumberOfJobInfo(nullptr, 0, &count), kInvalid);
  EXPECT_EQ(OrvGetNumberOfJobInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetNumberOfJobInfo(h_, 3, &count), kInvalid);
  for (uint32_t kind : {0u, 1u, 2u}) EXPECT_EQ(OrvGetNumberOfJobInfo(h_, kind, &count), kNoDevice);
  EXPECT_EQ(count, 5);
}

TEST_F(Exports, RecordExportsCheckPointersThenDevice) {
  OrvStorageInfo storage;
  OrvDeviceInfo device;
  OrvInputTrayInfo in;
  OrvOutputTrayInfo out;
  OrvTonerInfo toner;
  OrvAlertInfo alert;
  OrvJobInfo job;
  EXPECT_EQ(OrvGetStorageInfo(nullptr, 0, &storage), kInvalid);
  EXPECT_EQ(OrvGetStorageInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetStorageInfo(h_, 0, &storage), kNoDevice);
  EXPECT_EQ(OrvGetDeviceInfo(nullptr, 0, &device), kInvalid);
  EXPECT_EQ(OrvGetDeviceInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetDeviceInfo(h_, 0, &device), kNoDevice);
  EXPECT_EQ(OrvGetInputTrayInfo(nullptr, 0, &in), kInvalid);
  EXPECT_EQ(OrvGetInputTrayInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetInputTrayInfo(h_, 0, &in), kNoDevice);
  EXPECT_EQ(OrvGetOutputTrayInfo(nullptr, 0, &out), kInvalid);
  EXPECT_EQ(OrvGetOutputTrayInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetOutputTrayInfo(h_, 0, &out), kNoDevice);
  EXPECT_EQ(OrvGetTonerInfo(nullptr, 0, &toner), kInvalid);
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kNoDevice);
  EXPECT_EQ(OrvGetAlertInfo(nullptr, 0, &alert), kInvalid);
  EXPECT_EQ(OrvGetAlertInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetAlertInfo(h_, 0, &alert), kNoDevice);
  EXPECT_EQ(OrvGetJobInfo(nullptr, 0, &job), kInvalid);
  EXPECT_EQ(OrvGetJobInfo(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetJobInfo(h_, 0, &job), kNoDevice);
}

TEST_F(Exports, PrinterCancelAndCharSetCheckPointersThenDevice) {
  OrvPrinterInfo printer;
  int32_t charset = 5;
  EXPECT_EQ(OrvGetPrinterInfo(nullptr, &printer), kInvalid);
  EXPECT_EQ(OrvGetPrinterInfo(h_, nullptr), kInvalid);
  EXPECT_EQ(OrvGetPrinterInfo(h_, &printer), kNoDevice);
  EXPECT_EQ(OrvCancelJob(nullptr, "job"), kInvalid);
  EXPECT_EQ(OrvCancelJob(h_, nullptr), kInvalid);
  EXPECT_EQ(OrvCancelJob(h_, "job"), kNoDevice);
  EXPECT_EQ(OrvGetCharSet(nullptr, 0, &charset), kInvalid);
  EXPECT_EQ(OrvGetCharSet(h_, 0, nullptr), kInvalid);
  EXPECT_EQ(OrvGetCharSet(h_, 2, &charset), kInvalid);
  EXPECT_EQ(OrvGetCharSet(h_, 0, &charset), kNoDevice);
  EXPECT_EQ(OrvGetCharSet(h_, 1, &charset), kNoDevice);
  EXPECT_EQ(charset, 5);
}

TEST_F(ExportsOpen, SelectorsAreCheckedAfterAnOpenToo) {
  Open();
  int32_t value = 0;
  EXPECT_EQ(OrvGetNumberOfJobInfo(h_, 3, &value), kInvalid);
  EXPECT_EQ(OrvGetCharSet(h_, 2, &value), kInvalid);
}

TEST_F(ExportsOpen, RecordsBeforeAnyCountAreOutOfRange) {
  Open();
  OrvStorageInfo storage;
  OrvDeviceInfo device;
  OrvInputTrayInfo in;
  OrvOutputTrayInfo out;
  OrvTonerInfo toner;
  OrvAlertInfo alert;
  OrvJobInfo job;
  EXPECT_EQ(OrvGetStorageInfo(h_, 0, &storage), kIndexRange);
  EXPECT_EQ(OrvGetDeviceInfo(h_, 0, &device), kIndexRange);
  EXPECT_EQ(OrvGetInputTrayInfo(h_, 0, &in), kIndexRange);
  EXPECT_EQ(OrvGetOutputTrayInfo(h_, 0, &out), kIndexRange);
  EXPECT_EQ(OrvGetTonerInfo(h_, 0, &toner), kIndexRange);
  EXPECT_EQ(OrvGetAlertInfo(h_, 0, &alert), kIndexRange);
  EXPECT_EQ(OrvGetJobInfo(h_, 4294967295u, &job), kIndexRange);
}

// ---------------------------------------------------------------------------
// Transport check.

TEST(ExportsTransport, UnmappedAndProtocolThreeAnswerFalse) {
  EXPECT_EQ(OrvTransportAvailable(3), 0);
  EXPECT_EQ(OrvTransportAvailable(4), 0);
  EXPECT_EQ(OrvTransportAvailable(0), 0);
  EXPECT_EQ(OrvTransportAvailable(6), 0);
  EXPECT_EQ(OrvTransportAvailable(-1), 0);
}

TEST(ExportsTransport, MappedProtocolsAnswerABoolean) {
  for (int32_t protocol : {1, 2, 5}) {
    const int16_t answer = OrvTransportAvailable(protocol);
    EXPECT_TRUE(answer == 0 || answer == 1) << protocol;
  }
  // Linux makes no IPX socket, so IPX never has a usable interface.
  EXPECT_EQ(OrvTransportAvailable(2), 0);
}

// Each host value asks about its own family: on a LAN host whose IPv6 and
// then IPv4 addresses are taken away, 5 and then 1 turn false.
TEST(ExportsTransport, EachValueAsksItsOwnFamily) {
  ORV_REQUIRE_LAB(true, {"ip"});
  orv::test::VirtualLan lan(
      std::vector<std::pair<std::string, std::string>>{{"h", "198.18.0.31"}});
  auto ask = [&] {
    std::string answers;
    lan.run_in("h", [&] {
      for (int32_t protocol : {1, 2, 5}) answers += std::to_string(OrvTransportAvailable(protocol));
    });
    return answers;
  };
  EXPECT_EQ(ask(), "101");
  ASSERT_EQ(lan.exec("h", {"ip", "-6", "addr", "flush", "dev", "e0"}).exit_code, 0);
  EXPECT_EQ(ask(), "100");
  ASSERT_EQ(lan.exec("h", {"ip", "-4", "addr", "flush", "dev", "e0"}).exit_code, 0);
  EXPECT_EQ(ask(), "000");
}

}  // namespace
