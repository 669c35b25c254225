// One variable binding: an object identifier with a value and a status.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_oid.h"
#include "snmp/smi/smi_value.h"

namespace orv {

// The status every binding but the failing one gets after an error response.
inline constexpr int32_t kVarBindStatusOther = 100;

class IQesVarBind {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void release() = 0;                                                  // 1
  // Copies the identifier and the value; nullptr with -3.
  virtual IQesVarBind* clone(Result* status = nullptr) const = 0;              // 2
  // Values, identifiers and statuses equal; a missing part equals only a
  // missing part.
  virtual bool equals(const IQesVarBind* other) const = 0;                     // 3
  // Releases the current parts and takes both; a missing value becomes a new
  // NULL (-3 when that cannot be made: nothing is then taken).
  virtual Result init(IQelOid* oid, IQelSmiValue* value) = 0;                  // 4
  virtual Result set(IQelOid* oid, IQelSmiValue* value) = 0;                   // 5 (= init)
  // Hands both parts out, destroying each one the caller gives no place for;
  // both fields are then empty.
  virtual void detach(IQelOid** oid, IQelSmiValue** value) = 0;                // 6
  // Each setter releases the part it replaces; a null value is refused (-2).
  virtual Result set_oid(IQelOid* oid) = 0;                                    // 7
  virtual Result set_value(IQelSmiValue* value) = 0;                           // 8
  virtual IQelOid* oid() const = 0;                                            // 9
  virtual IQelSmiValue* value() const = 0;                                     // 10
  virtual int32_t status() const = 0;                                          // 11
  virtual void set_status(int32_t status) = 0;                                 // 12

 protected:
  virtual ~IQesVarBind() = default;
};

using VarBindPtr = QelPtr<IQesVarBind>;

// An empty binding. `status` (optional): 0 or -3.
IQesVarBind* qes_create_var_bind(Result* status = nullptr);

}  // namespace orv
