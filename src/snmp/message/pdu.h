// A PDU: type, request-id, error fields, the varbind list, and for traps the
// time-stamp and trap OID. A request's PDU is reused for its answer.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/message/var_bind_list.h"

namespace orv {

enum PduType : int32_t {
  kPduUnset = -1,
  kPduGetRequest = 0,
  kPduGetNextRequest = 1,
  kPduResponse = 2,
  kPduSetRequest = 3,
  kPduTrap = 4,
  kPduGetBulkRequest = 5,
  kPduInformRequest = 6,
  kPduSnmpV2Trap = 7,
  kPduReport = 8,
};

class IQesPdu {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void release() = 0;                                                        // 1
  // Releases the list, time-stamp and trap OID; type -1, error-status -1,
  // error-index 0.
  virtual void clear() = 0;                                                          // 2
  virtual IQesPdu* clone(Result* status = nullptr) const = 0;                        // 3
  // The header fields and a clone of the other's list replacing this list.
  virtual Result copy_from(const IQesPdu* other) = 0;                                // 4
  // Type, request-id, error fields, clones of time-stamp and trap OID.
  virtual Result copy_header_from(const IQesPdu* other) = 0;                         // 5
  virtual bool equals(const IQesPdu* other) const = 0;                               // 6
  virtual int32_t type() const = 0;                                                  // 7
  virtual void set_type(int32_t type) = 0;                                           // 8
  // Lent; nullptr until a list is set or a binding added.
  virtual IQesVarBindList* var_bind_list() const = 0;                                // 9
  // Takes the list (nullptr removes it) and releases the old one.
  virtual void set_var_bind_list(IQesVarBindList* list) = 0;                         // 10
  virtual IQesVarBindList* detach_var_bind_list() = 0;                               // 11
  // The list's add operations, creating an empty list first when needed.
  virtual Result append_new(IQelOid* oid, IQelSmiValue* value) = 0;                  // 12
  virtual Result append(IQesVarBind* var_bind) = 0;                                  // 13
  virtual Result insert_new_front(IQelOid* oid, IQelSmiValue* value) = 0;            // 14
  virtual Result insert_front(IQesVarBind* var_bind) = 0;                            // 15
  // The list's own; -7 / nullptr without a list.
  virtual Result take_first_apart(IQelOid** oid, IQelSmiValue** value) = 0;         // 16
  virtual IQesVarBind* remove_first() = 0;                                           // 17
  virtual int32_t request_id() const = 0;                                            // 18
  virtual int32_t error_status() const = 0;                                          // 19
  virtual int32_t error_index() const = 0;                                           // 20
  virtual void set_request_id(int32_t id) = 0;                                       // 21
  virtual void set_error_status(int32_t status) = 0;                                 // 22
  virtual void set_error_index(int32_t index) = 0;                                   // 23
  // Trap PDUs only; lent.
  virtual IQelSmiValue* time_stamp() const = 0;                                      // 24
  virtual IQelOid* trap_oid() const = 0;                                             // 25
  virtual IQelSmiValue* detach_time_stamp() = 0;                                     // 26
  virtual IQelOid* detach_trap_oid() = 0;                                            // 27
  // A TimeTicks value only (else -2, the old one kept); takes it.
  virtual Result set_time_stamp(IQelSmiValue* value) = 0;                            // 28
  // An OBJECT IDENTIFIER value only (else -2, the old one kept); takes it.
  virtual Result set_trap_oid(IQelSmiValue* value) = 0;                              // 29

 protected:
  virtual ~IQesPdu() = default;                                                      // 30
};

using PduPtr = QelPtr<IQesPdu>;

// An empty PDU (type -1). `status` (optional): 0 or -3.
IQesPdu* qes_create_pdu(Result* status = nullptr);

}  // namespace orv
