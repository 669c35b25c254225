// The GETBULK table walk of the get-data object (SNMPv2c and SNMPv3).
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/facade/exchange.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"

namespace orv::facade {

// The most bindings one GetBulkRequest asks back: rows of a printer's
// tables stay well inside a 1400-byte answer at this count.
inline constexpr uint32_t kBulkBindingBudget = 48;

// The repetitions of one GetBulkRequest over `columns` columns: the asked
// `max_repetitions`, fewer when the answer would pass the binding budget,
// at least 1.
uint32_t bulk_repetitions(uint32_t max_repetitions, uint32_t columns);

// walk_table() (table_walk.h) with GetBulkRequests of up to
// `max_repetitions` rows each: the same rows in the same form, ending on
// the same rules, and also where the first column answers endOfMibView.
// An agent that answers tooBig is asked again for half as many rows.
Result walk_table_bulk(CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target,
                       IQesPduList* collector, const char* root, uint32_t max_repetitions);

}  // namespace orv::facade
