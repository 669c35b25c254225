// The get-data request objects the status reader makes: configured from the
// settings the open recorded, every failing step logged under "Orv".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/table_rows.h"
#include "snmp/facade/get_data.h"

namespace orv::status {

class COrvDeviceStatus;

struct StatusRequest {
  // A new get-data object with the read community (when one was given) and
  // init() from the recorded settings.
  static int32_t open(const COrvDeviceStatus& status, GetDataPtr* out);
  // As open(), but always with the write community.
  static int32_t open_for_write(const COrvDeviceStatus& status, GetDataPtr* out);
  // open(), the columns in order (no instance suffix), and the walk from
  // the first column into `rows`.
  static int32_t walk(const COrvDeviceStatus& status, const char* const* columns, size_t count,
                      orv::device::TableRows* rows);
  // open(), one binding `oid`, and a GET of its text into `text` (256 bytes);
  // -7, not logged, when the printer lacks the object.
  static int32_t get_text(const COrvDeviceStatus& status, const char* oid, char* text);
  // open(), one binding `oid`, and a GET of its number.
  static int32_t get_int(const COrvDeviceStatus& status, const char* oid, int32_t* value);
};

// A record with every byte zero, so that the bytes after a text's
// terminator are zero too.
template <typename Record>
Record zeroed() {
  Record r;
  std::memset(&r, 0, sizeof r);
  return r;
}

// The octets of an OCTET STRING value, their number in `length`; nullptr
// (length 0) for a missing value or another kind.
const uint8_t* octets_of(const IQelSmiValue* value, uint32_t* length);

// The value as INTEGER; -1 for a missing value or another kind.
int32_t int32_of(const IQelSmiValue* value);
// The value as Gauge32/Counter32/TimeTicks; all bits set otherwise.
uint32_t uint32_of(const IQelSmiValue* value);

}  // namespace orv::status
