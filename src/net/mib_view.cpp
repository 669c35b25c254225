#include "net/mib_view.h"

#include <algorithm>
#include <cstdlib>

namespace orv::net {

MibOid mib_oid(const char* dotted) {
  MibOid oid;
  const char* at = dotted;
  while (*at) {
    char* end = nullptr;
    oid.push_back(static_cast<uint32_t>(std::strtoul(at, &end, 10)));
    if (*end != '.') break;
    at = end + 1;
  }
  return oid;
}

bool MibView::get_next(const MibOid& after, MibOid* oid, MibValue* value) const {
  auto found = objects_.upper_bound(after);
  if (found == objects_.end()) return false;
  *oid = found->first;
  *value = found->second;
  return true;
}

bool mib_under(const MibOid& oid, const MibOid& column) {
  return oid.size() > column.size() && std::equal(column.begin(), column.end(), oid.begin());
}

std::vector<std::vector<MibValue>> walk_columns(const MibView& view,
                                                const std::vector<MibOid>& columns) {
  std::vector<std::vector<MibValue>> rows;
  if (columns.empty()) return rows;
  std::vector<MibOid> bindings = columns;
  std::vector<bool> past_end(columns.size(), false);
  // Every step moves past at least one object: the view's size bounds the walk.
  for (size_t step = 0; step <= view.size(); ++step) {
    std::vector<MibValue> row(columns.size());
    for (size_t i = 0; i < bindings.size(); ++i) {
      MibOid next;
      if (!past_end[i] && view.get_next(bindings[i], &next, &row[i])) {
        bindings[i] = std::move(next);
      } else {
        past_end[i] = true;
      }
    }
    if (past_end[0] || !mib_under(bindings[0], columns[0])) break;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace orv::net
