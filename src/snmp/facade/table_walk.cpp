#include "snmp/facade/table_walk.h"

#include <new>
#include <string>

#include "snmp/facade/walk_columns.h"
#include "snmp/facade/walk_rule.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/message/codec_log.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

const IQesVarBind* first_binding(const IQesPdu* pdu) {
  const IQesVarBindList* list = pdu->var_bind_list();
  return list != nullptr ? list->at(0) : nullptr;
}

Result walk_rows(CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target,
                 IQesPduList* collector, const char* root) {
  std::string asked;
  WalkColumns columns;
  columns.start(pdu);
  for (uint32_t rows = 0;;) {
    const IQesVarBind* before = first_binding(pdu);
    const bool has_asked = before != nullptr && before->oid() != nullptr;
    if (has_asked) asked.assign(before->oid()->text());
    columns.note_asked(pdu);
    Result rc = clear_binding_values(pdu);
    if (rc != kOk) return rc;
    rc = exchange.send(pdu, target, kPduGetNextRequest);
    if (rc != kOk) return rc;

    // A column other than the first ran out: the same step without it.
    if (pdu->error_status() == kErrorStatusNoSuchName &&
        columns.drop_named(pdu->error_index(), pdu, &rc)) {
      if (rc != kOk) return rc;
      snmp_log().log(log::kInfo, "walk of %s: column %d ran out.", root,
                     static_cast<int>(pdu->error_index()));
      continue;
    }
    const IQesVarBind* answered = first_binding(pdu);
    if (answered == nullptr || answered->oid() == nullptr) return kErrNoValue;
    const WalkStep step = walk_row_verdict(root, has_asked ? asked.c_str() : nullptr,
                                           answered->oid()->text(), pdu->error_status());
    if (step == kWalkEnd) return kOk;
    if (step == kWalkRefused) {
      snmp_log().log(log::kError, "walk of %s refused: error-status %d, error-index %d.", root,
                     static_cast<int>(pdu->error_status()), static_cast<int>(pdu->error_index()));
      return kErrNoValue;
    }
    if (rows++ == kWalkRowLimit) {
      snmp_log().log(log::kError, "walk of %s stopped after %u rows.", root,
                     static_cast<unsigned>(kWalkRowLimit));
      return kErrNoValue;
    }
    rc = columns.keep_row(pdu, collector);
    if (rc != kOk) return rc;
  }
}

}  // namespace

Result walk_table(CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target,
                  IQesPduList* collector, const char* root) {
  if (pdu == nullptr || target == nullptr || collector == nullptr || root == nullptr) {
    return kErrInvalidArg;
  }
  Result rc = kOk;
  OidPtr root_oid(create_oid_from_text(root, &rc));
  if (!root_oid) return rc != kOk ? rc : kErrNoMemory;
  try {
    return walk_rows(exchange, pdu, target, collector, root_oid->text());
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
}

}  // namespace orv::facade
