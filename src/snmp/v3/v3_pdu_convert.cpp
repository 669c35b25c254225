#include "snmp/v3/v3_pdu_convert.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <vector>

#include "snmp/message/var_bind.h"
#include "snmp/message/var_bind_list.h"
#include "snmp/smi/smi_factory.h"

namespace orv::session {
namespace {

constexpr int32_t kPduTrap = 4;
constexpr int32_t kPduLast = 8;
// Our PDU types 0..8 are the context-specific tags 0xA0..0xA8 in order.
constexpr int kLibraryCommandBase = SNMP_MSG_GET;

struct LibraryPduFree {
  void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using LibraryPduPtr = std::unique_ptr<netsnmp_pdu, LibraryPduFree>;

Result oid_arcs(const IQelOid* name, std::vector<oid>* arcs) {
  uint32_t count = 0;
  (void)name->get_arcs(nullptr, 0, &count);
  std::vector<uint32_t> own(count);
  if (name->get_arcs(own.data(), count, &count) != kOk) return kErrInvalidArg;
  arcs->assign(own.begin(), own.end());
  return kOk;
}

Result value_arcs_of(const IQelSmiValue* value, std::vector<oid>* arcs) {
  void* part = nullptr;
  if (const_cast<IQelSmiValue*>(value)->query(kQueryKindBase | kSmiOid, &part) != kOk || !part) {
    return kErrInvalidArg;
  }
  return oid_arcs(static_cast<IQelOid*>(part), arcs);
}

// Appends one binding: the value's kind is its BER tag, which is also the
// library's type code.
Result add_binding(netsnmp_pdu* pdu, const IQesVarBind* binding) {
  const IQelOid* name = binding->oid();
  const IQelSmiValue* value = binding->value();
  if (!name || !value) return kErrInvalidArg;
  std::vector<oid> name_arcs;
  if (Result rc = oid_arcs(name, &name_arcs); rc != kOk) return rc;

  const uint32_t kind = value->kind();
  const void* content = nullptr;
  size_t length = 0;
  long number = 0;
  u_long unsigned_number = 0;
  u_char ip[4];
  counter64 wide{};
  std::vector<oid> value_arcs;
  uint32_t byte_count = 0;
  switch (kind) {
    case kSmiInteger:
      number = value->get_int32();
      content = &number;
      length = sizeof(number);
      break;
    case kSmiCounter32:
    case kSmiGauge32:
    case kSmiTimeTicks:
      unsigned_number = value->get_uint32();
      content = &unsigned_number;
      length = sizeof(unsigned_number);
      break;
    case kSmiIpAddress: {
      uint32_t host = value->get_uint32();
      ip[0] = static_cast<u_char>(host >> 24);
      ip[1] = static_cast<u_char>(host >> 16);
      ip[2] = static_cast<u_char>(host >> 8);
      ip[3] = static_cast<u_char>(host);
      content = ip;
      length = sizeof(ip);
      break;
    }
    case kSmiOctetString:
    case kSmiOpaque:
      content = value->get_bytes(&byte_count);
      length = byte_count;
      break;
    case kSmiOid:
      if (Result rc = value_arcs_of(value, &value_arcs); rc != kOk) return rc;
      content = value_arcs.data();
      length = value_arcs.size() * sizeof(oid);
      break;
    case kSmiCounter64:
      wide.high = value->get_high32();
      wide.low = value->get_low32();
      content = &wide;
      length = sizeof(wide);
      break;
    case kSmiNull:
    case kSmiNoSuchObject:
    case kSmiNoSuchInstance:
    case kSmiEndOfMibView:
      break;
    default:
      return kErrInvalidArg;
  }
  if (!snmp_pdu_add_variable(pdu, name_arcs.data(), name_arcs.size(), static_cast<u_char>(kind),
                             content, length)) {
    return kErrNoMemory;
  }
  return kOk;
}

// Our value for one library binding; nullptr with -250 for a type we do not
// know.
IQelSmiValue* value_of(const netsnmp_variable_list* variable, Result* rc) {
  const uint32_t kind = variable->type;
  if (kind == kSmiOid) {
    std::vector<uint32_t> arcs(variable->val.objid, variable->val.objid + variable->val_len / sizeof(oid));
    return create_oid_from_arcs(arcs.data(), static_cast<uint32_t>(arcs.size()), rc);
  }
  SmiValuePtr value(create_smi_value(kind == ASN_UINTEGER ? kSmiGauge32 : kind, rc));
  if (!value) {
    if (*rc == kErrInvalidArg) *rc = kErrNotAwaited;
    return nullptr;
  }
  switch (kind) {
    case kSmiInteger:
      *rc = value->set_int32(static_cast<int32_t>(*variable->val.integer));
      break;
    case kSmiCounter32:
    case kSmiGauge32:
    case kSmiTimeTicks:
    case ASN_UINTEGER:
      *rc = value->set_uint32(static_cast<uint32_t>(*variable->val.integer));
      break;
    case kSmiIpAddress:
    case kSmiOctetString:
    case kSmiOpaque:
      *rc = value->set_bytes(variable->val.string, static_cast<uint32_t>(variable->val_len));
      break;
    case kSmiCounter64:
      *rc = value->set_high32(static_cast<uint32_t>(variable->val.counter64->high));
      if (*rc == kOk) *rc = value->set_low32(static_cast<uint32_t>(variable->val.counter64->low));
      break;
    case kSmiNull:
    case kSmiNoSuchObject:
    case kSmiNoSuchInstance:
    case kSmiEndOfMibView:
      *rc = kOk;
      break;
    default:
      *rc = kErrNotAwaited;
  }
  if (*rc != kOk) return nullptr;
  return value.release();
}

}  // namespace

Result v3_to_library_pdu(const IQesPdu* pdu, snmp_pdu** out) {
  if (!pdu || !out) return kErrInvalidArg;
  *out = nullptr;
  const int32_t type = pdu->type();
  if (type < 0 || type > kPduLast || type == kPduTrap) return kErrInvalidArg;
  LibraryPduPtr library(snmp_pdu_create(kLibraryCommandBase + type));
  if (!library) return kErrNoMemory;
  library->reqid = pdu->request_id();
  if (type == kPduGetBulkRequest) {
    // The library keeps non-repeaters and max-repetitions in the error fields.
    library->non_repeaters = pdu->error_status();
    library->max_repetitions = pdu->error_index();
  }
  if (const IQesVarBindList* list = pdu->var_bind_list()) {
    for (uint32_t i = 0; i < list->count(); ++i) {
      if (Result rc = add_binding(library.get(), list->at(i)); rc != kOk) return rc;
    }
  }
  *out = library.release();
  return kOk;
}

Result v3_from_library_pdu(const snmp_pdu* answer, IQesPdu* pdu) {
  if (!answer || !pdu) return kErrInvalidArg;
  Result rc = kOk;
  VarBindListPtr list(qes_create_var_bind_list(&rc));
  if (!list) return rc;
  for (const netsnmp_variable_list* v = answer->variables; v; v = v->next_variable) {
    std::vector<uint32_t> arcs(v->name, v->name + v->name_length);
    QelPtr<IQelOid> name(create_oid_from_arcs(arcs.data(), static_cast<uint32_t>(arcs.size()), &rc));
    if (!name) return rc;
    SmiValuePtr value(value_of(v, &rc));
    if (!value) return rc;
    if ((rc = list->append_new(name.get(), value.get())) != kOk) return rc;
    (void)name.release();
    (void)value.release();
  }
  const int command = answer->command;
  pdu->set_type(command >= kLibraryCommandBase && command <= kLibraryCommandBase + kPduLast
                    ? command - kLibraryCommandBase
                    : pdu->type());
  pdu->set_error_status(static_cast<int32_t>(answer->errstat));
  pdu->set_error_index(static_cast<int32_t>(answer->errindex));
  if (answer->errstat != 0) {
    list->record_error(static_cast<int32_t>(answer->errstat), static_cast<int32_t>(answer->errindex));
  }
  pdu->set_var_bind_list(list.release());
  return kOk;
}

}  // namespace orv::session
