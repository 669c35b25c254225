// The rows of one table walk of the option store, read by column as
// integers and texts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "snmp/facade/get_data.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/var_bind.h"
#include "snmp/smi/smi_value.h"

namespace orv::device {

class TableRows {
 public:
  // Runs the walk form of get_data() from `root` (the first column) into a
  // new collector list. A failing walk is logged as "pGetData->get_data()";
  // a collector that cannot be made is returned without a log line.
  long walk(IQelGetData* request, const char* root);

  uint32_t count() const;
  // The column's value as a number; -1 when the row lacks it or it is no
  // number.
  int32_t integer(uint32_t row, uint32_t column) const;
  // The column's text cut to `size - 1` characters; empty when the row lacks
  // it.
  void text(uint32_t row, uint32_t column, char* out, std::size_t size) const;
  // The column's value and identifier as the agent answered them; nullptr
  // when the row lacks the column. Lent until the next walk.
  const orv::IQelSmiValue* value(uint32_t row, uint32_t column) const;
  const orv::IQelOid* oid(uint32_t row, uint32_t column) const;

 private:
  const orv::IQesVarBind* binding(uint32_t row, uint32_t column) const;

  orv::PduListPtr rows_;
};

}  // namespace orv::device
