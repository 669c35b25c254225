// Printers over SNMPv3 through the C interface: an open, a refresh and every
// status table read with a v3 user give the same records as over SNMPv1, at
// each security level; agents that refuse a user, its pass phrases or say
// nothing give the codes a host can tell apart.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "orv/orv.h"
#include "support/lab.h"

namespace {

using orv::test::SnmpdAgent;
using orv::test::SnmpsimAgent;

constexpr uint32_t kV3TimeoutMs = 1000;
constexpr uint32_t kV3Retries = 1;
constexpr int32_t kUsm = 2;
const char* const kAuthPass = "auth-phrase-17";
const char* const kPrivPass = "priv-phrase-23";

OrvUSMParameters usm(const char* user, int32_t level, int32_t auth, int32_t priv,
                     const char* auth_pass = kAuthPass, const char* priv_pass = kPrivPass,
                     const char* context = "") {
  OrvUSMParameters p{};
  std::snprintf(p.user_name, sizeof(p.user_name), "%s", user);
  p.security_level = level;
  p.auth_protocol = auth;
  p.priv_protocol = priv;
  std::snprintf(p.auth_pass_phrase, sizeof(p.auth_pass_phrase), "%s", auth_pass);
  std::snprintf(p.priv_pass_phrase, sizeof(p.priv_pass_phrase), "%s", priv_pass);
  std::snprintf(p.context_name, sizeof(p.context_name), "%s", context);
  return p;
}

template <typename Record>
void append_table(std::string* out, const char* name, int32_t (*count_of)(OrvHandle, int32_t*),
                  int32_t (*get)(OrvHandle, uint32_t, Record*), OrvHandle h) {
  int32_t count = -1;
  *out += std::string(name) + " rc=" + std::to_string(count_of(h, &count));
  *out += " n=" + std::to_string(count) + "\n";
  for (int32_t i = 0; i < count; ++i) {
    Record record;
    std::memset(&record, 0x5A, sizeof(record));
    *out += std::to_string(get(h, static_cast<uint32_t>(i), &record)) + ":";
    out->append(reinterpret_cast<const char*>(&record), sizeof(record));
    *out += "\n";
  }
}

// Everything a host reads from an open printer, as one comparable text.
std::string snapshot(OrvHandle h) {
  std::string out = "refresh " + std::to_string(OrvRefreshOptions(h)) + "\n";
  for (const char* key : {"SysName", "PrinterRomVersion", "NetWareSAPUnitName"}) {
    char text[ORV_OPTION_TEXT_SIZE] = {};
    out += key + std::string("=") + std::to_string(OrvGetOptionValueString(h, key, 0, text)) + ":" +
           text + "\n";
  }
  for (const char* key : {"MemorySizeInKByte", "NumberOfInputTray", "MinPasswordLength"}) {
    int32_t value = -1;
    out += key + std::string("=") + std::to_string(OrvGetOptionValueInteger(h, key, 0, &value)) +
           ":" + std::to_string(value) + "\n";
  }
  append_table(&out, "storage", OrvGetNumberOfStorageInfo, OrvGetStorageInfo, h);
  append_table(&out, "device", OrvGetNumberOfDeviceInfo, OrvGetDeviceInfo, h);
  append_table(&out, "input", OrvGetNumberOfInputTrayInfo, OrvGetInputTrayInfo, h);
  append_table(&out, "output", OrvGetNumberOfOutputTrayInfo, OrvGetOutputTrayInfo, h);
  append_table(&out, "toner", OrvGetNumberOfTonerInfo, OrvGetTonerInfo, h);
  append_table(&out, "alert", OrvGetNumberOfAlertInfo, OrvGetAlertInfo, h);
  OrvPrinterInfo printer;
  std::memset(&printer, 0x5A, sizeof(printer));
  out += "printer " + std::to_string(OrvGetPrinterInfo(h, &printer)) + ":";
  out.append(reinterpret_cast<const char*>(&printer), sizeof(printer));
  return out;
}

struct Handle {
  Handle() { EXPECT_EQ(OrvInit(&h), 0); }
  ~Handle() { OrvUnInit(h); }
  OrvHandle h = nullptr;
};

TEST(Snmpv3Printer, EveryLevelReadsTheSameRecordsAsSnmpV1) {
  ORV_REQUIRE_LAB(true, {"snmpsimd"});
  struct Case {
    const char* name;
    const char* lab_user;
    OrvUSMParameters params;
  } cases[] = {
      {"authPriv SHA/AES", "u-sha-aes:SHA:auth-phrase-17:AES:priv-phrase-23",
       usm("u-sha-aes", 2, 2, 2, kAuthPass, kPrivPass, "printer-a")},
      {"authNoPriv MD5", "u-md5:MD5:auth-phrase-17:NONE:",
       usm("u-md5", 1, 1, 0, kAuthPass, kPrivPass, "printer-a")},
      {"noAuthNoPriv", "u-none:NONE::NONE:", usm("u-none", 0, 0, 0, kAuthPass, kPrivPass, "printer-a")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string address = orv::test::free_loopback_address();
    SnmpsimAgent agent({.endpoints = {address + ":161"}, .serve = {"printer-a"},
                        .v3users = {c.lab_user}});
    Handle v1;
    ASSERT_EQ(OrvCommandString(v1.h, "CmdSetCommunityGetOption", "printer-a"), 0);
    ASSERT_EQ(OrvInitDevice(v1.h, address.c_str(), 1, kV3TimeoutMs, kV3Retries), 0);
    const std::string expected = snapshot(v1.h);
    ASSERT_NE(expected.find("SysName=0:printer-a-floor2"), std::string::npos) << expected;

    Handle v3;
    ASSERT_EQ(OrvInitDeviceEx(v3.h, address.c_str(), 1, kUsm, &c.params, kV3TimeoutMs, kV3Retries), 0);
    EXPECT_EQ(snapshot(v3.h), expected);
  }
}

TEST(Snmpv3Printer, RefusalsNameTheirCause) {
  ORV_REQUIRE_LAB(true, {"snmpd"});
  const std::string address = orv::test::free_loopback_address();
  SnmpdAgent agent({.addresses = {address},
                    .sysobjectid = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2",
                    .v3users = {"known:SHA:auth-phrase-17:AES:priv-phrase-23"}});
  const std::string silent = orv::test::free_loopback_address();
  struct Case {
    const char* name;
    std::string address;
    OrvUSMParameters params;
    int32_t expected;
  } cases[] = {
      {"the user", address, usm("known", 2, 2, 2), 0},
      {"wrong pass phrase", address, usm("known", 2, 2, 2, "not-the-phrase"), -214},
      {"unknown user", address, usm("stranger", 2, 2, 2), -214},
      {"silent agent", silent, usm("known", 2, 2, 2), -203},
      // The agent's authorizationError: the user may not read at this level.
      {"level below the user's access", address, usm("known", 1, 2, 0), -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Handle h;
    EXPECT_EQ(OrvInitDeviceEx(h.h, c.address.c_str(), 1, kUsm, &c.params, 300, 0), c.expected);
  }
}

}  // namespace
