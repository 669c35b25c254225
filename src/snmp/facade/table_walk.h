// The GETNEXT table walk of the get-data object.
#pragma once

#include "result_codes.h"
#include "snmp/facade/exchange.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"

namespace orv::facade {

// Walks the table under `root` starting from the columns the PDU holds: one
// GETNEXT of all columns per row, a copy of each row's response added at
// the back of `collector`, one binding per column (walk_columns.h: a column
// that ran out gives placeholders). Ends with 0 when the first column leaves
// the table, does not advance, or the agent answers noSuchName for it (see
// walk_rule.h); with -7, logged under "snmp", when the agent answers any
// other error-status or more than kWalkRowLimit rows; with -7 when a
// response holds no binding; with the failure of an exchange as it is.
Result walk_table(CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target,
                  IQesPduList* collector, const char* root);

}  // namespace orv::facade
