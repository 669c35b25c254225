// The columns of one GETNEXT table walk. Each binding of the request stands
// for a column; a column that has run out (the agent named it in a
// noSuchName answer, or its binding left the column) is asked no more, and
// its cells in the rows that follow are placeholders: the column's own OID
// with a NULL value, which reads as -1 or as an empty text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "result_codes.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"

namespace orv::facade {

// The next request asks for what follows each column of the last row; the
// agent ignores the values, so they go back as NULL rather than growing the
// request by the row's data.
Result clear_binding_values(IQesPdu* pdu);

class WalkColumns {
 public:
  // Takes the columns from the bindings of the first request.
  void start(const IQesPdu* request);
  // Remembers the OIDs `request` asks for, so that a step can be repeated.
  void note_asked(const IQesPdu* request);
  // After a noSuchName answer naming binding `error_index` (from 1) other
  // than the first: that column is dropped and `pdu` holds the last request
  // again, without it; true. False when the answer ends the walk.
  bool drop_named(int32_t error_index, IQesPdu* pdu, Result* rc);
  // After an answer taken as a row: a copy of it with one binding per
  // column, placeholders where a column has run out (also those whose
  // binding just left its column), into `*row`; the columns that left are
  // then removed from `pdu` for the next request.
  Result make_row(IQesPdu* pdu, IQesPdu** row);
  // make_row() with the row added at the back of `collector`.
  Result keep_row(IQesPdu* pdu, IQesPduList* collector);
  // The column of each binding the next request holds.
  const std::vector<uint32_t>& live() const { return live_; }

 private:
  Result fill_row(const IQesPdu* pdu, const std::vector<bool>& left, IQesPdu* row) const;

  std::vector<std::string> columns_;  // the OID of each column
  std::vector<uint32_t> live_;        // the column of each binding the request holds
  std::vector<std::string> asked_;    // the OIDs the last request held
};

}  // namespace orv::facade
