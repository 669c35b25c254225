#include "snmp/trap/trap_v1_form.h"

#include <new>
#include <vector>

#include "snmp/message/ber_reader.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/smi/qel_oid.h"
#include "snmp/smi/smi_factory.h"

namespace orv {
namespace {

constexpr uint32_t kStandardTrapArcs[] = {1, 3, 6, 1, 6, 3, 1, 1, 5};
constexpr uint32_t kStandardTrapArcCount = sizeof kStandardTrapArcs / sizeof kStandardTrapArcs[0];

// The fields of a Trap-PDU that the codec's trap OID does not keep.
struct V1TrapHeader {
  const uint8_t* enterprise = nullptr;
  uint32_t enterprise_length = 0;
  const uint8_t* agent = nullptr;
  uint32_t agent_length = 0;
  int32_t generic = 0;
};

Result read_v1_trap_header(const uint8_t* data, size_t length, V1TrapHeader* header) {
  BerReader reader(data, length);
  uint8_t tag = 0;
  uint32_t count = 0;
  const uint8_t* skipped = nullptr;
  const uint8_t* generic = nullptr;
  uint32_t generic_length = 0;
  if (reader.read_tag_length(&tag, &count) != kOk || tag != kTagSequence ||
      !reader.read_tlv(kTagInteger, &skipped, &count) || !reader.read_tlv(kTagOctetString, &skipped, &count) ||
      reader.read_tag_length(&tag, &count) != kOk || tag != kTagPduBase + kPduTrap ||
      !reader.read_tlv(kTagOid, &header->enterprise, &header->enterprise_length) ||
      !reader.read_tlv(kTagIpAddress, &header->agent, &header->agent_length) ||
      !reader.read_tlv(kTagInteger, &generic, &generic_length))
    return kErrNotAwaited;
  return ber_decode_int32(generic, generic_length, &header->generic);
}

// The arcs of OBJECT IDENTIFIER contents; false for contents that are none.
bool ber_oid_arcs(const uint8_t* contents, uint32_t length, std::vector<uint32_t>* arcs) {
  uint64_t subid = 0;
  for (uint32_t i = 0; i < length; ++i) {
    subid = (subid << 7) | (contents[i] & 0x7Fu);
    if (subid > UINT32_MAX) return false;
    if (contents[i] & 0x80u) continue;
    if (arcs->empty()) {
      const auto first = static_cast<uint32_t>(subid < 80 ? subid / 40 : 2);
      arcs->push_back(first);
      arcs->push_back(static_cast<uint32_t>(subid) - 40 * first);
    } else {
      arcs->push_back(static_cast<uint32_t>(subid));
    }
    subid = 0;
  }
  return length > 0 && (contents[length - 1] & 0x80u) == 0;
}

// Appends name = value; both are released when the append fails.
Result append_binding(IQesPdu* pdu, const char* name, IQelSmiValue* value, Result made) {
  Result rc = made;
  IQelOid* oid = value ? create_oid_from_text(name, &rc) : nullptr;
  if (!oid) {
    if (value) value->release();
    return rc != kOk ? rc : kErrNoMemory;
  }
  return pdu->append_new(oid, value);
}

}  // namespace

Result put_v1_trap_in_standard_form(const uint8_t* data, size_t length, IQesPdu* pdu) {
  V1TrapHeader header;
  Result rc = read_v1_trap_header(data, length, &header);
  if (rc != kOk) return kErrNotAwaited;
  std::vector<uint32_t> enterprise;
  try {
    if (!ber_oid_arcs(header.enterprise, header.enterprise_length, &enterprise)) return kErrNotAwaited;
    if (header.generic >= 0 && header.generic < kGenericTrapEnterpriseSpecific) {
      std::vector<uint32_t> standard(kStandardTrapArcs, kStandardTrapArcs + kStandardTrapArcCount);
      standard.push_back(static_cast<uint32_t>(header.generic) + 1);
      IQelOid* oid = create_oid_from_arcs(standard.data(), static_cast<uint32_t>(standard.size()), &rc);
      if (!oid) return rc;
      rc = pdu->set_trap_oid(oid);
      if (rc != kOk) {
        oid->release();
        return rc;
      }
    }
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  IQelSmiValue* address = create_smi_value(kSmiIpAddress, &rc);
  if (address && (rc = address->set_bytes(header.agent, header.agent_length)) != kOk) {
    address->release();
    return rc;
  }
  rc = append_binding(pdu, kSnmpTrapAddressInstance, address, rc);
  if (rc != kOk) return rc;
  IQelOid* value = create_oid_from_arcs(enterprise.data(), static_cast<uint32_t>(enterprise.size()), &rc);
  return append_binding(pdu, kSnmpTrapEnterpriseInstance, value, rc);
}

}  // namespace orv
