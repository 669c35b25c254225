// Net-SNMP as the second witness of our codec: a message description
// (message_spec.h) becomes a Net-SNMP PDU and its bytes, and Net-SNMP's
// parse of any bytes becomes a description again.
#pragma once

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>
#include <cstring>

#include "message_spec.h"

namespace orv::testing {

inline void netsnmp_start() {
  static const bool started = [] {
    ::setenv("MIBS", "", 1);
    ::setenv("MIBDIRS", "", 1);
    init_snmp("orv-message-tests");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_REVERSE_ENCODE, 1);
    return true;
  }();
  (void)started;
}

inline std::vector<::oid> to_netsnmp(const Arcs& arcs) { return std::vector<::oid>(arcs.begin(), arcs.end()); }

inline netsnmp_pdu* netsnmp_pdu_of(const MessageSpec& m) {
  netsnmp_pdu* pdu = snmp_pdu_create(0xA0 + m.type);
  pdu->version = m.version == 0 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
  pdu->community = static_cast<u_char*>(std::malloc(m.community.size() + 1));
  std::memcpy(pdu->community, m.community.c_str(), m.community.size() + 1);
  pdu->community_len = m.community.size();
  if (m.type == 4) {
    pdu->enterprise = static_cast<::oid*>(std::malloc(sizeof(::oid) * (m.enterprise.size() + 1)));
    for (size_t i = 0; i < m.enterprise.size(); ++i) pdu->enterprise[i] = m.enterprise[i];
    pdu->enterprise_length = m.enterprise.size();
    pdu->trap_type = m.generic;
    pdu->specific_type = m.specific;
    pdu->time = m.time;
    std::memset(pdu->agent_addr, 0, sizeof pdu->agent_addr);
  } else {
    pdu->reqid = m.request_id;
    pdu->errstat = m.error_status;
    pdu->errindex = m.error_index;
    if (m.type == 5) {  // non-repeaters and max-repetitions
      pdu->non_repeaters = m.error_status;
      pdu->max_repetitions = m.error_index;
    }
  }
  for (const VarSpec& v : m.vars) {
    std::vector<::oid> name = to_netsnmp(v.name);
    const ValueSpec& x = v.value;
    long integer = static_cast<long>(x.integer);
    u_long number = static_cast<u_long>(x.number);
    struct counter64 c64 = {static_cast<u_long>(x.number >> 32), static_cast<u_long>(x.number & 0xFFFFFFFFu)};
    std::vector<::oid> value_oid = to_netsnmp(x.arcs);
    switch (x.tag) {
      case ASN_INTEGER:
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, &integer, sizeof integer);
        break;
      case ASN_COUNTER: case ASN_GAUGE: case ASN_TIMETICKS:
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, &number, sizeof number);
        break;
      case ASN_COUNTER64:
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, &c64, sizeof c64);
        break;
      case ASN_OCTET_STR: case ASN_OPAQUE: case ASN_IPADDRESS:
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, x.bytes.data(), x.bytes.size());
        break;
      case ASN_OBJECT_ID:
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, value_oid.data(),
                              value_oid.size() * sizeof(::oid));
        break;
      default:  // NULL and the exceptions
        snmp_pdu_add_variable(pdu, name.data(), name.size(), x.tag, nullptr, 0);
    }
  }
  return pdu;
}

// Net-SNMP's encoding of the message; empty when it refuses.
inline Bytes netsnmp_build(const MessageSpec& m) {
  netsnmp_start();
  netsnmp_pdu* pdu = netsnmp_pdu_of(m);
  netsnmp_session session;
  snmp_sess_init(&session);
  session.version = pdu->version;
  size_t size = 65536, offset = 0;
  u_char* buffer = static_cast<u_char*>(std::malloc(size));
  Bytes out;
  if (snmp_build(&buffer, &size, &offset, &session, pdu) == 0)
    out.assign(buffer + size - offset, buffer + size);  // built back to front
  std::free(buffer);
  snmp_free_pdu(pdu);
  return out;
}

// Net-SNMP's reading of `bytes`; false when it refuses them.
inline bool netsnmp_parse(const Bytes& bytes, MessageSpec* m) {
  netsnmp_start();
  netsnmp_session session;
  snmp_sess_init(&session);
  netsnmp_pdu* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
  Bytes copy = bytes;
  int rc = snmp_parse(nullptr, &session, pdu, copy.data(), copy.size());
  bool ok = rc == SNMPERR_SUCCESS;
  if (ok) {
    *m = MessageSpec{};
    m->version = pdu->version == SNMP_VERSION_1 ? 0 : 1;
    m->community.assign(reinterpret_cast<const char*>(pdu->community), pdu->community_len);
    m->type = pdu->command - 0xA0;
    if (m->type == 4) {
      m->enterprise.assign(pdu->enterprise, pdu->enterprise + pdu->enterprise_length);
      m->generic = static_cast<int32_t>(pdu->trap_type);
      m->specific = static_cast<int32_t>(pdu->specific_type);
      m->time = static_cast<uint32_t>(pdu->time);
    } else {
      m->request_id = static_cast<int32_t>(pdu->reqid);
      m->error_status = static_cast<int32_t>(pdu->errstat);
      m->error_index = static_cast<int32_t>(pdu->errindex);
    }
    for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable) {
      VarSpec var;
      var.name.assign(v->name, v->name + v->name_length);
      var.value.tag = v->type;
      switch (v->type) {
        case ASN_INTEGER: var.value.integer = static_cast<int32_t>(*v->val.integer); break;
        case ASN_COUNTER: case ASN_GAUGE: case ASN_TIMETICKS:
          var.value.number = static_cast<uint32_t>(*v->val.integer);
          break;
        case ASN_COUNTER64:
          var.value.number = (static_cast<uint64_t>(v->val.counter64->high & 0xFFFFFFFFu) << 32) |
                             (v->val.counter64->low & 0xFFFFFFFFu);
          break;
        case ASN_OCTET_STR: case ASN_OPAQUE: case ASN_IPADDRESS:
          var.value.bytes.assign(v->val.string, v->val.string + v->val_len);
          break;
        case ASN_OBJECT_ID:
          var.value.arcs.assign(v->val.objid, v->val.objid + v->val_len / sizeof(::oid));
          break;
        default: break;
      }
      m->vars.push_back(var);
    }
  }
  snmp_free_pdu(pdu);
  return ok;
}

}  // namespace orv::testing
