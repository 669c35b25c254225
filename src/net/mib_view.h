// A read-only table of MIB objects, instance identifier to value, answered
// with get-next in identifier order, and the column-by-column walk over it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orv::net {

using MibOid = std::vector<uint32_t>;

struct MibValue {
  uint32_t number = 0;  // integers, and IpAddress values in network order
  std::string text;     // DisplayString values
};

// Dotted text into sub-identifiers (no checks: the callers' texts are constants).
MibOid mib_oid(const char* dotted);

class MibView {
 public:
  void set(MibOid oid, MibValue value) { objects_[std::move(oid)] = std::move(value); }

  // The first object after `after`; false past the last one.
  bool get_next(const MibOid& after, MibOid* oid, MibValue* value) const;

  size_t size() const { return objects_.size(); }

 private:
  std::map<MibOid, MibValue> objects_;
};

// One get-next request per row with one binding per column, starting from the
// bare column identifiers, until the first binding leaves its column. Each
// row holds one value per column.
std::vector<std::vector<MibValue>> walk_columns(const MibView& view,
                                                const std::vector<MibOid>& columns);

// `oid` lies under `column`.
bool mib_under(const MibOid& oid, const MibOid& column);

}  // namespace orv::net
