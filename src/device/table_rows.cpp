#include "device/table_rows.h"

#include "device/option_request.h"
#include "result_codes.h"
#include "snmp/facade/value_forms.h"
#include "snmp/message/pdu.h"
#include "snmp/message/var_bind.h"
#include "snmp/message/var_bind_list.h"

namespace orv::device {

long TableRows::walk(IQelGetData* request, const char* root) {
  Result status = kOk;
  rows_.reset(qes_create_pdu_list(&status));
  if (!rows_) return status != kOk ? status : kErrNoMemory;
  const long rc = request->get_data(rows_.get(), root);
  if (rc != kOk) return log_failed_step("pGetData->get_data()", rc);
  return kOk;
}

uint32_t TableRows::count() const { return rows_ ? rows_->count() : 0; }

const IQesVarBind* TableRows::binding(uint32_t row, uint32_t column) const {
  if (!rows_) return nullptr;
  const IQesPdu* pdu = rows_->at(row);
  if (pdu == nullptr) return nullptr;
  const IQesVarBindList* list = pdu->var_bind_list();
  return list != nullptr ? list->at(column) : nullptr;
}

const IQelSmiValue* TableRows::value(uint32_t row, uint32_t column) const {
  const IQesVarBind* b = binding(row, column);
  return b != nullptr ? b->value() : nullptr;
}

const IQelOid* TableRows::oid(uint32_t row, uint32_t column) const {
  const IQesVarBind* b = binding(row, column);
  return b != nullptr ? b->oid() : nullptr;
}

int32_t TableRows::integer(uint32_t row, uint32_t column) const {
  return orv::facade::value_as_int32(value(row, column));
}

void TableRows::text(uint32_t row, uint32_t column, char* out, std::size_t size) const {
  if (out == nullptr || size == 0) return;
  out[0] = '\0';
  const IQelSmiValue* v = value(row, column);
  if (v != nullptr) orv::facade::write_value_text(v, out, size);
}

}  // namespace orv::device
