// Building requests for the session tests: community targets, GET PDUs of
// NULL bindings, and reading the answers back as text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/network_address.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"
#include "snmp/smi/smi_factory.h"
#include "snmp/smi/qel_oid.h"
#include "support/lab.h"

namespace orv::testing {

struct TargetSettings {
  std::string address;  // "127.0.0.1" or "::1"
  uint16_t port = 161;
  std::string community = "public";
  int32_t version = kSnmpV1;
  int32_t timeout_ms = 1000;
  int32_t retries = 0;
  uint64_t max_message_size = 1400;
};

inline IQelNetworkAddress::EProtocol protocol_of(const std::string& address) {
  return address.find(':') != std::string::npos ? IQelNetworkAddress::kProtocolIpv6
                                                : IQelNetworkAddress::kProtocolIpv4;
}

inline SnmpTargetPtr make_target(const TargetSettings& s) {
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity));
  as_community_target(target.get())->set_community(s.community.c_str());
  target->set_version(s.version);
  target->set_timeout(s.timeout_ms);
  target->set_retries(s.retries);
  target->set_max_message_size(s.max_message_size);
  target->set_address(
      qel_create_network_address_with_protocol(s.address.c_str(), protocol_of(s.address), s.port));
  return target;
}

inline PduPtr make_get(const std::vector<std::string>& oids, int32_t type = kPduGetRequest) {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(type);
  for (const std::string& oid : oids) {
    EXPECT_EQ(pdu->append_new(create_oid_from_text(oid.c_str()), create_smi_value(0x05)), kOk);
  }
  return pdu;
}

// "1.3.6.1.2.1.1.5.0" ... as the request's bindings name them.
inline std::vector<std::string> numbered_oids(size_t count, const std::string& base = "1.3.6.1.4.1.9999.1") {
  std::vector<std::string> oids;
  for (size_t i = 1; i <= count; ++i) oids.push_back(base + "." + std::to_string(i) + ".0");
  return oids;
}

inline std::string oid_at(const IQesPdu* pdu, uint32_t index) {
  const IQesVarBind* binding = pdu->var_bind_list() ? pdu->var_bind_list()->at(index) : nullptr;
  const char* text = binding && binding->oid() ? binding->oid()->text() : nullptr;
  return text ? text : "<none>";
}

inline std::string value_text(const IQesPdu* pdu, uint32_t index) {
  const IQesVarBind* binding = pdu->var_bind_list() ? pdu->var_bind_list()->at(index) : nullptr;
  if (!binding || !binding->value()) return "<none>";
  BufferPtr text(binding->value()->to_text());
  return text ? text->c_str() : "<none>";
}

inline uint32_t count_of(const IQesPdu* pdu) {
  return pdu->var_bind_list() ? pdu->var_bind_list()->count() : 0;
}

// "127.x.y.z:port" of a scripted peer split into its parts.
inline std::pair<std::string, uint16_t> split_bind(const std::string& bind) {
  size_t colon = bind.rfind(':');
  std::string host = bind.substr(0, colon);
  if (!host.empty() && host.front() == '[') host = host.substr(1, host.size() - 2);
  return {host, static_cast<uint16_t>(std::stoi(bind.substr(colon + 1)))};
}

}  // namespace orv::testing
