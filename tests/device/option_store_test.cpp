// The option store and the family class used directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/dev_comm_option.h"
#include "fake_usm.h"
#include "device/option_keys.h"
#include "device/recorded_settings.h"

using namespace orv::testing;  // option key lists

namespace {

// Fills the store as a refresh would, and reads back what Init recorded.
// Tests of what Init records call the store's own Init: the family class's
// Init goes on to ask the printer.
class TestOption : public RecordedSettings {
 public:
  using COrvDevCommOption::has_device_index;
  using COrvDevCommOption::initialize_data;

  void add_device(int32_t index, int32_t status = 2, const char* descr = "") {
    DeviceEntry& d = m_devices[m_deviceCount++];
    d.index = index;
    d.status = status;
    std::strncpy(d.description, descr, sizeof d.description - 1);
  }
  InputTrayEntry& add_tray() {
    InputTrayEntry& t = m_inputTrays[m_inputTrayCount];
    t.row = ++m_inputTrayCount;
    return t;
  }
  void set_memory_kb(int32_t kb) { m_memorySizeKB = kb; }
  void set_rom_version(const char* text, int32_t major, int32_t minor, int32_t rev) {
    std::strcpy(m_printerRomVersion, text);
    m_romVersionMajor = major;
    m_romVersionMinor = minor;
    m_romVersionRevision = rev;
  }
  void set_texts(const char* sys_name, const char* netware) {
    std::strcpy(m_sysName, sys_name);
    std::strcpy(m_netwareSapUnitName, netware);
  }
  void set_flags(bool duplex, bool manual) {
    m_duplexModule = duplex;
    m_manualFeedTray = manual;
    m_offsetStacking = true;
    m_device105Running = true;
    m_device108Running = true;
  }
  void set_vendor(int32_t min_password, int32_t prompt) {
    m_minPasswordLength = min_password;
    m_userPromptSetting = prompt;
  }
  void set_output_tray() { m_outputTrays[m_outputTrayCount++] = {1, 3, 3}; }
  void set_sys_object_id(const char* oid) { std::strcpy(m_sysObjectID, oid); }

  int32_t output_tray_count() const { return m_outputTrayCount; }
  bool offset_stacking() const { return m_offsetStacking; }
  bool device105() const { return m_device105Running; }
  bool device108() const { return m_device108Running; }
  const char* sys_object_id() const { return m_sysObjectID; }
};

long get_long(const COrvDevCommOption& o, const char* key, int index, long* out) {
  return o.get_option(key, out, index);
}


// ---------------------------------------------------------------------------

TEST(OptionStore, ClearedStateAnswersEveryKey) {
  TestOption o;
  for (const char* key : kBooleanKeys) {
    bool out = true;
    EXPECT_EQ(o.get_option(key, &out, 0), 0) << key;
    EXPECT_FALSE(out) << key;
  }
  for (const char* key : kScalarIntegerKeys) {
    long out = 7;
    EXPECT_EQ(get_long(o, key, 0, &out), 0) << key;
    EXPECT_EQ(out, 0) << key;
  }
  for (const char* key : kTrayIntegerKeys) {
    long out = 7;
    EXPECT_EQ(get_long(o, key, 0, &out), -11) << key;
    EXPECT_EQ(out, 7) << key;
  }
  for (const char* key : kScalarTextKeys) {
    const char* out = nullptr;
    EXPECT_EQ(o.get_option(key, &out, 0), 0) << key;
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out, "") << key;
  }
  for (const char* key : kTrayTextKeys) {
    const char* out = nullptr;
    EXPECT_EQ(o.get_option(key, &out, 0), -11) << key;
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_STREQ(o.community(), "");
  EXPECT_FALSE(o.community_set());
  EXPECT_STREQ(o.sys_object_id(), "");
}

TEST(OptionStore, NullKeyOrOutputGivesInvalid) {
  TestOption o;
  const COrvDevCommOption& base = o;
  bool b;
  long l;
  unsigned long u;
  const char* t;
  for (const COrvDevCommOption* p : {static_cast<const COrvDevCommOption*>(&o), &base}) {
    EXPECT_EQ(p->get_option(nullptr, &b, 0), -2);
    EXPECT_EQ(p->get_option("Scanner", static_cast<bool*>(nullptr), 0), -2);
    EXPECT_EQ(p->get_option(nullptr, &l, 0), -2);
    EXPECT_EQ(p->get_option("MemorySizeInKByte", static_cast<long*>(nullptr), 0), -2);
    EXPECT_EQ(p->get_option(nullptr, &u, 0), -2);
    EXPECT_EQ(p->get_option("MemorySizeInKByte", static_cast<unsigned long*>(nullptr), 0), -2);
    EXPECT_EQ(p->get_option(nullptr, &t, 0), -2);
    EXPECT_EQ(p->get_option("SysName", static_cast<const char**>(nullptr), 0), -2);
  }
  // Null checks come before the key: an unknown key with a null output is -2.
  EXPECT_EQ(o.get_option("NoSuchKey", static_cast<long*>(nullptr), 0), -2);
}

TEST(OptionStore, UnsignedGetterKnowsNoKey) {
  TestOption o;
  unsigned long u = 5;
  for (const char* key : {"MemorySizeInKByte", "NumberOfInputTray", "Scanner", "SysName"}) {
    EXPECT_EQ(o.get_option(key, &u, 0), -5) << key;
  }
  EXPECT_EQ(u, 5u);
}

TEST(OptionStore, UnknownAndCaseDifferingKeysGiveNotSupported) {
  TestOption o;
  const char* t = nullptr;
  long l = 0;
  bool b = false;
  EXPECT_EQ(o.get_option("sysName", &t, 0), -5);
  EXPECT_EQ(o.get_option("SYSNAME", &t, 0), -5);
  EXPECT_EQ(o.get_option("SysNam", &t, 0), -5);
  EXPECT_EQ(o.get_option("SysName2", &t, 0), -5);
  EXPECT_EQ(o.get_option("memorysizeinkbyte", &l, 0), -5);
  EXPECT_EQ(o.get_option("SysName", &l, 0), -5);
  EXPECT_EQ(o.get_option("HARDDISK", &b, 0), -5);
  EXPECT_EQ(o.get_option("MemorySizeInKByte", &b, 0), -5);
  EXPECT_EQ(o.get_option("", &b, 0), -5);
}

TEST(OptionStore, MemorySizeInMByteIsComputedAtQueryTime) {
  TestOption o;
  long out = 0;
  o.set_memory_kb(2047);
  EXPECT_EQ(get_long(o, "MemorySizeInMByte", 0, &out), 0);
  EXPECT_EQ(out, 1);
  EXPECT_EQ(get_long(o, "MemorySizeInKByte", 0, &out), 0);
  EXPECT_EQ(out, 2047);
  o.set_memory_kb(2048);
  EXPECT_EQ(get_long(o, "MemorySizeInMByte", 0, &out), 0);
  EXPECT_EQ(out, 2);
  o.set_memory_kb(1023);
  EXPECT_EQ(get_long(o, "MemorySizeInMByte", 0, &out), 0);
  EXPECT_EQ(out, 0);
  o.set_memory_kb(-1025);  // truncation toward zero
  EXPECT_EQ(get_long(o, "MemorySizeInMByte", 0, &out), 0);
  EXPECT_EQ(out, -1);
  o.set_memory_kb(262144);
  EXPECT_EQ(get_long(o, "MemorySizeInMByte", 0, &out), 0);
  EXPECT_EQ(out, 256);
}

TEST(OptionStore, DeviceIndexKeys) {
  struct Case {
    const char* key;
    int32_t index;
  };
  const Case cases[] = {{"Scanner", 102}, {"Copier", 103},    {"HardDisk", 11},
                        {"RamDisk", 3},   {"InTrayEx1", 110}, {"InTrayEx2", 116}};
  for (const Case& c : cases) {
    TestOption o;
    o.add_device(1);
    o.add_device(10);
    bool out = true;
    EXPECT_EQ(o.get_option(c.key, &out, 0), 0) << c.key;
    EXPECT_FALSE(out) << c.key;
    o.add_device(c.index, 5);
    out = false;
    EXPECT_EQ(o.get_option(c.key, &out, 0), 0) << c.key;
    EXPECT_TRUE(out) << c.key;
    EXPECT_TRUE(o.has_device_index(c.index));
  }
}

TEST(OptionStore, ScannerWithoutIndex102IsFalse) {
  TestOption o;
  for (int32_t index : {1, 2, 3, 11, 101, 103, 1020}) o.add_device(index);
  bool out = true;
  EXPECT_EQ(o.get_option("Scanner", &out, 0), 0);
  EXPECT_FALSE(out);
  EXPECT_FALSE(o.has_device_index(102));
  EXPECT_TRUE(o.has_device_index(1020));
}

TEST(OptionStore, FlagKeys) {
  TestOption o;
  bool out = false;
  o.set_flags(true, false);
  EXPECT_EQ(o.get_option("DuplexModule", &out, 0), 0);
  EXPECT_TRUE(out);
  EXPECT_EQ(o.get_option("InTrayMSI", &out, 0), 0);
  EXPECT_FALSE(out);
  o.set_flags(false, true);
  EXPECT_EQ(o.get_option("DuplexModule", &out, 0), 0);
  EXPECT_FALSE(out);
  EXPECT_EQ(o.get_option("InTrayMSI", &out, 0), 0);
  EXPECT_TRUE(out);
  // The index is not used by boolean keys.
  EXPECT_EQ(o.get_option("InTrayMSI", &out, -1), 0);
  EXPECT_EQ(o.get_option("InTrayMSI", &out, 1000), 0);
}

TEST(OptionStore, ScalarValues) {
  TestOption o;
  o.set_rom_version("Printer Controller v1.20.3 - Processor", 1, 20, 3);
  o.set_texts("printer-7", "NW-UNIT");
  o.set_vendor(8, 2);
  long l = 0;
  const char* t = nullptr;
  EXPECT_EQ(get_long(o, "PrinterRomVersionMajor", 0, &l), 0);
  EXPECT_EQ(l, 1);
  EXPECT_EQ(get_long(o, "PrinterRomVersionMinor", 0, &l), 0);
  EXPECT_EQ(l, 20);
  EXPECT_EQ(get_long(o, "PrinterRomVersionRevision", 0, &l), 0);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(get_long(o, "MinPasswordLength", 0, &l), 0);
  EXPECT_EQ(l, 8);
  EXPECT_EQ(get_long(o, "UserPromptSetting", -1, &l), 0);
  EXPECT_EQ(l, 2);
  EXPECT_EQ(o.get_option("PrinterRomVersion", &t, 0), 0);
  EXPECT_STREQ(t, "Printer Controller v1.20.3 - Processor");
  EXPECT_EQ(o.get_option("SysName", &t, 99), 0);
  EXPECT_STREQ(t, "printer-7");
  EXPECT_EQ(o.get_option("NetWareSAPUnitName", &t, -1), 0);
  EXPECT_STREQ(t, "NW-UNIT");
}

TEST(OptionStore, InputTrayKeysAndTheIndexRangeTest) {
  TestOption o;
  for (int n = 0; n < 3; ++n) {
    auto& t = o.add_tray();
    t.type = 4 + n;
    t.medium_size = 25;
    t.medium_direction = 3;
    t.max_capacity = 500;
    t.level_percent = 50 + n;
    t.dim_feed = 297000;
    t.dim_xfeed = 210000;
    std::snprintf(t.name, sizeof t.name, "Tray %d", n + 1);
    std::snprintf(t.description, sizeof t.description, "Description %d", n + 1);
    std::snprintf(t.media_type, sizeof t.media_type, "stationery-%d", n + 1);
  }
  long l = 0;
  const char* t = nullptr;
  EXPECT_EQ(get_long(o, "NumberOfInputTray", 0, &l), 0);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(get_long(o, "InputTrayIndex", 2, &l), 0);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(get_long(o, "InputTrayType", 1, &l), 0);
  EXPECT_EQ(l, 5);
  EXPECT_EQ(get_long(o, "InputTrayMaxCapacityInSheets", 0, &l), 0);
  EXPECT_EQ(l, 500);
  EXPECT_EQ(get_long(o, "InputTrayCurrentLevelInPercent", 2, &l), 0);
  EXPECT_EQ(l, 52);
  EXPECT_EQ(get_long(o, "InputTrayMediaSize", 0, &l), 0);
  EXPECT_EQ(l, 25);
  EXPECT_EQ(get_long(o, "InputTrayMediaDirection", 0, &l), 0);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(get_long(o, "InputTrayMediaDimFeedDirChosen", 0, &l), 0);
  EXPECT_EQ(l, 297000);
  EXPECT_EQ(get_long(o, "InputTrayMediaDimXFeedDirChosen", 0, &l), 0);
  EXPECT_EQ(l, 210000);
  EXPECT_EQ(o.get_option("InputTrayName", &t, 1), 0);
  EXPECT_STREQ(t, "Tray 2");
  EXPECT_EQ(o.get_option("InputTrayDescription", &t, 2), 0);
  EXPECT_STREQ(t, "Description 3");
  EXPECT_EQ(o.get_option("InputTrayMediaType", &t, 0), 0);
  EXPECT_STREQ(t, "stationery-1");

  // Index equal to the count, and -1 (direct class use only): -11.
  for (int index : {3, -1, 4, 20, -100}) {
    const char* text = nullptr;
    long value = 77;
    EXPECT_EQ(o.get_option("InputTrayName", &text, index), -11) << index;
    EXPECT_EQ(o.get_option("InputTrayDescription", &text, index), -11) << index;
    EXPECT_EQ(o.get_option("InputTrayMediaType", &text, index), -11) << index;
    for (const char* key : kTrayIntegerKeys) {
      EXPECT_EQ(get_long(o, key, index, &value), -11) << key << " " << index;
    }
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(value, 77);
  }
}

TEST(OptionStore, InitializeDataClearsWhatARefreshFills) {
  FakeUSM usm;
  TestOption o;
  ASSERT_EQ(o.COrvDevCommOption::Init(1, "192.0.2.9", &usm, 1000, 2, 0), 0);
  o.SetCommunityStr("reader");
  o.add_device(102);
  o.add_tray();
  o.set_memory_kb(4096);
  o.set_rom_version("v", 1, 2, 3);
  o.set_texts("a", "b");
  o.set_flags(true, true);
  o.set_vendor(1, 1);
  o.set_output_tray();
  o.initialize_data();
  bool b = true;
  long l = 1;
  const char* t = nullptr;
  EXPECT_EQ(o.get_option("Scanner", &b, 0), 0);
  EXPECT_FALSE(b);
  EXPECT_EQ(o.get_option("DuplexModule", &b, 0), 0);
  EXPECT_FALSE(b);
  EXPECT_EQ(get_long(o, "MemorySizeInKByte", 0, &l), 0);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(get_long(o, "NumberOfInputTray", 0, &l), 0);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(get_long(o, "PrinterRomVersionMajor", 0, &l), 0);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(get_long(o, "MinPasswordLength", 0, &l), 0);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(o.get_option("SysName", &t, 0), 0);
  EXPECT_STREQ(t, "");
  EXPECT_EQ(o.get_option("InputTrayName", &t, 0), -11);
  EXPECT_EQ(o.output_tray_count(), 0);
  EXPECT_FALSE(o.offset_stacking());
  EXPECT_FALSE(o.device105());
  EXPECT_FALSE(o.device108());
  EXPECT_FALSE(o.has_device_index(102));
  // The request settings and the community stay.
  EXPECT_STREQ(o.address(), "192.0.2.9");
  EXPECT_EQ(o.port(), 161);
  EXPECT_TRUE(o.community_set());
  EXPECT_STREQ(o.community(), "reader");
}

TEST(OptionStore, RefreshClearsFirst) {
  TestOption o;
  o.add_device(11);
  o.set_memory_kb(1024);
  // Without Init there is no printer to ask: the first step fails, after
  // the store was cleared.
  EXPECT_EQ(o.refresh_options(), -2);
  bool b = true;
  EXPECT_EQ(o.get_option("HardDisk", &b, 0), 0);
  EXPECT_FALSE(b);
  long l = 1;
  EXPECT_EQ(get_long(o, "MemorySizeInKByte", 0, &l), 0);
  EXPECT_EQ(l, 0);
}

TEST(OptionStore, InitRecordsSettingsAndUsmReferences) {
  FakeUSM usm;
  TestOption o;
  EXPECT_EQ(o.COrvDevCommOption::Init(1, "192.0.2.10", &usm, 2500, 4, 1400), 0);
  EXPECT_EQ(o.protocol(), 1);
  EXPECT_STREQ(o.address(), "192.0.2.10");
  EXPECT_EQ(o.port(), 161);
  EXPECT_EQ(o.timeout(), 2500u);
  EXPECT_EQ(o.retries(), 4u);
  EXPECT_EQ(o.max_message_size(), 1400u);
  EXPECT_EQ(o.security_model(), 2);
  EXPECT_EQ(o.security_level(), 1);
  EXPECT_EQ(o.auth_protocol(), 2);
  EXPECT_EQ(o.priv_protocol(), 0);
  EXPECT_EQ(o.user_name(), usm.user_name());
  EXPECT_EQ(o.auth_pass_phrase(), usm.auth_pass_phrase());
  EXPECT_EQ(o.priv_pass_phrase(), usm.priv_pass_phrase());
  EXPECT_EQ(o.context_name(), usm.context_name());
}

TEST(OptionStore, InitPortsAndProtocolWithoutPort) {
  FakeUSM usm;
  {
    TestOption o;
    EXPECT_EQ(o.COrvDevCommOption::Init(2, "00000001:000000000001", &usm, 1, 1, 0), 0);
    EXPECT_EQ(o.port(), 36879);
  }
  {
    TestOption o;
    EXPECT_EQ(o.COrvDevCommOption::Init(4, "::1", &usm, 1, 1, 0), 0);
    EXPECT_EQ(o.port(), 161);
  }
  for (int32_t protocol : {3, 0, 5, -1}) {
    TestOption o;
    EXPECT_EQ(o.COrvDevCommOption::Init(protocol, "192.0.2.11", &usm, 1, 1, 0), -2) << protocol;
    // Address and protocol stay stored.
    EXPECT_EQ(o.protocol(), protocol);
    EXPECT_STREQ(o.address(), "192.0.2.11");
    EXPECT_EQ(o.port(), 0);
  }
}

TEST(OptionStore, InitCutsAnOverlongAddress) {
  FakeUSM usm;
  TestOption o;
  const std::string address(100, 'a');
  EXPECT_EQ(o.COrvDevCommOption::Init(1, address.c_str(), &usm, 1, 1, 0), 0);
  EXPECT_EQ(std::string(o.address()), std::string(63, 'a'));
}

TEST(OptionStore, SetCommunityStr) {
  TestOption o;
  o.SetCommunityStr("printers");
  EXPECT_TRUE(o.community_set());
  EXPECT_STREQ(o.community(), "printers");
  o.SetCommunityStr("");
  EXPECT_TRUE(o.community_set());
  EXPECT_STREQ(o.community(), "");
}

TEST(OptionStore, CopyConstructorAndAssignmentCopyEveryField) {
  FakeUSM usm;
  TestOption a;
  ASSERT_EQ(a.COrvDevCommOption::Init(1, "192.0.2.12", &usm, 700, 1, 0), 0);
  a.SetCommunityStr("reader");
  a.add_device(102);
  a.set_memory_kb(2047);
  auto& tray = a.add_tray();
  std::strcpy(tray.name, "Bypass");
  a.set_sys_object_id("1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1");

  TestOption b(a);
  TestOption c;
  c = a;
  for (const TestOption* o : {&b, &c}) {
    EXPECT_STREQ(o->address(), "192.0.2.12");
    EXPECT_EQ(o->port(), 161);
    EXPECT_EQ(o->timeout(), 700u);
    EXPECT_EQ(o->user_name(), usm.user_name());  // the same USM texts
    EXPECT_EQ(o->context_name(), usm.context_name());
    EXPECT_TRUE(o->community_set());
    EXPECT_STREQ(o->community(), "reader");
    EXPECT_TRUE(o->has_device_index(102));
    long l = 0;
    EXPECT_EQ(get_long(*o, "MemorySizeInMByte", 0, &l), 0);
    EXPECT_EQ(l, 1);
    const char* t = nullptr;
    EXPECT_EQ(o->get_option("InputTrayName", &t, 0), 0);
    EXPECT_STREQ(t, "Bypass");
    EXPECT_NE(t, tray.name);  // its own storage
    EXPECT_STREQ(o->sys_object_id(), "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1");
  }
  // The copies are independent of the original.
  a.initialize_data();
  long l = 0;
  EXPECT_EQ(get_long(b, "MemorySizeInKByte", 0, &l), 0);
  EXPECT_EQ(l, 2047);
}

TEST(OptionStore, DestroyDeletesThroughTheVirtualDestructor) {
  COrvDevCommOption* o = new COrvHarrowOption();
  o->destroy();  // the sanitizer run reports a leak or a mismatched delete
}

TEST(HarrowOption, IsSupportedOidOverTheStoredSysObjectId) {
  TestOption o;
  EXPECT_TRUE(o.is_supported_OID(nullptr));
  EXPECT_TRUE(o.is_supported_OID(""));
  EXPECT_FALSE(o.is_supported_OID("1"));
  const char* sys = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1";
  o.set_sys_object_id(sys);
  EXPECT_TRUE(o.is_supported_OID(nullptr));
  EXPECT_TRUE(o.is_supported_OID(""));
  EXPECT_TRUE(o.is_supported_OID("1.3.6.1.4.1.119"));
  EXPECT_TRUE(o.is_supported_OID(sys));
  EXPECT_TRUE(o.is_supported_OID("1.3.6.1.4.1.11"));  // plain text comparison, no arc rule
  EXPECT_FALSE(o.is_supported_OID((std::string(sys) + ".9").c_str()));
  EXPECT_FALSE(o.is_supported_OID("1.3.6.1.4.1.253"));
}

TEST(HarrowOption, InitRunsTheBaseInitThenChecksTheAddressFamily) {
  FakeUSM usm;
  TestOption o;
  // The base Init records everything; an IPv6 text opened as IPv4 is then
  // refused before any SNMP traffic, and no sysObjectID is read.
  EXPECT_EQ(o.Init(1, "::1", &usm, 1, 1, 0), -2);
  EXPECT_EQ(o.port(), 161);
  EXPECT_STREQ(o.address(), "::1");
  EXPECT_STREQ(o.sys_object_id(), "");
  EXPECT_EQ(o.Init(4, "127.0.0.1", &usm, 1, 1, 0), -2);
  EXPECT_EQ(o.Init(3, "::1", &usm, 1, 1, 0), -2);
  EXPECT_EQ(o.port(), 161);  // the base Init stopped at the protocol
}

TEST(HarrowOption, UsableThroughTheBaseInterface) {
  TestOption o;
  o.set_memory_kb(3072);
  COrvDevCommOption& base = o;
  long l = 0;
  EXPECT_EQ(base.get_option("MemorySizeInMByte", &l, 0), 0);
  EXPECT_EQ(l, 3);
  unsigned long u = 0;
  EXPECT_EQ(base.get_option("MemorySizeInMByte", &u, 0), -5);
  EXPECT_TRUE(base.is_supported_OID(""));
}

}  // namespace
