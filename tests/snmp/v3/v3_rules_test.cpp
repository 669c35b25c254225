// The SNMPv3 session's pure parts: our PDU to the library's and back for
// every value kind, the library's error numbers as our codes, the peer-name
// forms and the session settings taken from a target.
#include <gtest/gtest.h>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstring>
#include <string>
#include <vector>

#include "snmp/message/var_bind.h"
#include "snmp/message/var_bind_list.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/v3/v3_error_map.h"
#include "snmp/v3/v3_library.h"
#include "snmp/v3/v3_pdu_convert.h"
#include "snmp/v3/v3_session_settings.h"
#include "snmp/smi/smi_factory.h"

namespace orv {
namespace {

struct LibraryPduFree {
  void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using LibraryPduPtr = std::unique_ptr<netsnmp_pdu, LibraryPduFree>;

IQelSmiValue* value(uint32_t kind, const char* text) {
  Result rc = kOk;
  IQelSmiValue* v = create_smi_value(kind, &rc);
  EXPECT_EQ(rc, kOk) << kind;
  if (v && text) {
    EXPECT_EQ(v->set_text(text), kOk) << kind;
  }
  return v;
}

IQelSmiValue* bytes_value(uint32_t kind, const std::string& bytes) {
  IQelSmiValue* v = create_smi_value(kind);
  EXPECT_EQ(v->set_bytes(bytes.data(), static_cast<uint32_t>(bytes.size())), kOk);
  return v;
}

TEST(V3PduConversion, EveryValueKindCrossesBothWaysUnchanged) {
  IQelSmiValue* wide = create_smi_value(kSmiCounter64);
  ASSERT_EQ(wide->set_high32(0x89ABCDEFu), kOk);
  ASSERT_EQ(wide->set_low32(0x01234567u), kOk);
  struct Case {
    uint32_t kind;
    IQelSmiValue* value;
  } cases[] = {
      {kSmiInteger, value(kSmiInteger, "-2147483648")},
      {kSmiOctetString, bytes_value(kSmiOctetString, std::string("a\0\xff z", 5))},
      {kSmiNull, value(kSmiNull, nullptr)},
      {kSmiOid, create_oid_from_text("1.3.6.1.4.1.9999.4294967295")},
      {kSmiIpAddress, value(kSmiIpAddress, "10.1.2.254")},
      {kSmiCounter32, value(kSmiCounter32, "4294967295")},
      {kSmiGauge32, value(kSmiGauge32, "7")},
      {kSmiTimeTicks, value(kSmiTimeTicks, "123456")},
      {kSmiOpaque, bytes_value(kSmiOpaque, std::string("\x9f\x78\x04", 3))},
      {kSmiCounter64, wide},
      {kSmiNoSuchObject, value(kSmiNoSuchObject, nullptr)},
      {kSmiNoSuchInstance, value(kSmiNoSuchInstance, nullptr)},
      {kSmiEndOfMibView, value(kSmiEndOfMibView, nullptr)},
  };
  PduPtr request(qes_create_pdu());
  request->set_type(3);  // SetRequest
  request->set_request_id(77);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = "1.3.6.1.4.1.9999.1." + std::to_string(i + 1);
    ASSERT_EQ(request->append_new(create_oid_from_text(name.c_str()), cases[i].value), kOk);
  }

  netsnmp_pdu* raw = nullptr;
  ASSERT_EQ(session::v3_to_library_pdu(request.get(), &raw), kOk);
  LibraryPduPtr library(raw);
  EXPECT_EQ(library->command, SNMP_MSG_SET);
  EXPECT_EQ(library->reqid, 77);
  size_t index = 0;
  for (netsnmp_variable_list* v = library->variables; v; v = v->next_variable, ++index) {
    ASSERT_LT(index, std::size(cases));
    EXPECT_EQ(v->type, cases[index].kind) << index;
    EXPECT_EQ(v->name[v->name_length - 1], index + 1);
  }
  EXPECT_EQ(index, std::size(cases));
  // Spot checks of the library's own forms.
  netsnmp_variable_list* v = library->variables;
  EXPECT_EQ(*v->val.integer, -2147483648L);
  v = v->next_variable->next_variable->next_variable->next_variable;  // IpAddress
  EXPECT_EQ(std::string(reinterpret_cast<char*>(v->val.string), v->val_len), "\x0a\x01\x02\xfe");
  for (int i = 0; i < 5; ++i) v = v->next_variable;  // Counter64
  EXPECT_EQ(v->val.counter64->high, 0x89ABCDEFu);
  EXPECT_EQ(v->val.counter64->low, 0x01234567u);

  // The answer: the library's PDU as a Response, back into a PDU of ours.
  library->command = SNMP_MSG_RESPONSE;
  library->errstat = 0;
  library->errindex = 0;
  PduPtr answer(qes_create_pdu());
  answer->set_type(0);
  answer->set_request_id(5);
  ASSERT_EQ(session::v3_from_library_pdu(library.get(), answer.get()), kOk);
  EXPECT_EQ(answer->type(), 2);
  EXPECT_EQ(answer->request_id(), 5);
  EXPECT_EQ(answer->error_status(), 0);
  EXPECT_TRUE(answer->var_bind_list()->equals(request->var_bind_list()));
}

TEST(V3PduConversion, ErrorStatusMarksTheBindingsAndUnsendableFormsAreRefused) {
  PduPtr request(qes_create_pdu());
  request->set_type(1);
  for (const char* name : {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.2.0", "1.3.6.1.2.1.1.3.0"}) {
    ASSERT_EQ(request->append_new(create_oid_from_text(name), create_smi_value(kSmiNull)), kOk);
  }
  netsnmp_pdu* raw = nullptr;
  ASSERT_EQ(session::v3_to_library_pdu(request.get(), &raw), kOk);
  LibraryPduPtr library(raw);
  EXPECT_EQ(library->command, SNMP_MSG_GETNEXT);
  library->command = SNMP_MSG_RESPONSE;
  library->errstat = SNMP_ERR_NOSUCHNAME;
  library->errindex = 2;
  ASSERT_EQ(session::v3_from_library_pdu(library.get(), request.get()), kOk);
  EXPECT_EQ(request->error_status(), 2);
  EXPECT_EQ(request->error_index(), 2);
  const IQesVarBindList* list = request->var_bind_list();
  EXPECT_EQ(list->at(0)->status(), 100);
  EXPECT_EQ(list->at(1)->status(), 2);
  EXPECT_EQ(list->at(2)->status(), 100);

  request->set_type(4);  // an SNMPv1 trap has no SNMPv3 form
  EXPECT_EQ(session::v3_to_library_pdu(request.get(), &raw), kErrInvalidArg);
  request->set_type(0);
  ASSERT_EQ(request->append_new(create_oid_from_text("1.3.6.1.2.1.1.4.0"),
                                bytes_value(kSmiIpv6Address, std::string(16, '\1'))),
            kOk);
  EXPECT_EQ(session::v3_to_library_pdu(request.get(), &raw), kErrInvalidArg);
  EXPECT_EQ(raw, nullptr);
}

TEST(V3ErrorMap, LibraryErrorsBecomeOurCodes) {
  const std::vector<std::pair<std::vector<int>, Result>> table = {
      {{0}, kOk},
      {{-24}, kErrTimeout},
      {{-12}, kErrSend},
      {{-25, -32}, kErrReceive},
      {{-62}, kErrNoMemory},
      {{-66}, kErrLoad},
      {{-11, -13, -29, -31, -38, -41, -47, -48, -49, -50, -64}, kErrNotAwaited},
      {{-30, -33, -34, -35, -36, -37, -42, -43, -44, -46}, kErrSecurity},
      {{-3, -4, -5, -14, -17, -19, -23, -27, -28, -45, -56, -57, -58, -59, -60, -61}, kErrInvalidArg},
      {{-1, -2, -6, -22, -26, -39, -40, -51, -55, -63, -65, -67, -69, -70, 1}, kErrSnmpLibrary},
  };
  for (const auto& [errors, expected] : table) {
    for (int error : errors) {
      EXPECT_EQ(session::v3_library_error_result(error), expected) << error;
      // Opening: what is unclassified there means refused settings.
      EXPECT_EQ(session::v3_open_error_result(error),
                expected == kErrSnmpLibrary ? kErrInvalidArg : expected)
          << error;
    }
  }
}

TEST(V3SessionSettings, PeerNameFormsAndPorts) {
  using P = IQelNetworkAddress;
  struct Case {
    const char* text;
    P::EProtocol protocol;
    uint16_t own_port, target_port;
    Result rc;
    const char* peer;
  } cases[] = {
      {"192.0.2.7", P::kProtocolIpv4, 0, 0, kOk, "192.0.2.7"},
      {"192.0.2.7", P::kProtocolIpv4, 0, 161, kOk, "192.0.2.7:161"},
      {"192.0.2.7", P::kProtocolIpv4, 1161, 161, kOk, "192.0.2.7:1161"},
      {"fe80::1", P::kProtocolIpv6, 161, 0, kOk, "udp6:[fe80::1]:161"},
      {"00000001:0a0b0c0d0e0f", P::kProtocolIpx, 0, 36879, kOk, "ipx:00000001:0a0b0c0d0e0f/36879"},
      {"192.0.2.7", P::kProtocolNone, 161, 161, kErrInvalidArg, ""},
  };
  for (const Case& c : cases) {
    NetworkAddressPtr address(qel_create_network_address_with_protocol(c.text, c.protocol, c.own_port));
    std::string peer;
    EXPECT_EQ(session::v3_peer_name(address.get(), c.target_port, &peer), c.rc) << c.text;
    if (c.rc == kOk) {
      EXPECT_EQ(peer, c.peer);
    }
  }
}

// A target of the user-based model, as the request objects make it.
QelPtr<IQesSnmpV3Target> v3_target(int32_t level, int32_t auth, int32_t priv, const char* priv_pass) {
  QelPtr<IQesSnmpV3Target> t(qes_create_snmpv3_target());
  t->set_version(session::kSnmpVersion3);
  t->set_timeout(500);
  t->set_retries(2);
  t->set_address(qel_create_network_address_with_protocol("192.0.2.7", IQelNetworkAddress::kProtocolIpv4, 161));
  EXPECT_EQ(t->set_security_name("operator"), kOk);
  t->set_security_level(level);
  t->set_auth_protocol(auth);
  t->set_priv_protocol(priv);
  EXPECT_EQ(t->set_auth_passphrase("auth-phrase-17"), kOk);
  EXPECT_EQ(t->set_priv_passphrase(priv_pass), kOk);
  EXPECT_EQ(t->set_context_name("printer-a"), kOk);
  return t;
}

TEST(V3SessionSettings, TargetBecomesLibrarySession) {
  session::V3LibraryUse library;
  struct Case {
    const char* name;
    int32_t level, auth, priv;
    const char* priv_pass;
    Result rc;
    int library_level;
    size_t auth_key, priv_key;
  } cases[] = {
      {"noAuthNoPriv ignores protocols", 0, 9, 9, "priv-phrase-23", kOk, SNMP_SEC_LEVEL_NOAUTH, 0, 0},
      {"authNoPriv MD5", 1, 1, 9, "priv-phrase-23", kOk, SNMP_SEC_LEVEL_AUTHNOPRIV, 16, 0},
      {"authPriv SHA/AES", 2, 2, 2, "priv-phrase-23", kOk, SNMP_SEC_LEVEL_AUTHPRIV, 20, 20},
      {"authPriv, empty privacy pass phrase", 2, 1, 1, "", kOk, SNMP_SEC_LEVEL_AUTHPRIV, 16, 0},
      {"level 3", 3, 1, 1, "priv-phrase-23", kErrInvalidArg, 0, 0, 0},
      {"authentication 0", 1, 0, 1, "priv-phrase-23", kErrInvalidArg, 0, 0, 0},
      {"privacy 3", 2, 1, 3, "priv-phrase-23", kErrInvalidArg, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto target = v3_target(c.level, c.auth, c.priv, c.priv_pass);
    netsnmp_session s;
    snmp_sess_init(&s);
    session::V3SessionTexts texts;
    ASSERT_EQ(session::v3_fill_session(target.get(), &texts, &s), c.rc);
    if (c.rc != kOk) continue;
    EXPECT_EQ(s.version, SNMP_VERSION_3);
    EXPECT_EQ(s.retries, 2);
    EXPECT_EQ(s.timeout, 500000);
    EXPECT_STREQ(s.peername, "192.0.2.7:161");
    EXPECT_EQ(std::string(s.securityName, s.securityNameLen), "operator");
    EXPECT_EQ(std::string(s.contextName, s.contextNameLen), "printer-a");
    EXPECT_EQ(s.securityLevel, c.library_level);
    EXPECT_EQ(s.securityAuthKeyLen, c.auth_key);
    EXPECT_EQ(s.securityPrivKeyLen, c.priv_key);
  }
  // A community target, or an SNMPv3 target of another version, fits not.
  auto target = v3_target(0, 0, 0, "");
  target->set_version(kSnmpV1);
  netsnmp_session s;
  snmp_sess_init(&s);
  session::V3SessionTexts texts;
  EXPECT_EQ(session::v3_fill_session(target.get(), &texts, &s), kErrInvalidArg);
}

}  // namespace
}  // namespace orv
