// Helpers of the request-object tests against real agents.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "net/network_address.h"
#include "snmp/facade/get_data.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"
#include "snmp/smi/smi_value.h"
#include "support/lab.h"

namespace orv::test {

inline constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2";

// A get-data object configured for an SNMPv1 community request over IPv4.
inline GetDataPtr open_get_data(const std::string& address, const char* community,
                                uint16_t port = 161, uint32_t timeout_ms = 1000,
                                uint32_t retries = 1) {
  int32_t result = -99;
  GetDataPtr request(qel_create_get_data(&result));
  EXPECT_EQ(result, kOk);
  if (!request) return request;
  request->set_community(community);
  EXPECT_EQ(request->init(address.c_str(), IQelNetworkAddress::kProtocolIpv4, port, 0, nullptr,
                          timeout_ms, retries, 0),
            kOk);
  return request;
}

// One line of a printer data file.
struct RecLine {
  std::string oid;
  std::string type;
  std::string value;
};

// The data file's lines whose OID lies below `prefix` (all for "").
inline std::vector<RecLine> snmprec_lines(const std::string& printer, const std::string& prefix) {
  std::vector<RecLine> out;
  std::ifstream in(data_file(printer));
  std::string line;
  while (std::getline(in, line)) {
    const size_t a = line.find('|');
    const size_t b = line.find('|', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    RecLine rec{line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)};
    if (prefix.empty() || rec.oid.rfind(prefix + ".", 0) == 0) out.push_back(rec);
  }
  return out;
}

inline std::string text_of(const IQelSmiValue* value) {
  if (value == nullptr) return "<none>";
  BufferPtr text(value->to_text());
  return text ? std::string(text->c_str(), text->length()) : "<error>";
}

// The OID texts of a PDU's bindings, in order.
inline std::vector<std::string> binding_oids(const IQesPdu* pdu) {
  std::vector<std::string> out;
  const IQesVarBindList* list = pdu ? pdu->var_bind_list() : nullptr;
  for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
    out.emplace_back(list->at(i)->oid()->text());
  }
  return out;
}

}  // namespace orv::test
