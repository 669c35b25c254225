// A neutral description of an SNMPv1/v2c message, turned into our packet
// objects and read back from them, so that another SNMP implementation can
// be held against ours field by field.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "codec_fixtures.h"

namespace orv::testing {

using Arcs = std::vector<uint32_t>;

struct ValueSpec {
  uint8_t tag = kSmiNull;
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
  // Appended in two steps: GCC 12 at -O3 calls "." + std::string&& an
  // overlapping memcpy (-Wrestrict, a false alarm).
  for (uint32_t a : arcs) {
    if (!s.empty()) s += '.';
    s += std::to_string(a);
  }
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

inline IQelOid* our_oid(const Arcs& arcs) {
  IQelOid* o = create_oid();
  o->set_arcs(arcs.empty() ? nullptr : arcs.data(), static_cast<uint32_t>(arcs.size()));
  return o;
}

inline IQelSmiValue* our_value(const ValueSpec& x) {
  switch (x.tag) {
    case kSmiInteger: return int_value(static_cast<int32_t>(x.integer));
    case kSmiCounter32: case kSmiGauge32: case kSmiTimeTicks: return uint_value(x.tag, static_cast<uint32_t>(x.number));
    case kSmiCounter64: return counter64(static_cast<uint32_t>(x.number >> 32), static_cast<uint32_t>(x.number));
    case kSmiOctetString: case kSmiOpaque: case kSmiIpAddress: return bytes_value(x.tag, x.bytes);
    case kSmiOid: return our_oid(x.arcs);
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
