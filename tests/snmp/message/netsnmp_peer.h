// Net-SNMP as the second witness of our codec: one neutral description of a
// message is turned into a Net-SNMP PDU and into our packet objects, and
// either side's bytes are read back into that description by both parsers.
#pragma once

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "codec_fixtures.h"

namespace orv::testing {

using Arcs = std::vector<uint32_t>;

struct ValueSpec {
  uint8_t tag = 0x05;
  int64_t integer = 0;  // INTEGER
  uint64_t number = 0;  // Counter32, Gauge32, TimeTicks, Counter64
  Bytes bytes;          // OCTET STRING, Opaque, IpAddress
  Arcs arcs;            // OBJECT IDENTIFIER
  bool operator==(const ValueSpec&) const = default;
};

struct VarSpec {
  Arcs name;
  ValueSpec value;
  bool operator==(const VarSpec&) const = default;
};

struct MessageSpec {
  int32_t version = 1;
  std::string community = "public";
  int32_t type = 0;
  int32_t request_id = 0;
  int32_t error_status = 0;
  int32_t error_index = 0;
  std::vector<VarSpec> vars;
  // SNMPv1 Trap fields.
  Arcs enterprise;
  int32_t generic = 0;
  int32_t specific = 0;
  uint32_t time = 0;
  bool operator==(const MessageSpec&) const = default;
};

inline std::string arcs_text(const Arcs& arcs) {
  std::string s;
  for (uint32_t a : arcs) s += (s.empty() ? "" : ".") + std::to_string(a);
  return s;
}

inline std::ostream& operator<<(std::ostream& out, const MessageSpec& m) {
  out << "v" << m.version << " '" << m.community << "' type " << m.type << " id " << m.request_id << " es "
      << m.error_status << " ei " << m.error_index << " ent " << arcs_text(m.enterprise) << " g " << m.generic
      << " s " << m.specific << " t " << m.time << " [";
  for (const VarSpec& v : m.vars) {
    out << " " << arcs_text(v.name) << "=" << int(v.value.tag) << ":" << v.value.integer << "/" << v.value.number
        << "/" << v.value.bytes.size() << "b/" << arcs_text(v.value.arcs);
  }
  return out << " ]";
}

// ---- Net-SNMP side --------------------------------------------------------

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

// ---- our side -------------------------------------------------------------

inline IQelOid* our_oid(const Arcs& arcs) {
  IQelOid* o = create_oid();
  o->set_arcs(arcs.empty() ? nullptr : arcs.data(), static_cast<uint32_t>(arcs.size()));
  return o;
}

inline IQelSmiValue* our_value(const ValueSpec& x) {
  switch (x.tag) {
    case ASN_INTEGER: return int_value(static_cast<int32_t>(x.integer));
    case ASN_COUNTER: case ASN_GAUGE: case ASN_TIMETICKS: return uint_value(x.tag, static_cast<uint32_t>(x.number));
    case ASN_COUNTER64: return counter64(static_cast<uint32_t>(x.number >> 32), static_cast<uint32_t>(x.number));
    case ASN_OCTET_STR: case ASN_OPAQUE: case ASN_IPADDRESS: return bytes_value(x.tag, x.bytes);
    case ASN_OBJECT_ID: return our_oid(x.arcs);
    default: return value_of(x.tag);
  }
}

inline Arcs standard_traps() { return {1, 3, 6, 1, 6, 3, 1, 1, 5}; }

inline SnmpPacketPtr our_packet_of(const MessageSpec& m) {
  SnmpPacketPtr packet(qes_create_snmp_packet());
  packet->set_target(make_target(m.version, m.community.c_str()).release());
  PduPtr pdu = make_pdu(m.type, m.request_id, m.error_status, m.error_index);
  if (m.type == 4) {
    Arcs trap = m.generic == 6 ? m.enterprise : standard_traps();
    trap.push_back(0);
    trap.push_back(m.generic == 6 ? static_cast<uint32_t>(m.specific) : static_cast<uint32_t>(m.generic) + 1);
    pdu->set_trap_oid(our_oid(trap));
    pdu->set_time_stamp(uint_value(kSmiTimeTicks, m.time));
  }
  for (const VarSpec& v : m.vars) pdu->append_new(our_oid(v.name), our_value(v.value));
  if (!pdu->var_bind_list()) pdu->set_var_bind_list(qes_create_var_bind_list());
  packet->set_pdu(pdu.release());
  return packet;
}

inline Arcs our_arcs(const IQelOid* o) {
  uint32_t count = 0;
  o->get_arcs(nullptr, 0, &count);
  Arcs arcs(count);
  o->get_arcs(arcs.data(), count, &count);
  return arcs;
}

// Our reading of a decoded packet, with the trap OID taken apart again
// (enterprise.0.specific, or the standard traps' .0.generic+1).
inline MessageSpec our_spec_of(IQesSnmpPacket* packet) {
  MessageSpec m;
  m.version = packet->target()->version();
  m.community = as_community_target(packet->target())->community();
  IQesPdu* pdu = packet->pdu();
  m.type = pdu->type();
  if (m.type == 4) {
    Arcs trap = our_arcs(pdu->trap_oid());
    uint32_t n = trap.back();
    trap.resize(trap.size() - 2);
    bool standard = trap == standard_traps();
    m.generic = standard ? static_cast<int32_t>(n) - 1 : 6;
    m.specific = standard ? 0 : static_cast<int32_t>(n);
    m.enterprise = trap;
    m.time = pdu->time_stamp()->get_uint32();
  } else {
    m.request_id = pdu->request_id();
    m.error_status = pdu->error_status();
    m.error_index = pdu->error_index();
  }
  IQesVarBindList* list = pdu->var_bind_list();
  for (uint32_t i = 0; list && i < list->count(); ++i) {
    VarSpec v;
    v.name = our_arcs(list->at(i)->oid());
    IQelSmiValue* x = list->at(i)->value();
    v.value.tag = static_cast<uint8_t>(x->kind());
    switch (x->kind()) {
      case kSmiInteger: v.value.integer = x->get_int32(); break;
      case kSmiCounter32: case kSmiGauge32: case kSmiTimeTicks: v.value.number = x->get_uint32(); break;
      case kSmiCounter64: v.value.number = (uint64_t{x->get_high32()} << 32) | x->get_low32(); break;
      case kSmiOctetString: case kSmiOpaque: case kSmiIpAddress: {
        uint32_t n = 0;
        const uint8_t* b = x->get_bytes(&n);
        v.value.bytes.assign(b, b + n);
        break;
      }
      case kSmiOid: v.value.arcs = our_arcs(as_oid(x)); break;
      default: break;
    }
    m.vars.push_back(v);
  }
  return m;
}

}  // namespace orv::testing
