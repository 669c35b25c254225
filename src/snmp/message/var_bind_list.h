// An ordered, growable list of owned variable bindings.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/message/var_bind.h"

namespace orv {

class IQesVarBindList {
 public:
  // Slot order is part of the interface; do not reorder. Operations that
  // take objects own them only on success; on failure the caller keeps them.
  virtual void release() = 0;                                                        // 1
  // A new list holding clones of all bindings; nullptr with -3.
  virtual IQesVarBindList* clone(Result* status = nullptr) const = 0;                // 2
  // Same count and each binding equal to the one at the same index.
  virtual bool equals(const IQesVarBindList* other) const = 0;                       // 3
  virtual uint32_t count() const = 0;                                                // 4
  // A new binding from an identifier and a value (-2 without an identifier).
  virtual Result append_new(IQelOid* oid, IQelSmiValue* value) = 0;                  // 5
  virtual Result append(IQesVarBind* var_bind) = 0;                                  // 6 (-2 for none)
  virtual Result insert_new_front(IQelOid* oid, IQelSmiValue* value) = 0;            // 7
  virtual Result insert_front(IQesVarBind* var_bind) = 0;                            // 8
  // Hands the binding to `out`, or destroys it without one; -2 for an index
  // not below the count.
  virtual Result remove_at(uint32_t index, IQesVarBind** out = nullptr) = 0;         // 9
  // Removes the first binding and hands out its parts (each destroyed where
  // no place is given); -7 when the list is empty.
  virtual Result take_first_apart(IQelOid** oid, IQelSmiValue** value) = 0;         // 10
  // Removes the first binding and hands it out; nullptr when empty.
  virtual IQesVarBind* remove_first() = 0;                                           // 11
  // Lent; nullptr when out of range.
  virtual IQesVarBind* at(uint32_t index) const = 0;                                 // 12
  // Clones of at most `count` bindings from `start` on; -2 for a start not
  // below the count.
  virtual IQesVarBindList* copy_range(uint32_t start, uint32_t count,
                                      Result* status = nullptr) const = 0;           // 13
  // A new list into which the first `count` bindings (at most all) move.
  virtual IQesVarBindList* split_front(uint32_t count, Result* status = nullptr) = 0;  // 14
  // The binding at `error_index` (counted from 1) gets `error_status`, every
  // other one kVarBindStatusOther.
  virtual void record_error(int32_t error_status, int32_t error_index) = 0;          // 15
  virtual void set_all_status(int32_t status) = 0;                                   // 16

 protected:
  virtual ~IQesVarBindList() = default;                                              // 17
};

using VarBindListPtr = QelPtr<IQesVarBindList>;

// An empty list. `status` (optional): 0 or -3.
IQesVarBindList* qes_create_var_bind_list(Result* status = nullptr);

}  // namespace orv
