// The framework's generic owning list with positions: the packet list (the
// answers of a broadcast) and the PDU list (the rows of a table walk).
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

class IQesSnmpPacket;
class IQesPdu;

// An iteration point in a list; made and released by the list.
class IQesListPosition;

template <typename T>
class IQesList {
 public:
  // Slot order is part of the interface; do not reorder. The list owns its
  // elements; adding nullptr gives -2, a failed allocation -3 (the caller
  // then keeps the element).
  virtual Result add_front(T* element) = 0;                                    // 1
  virtual Result add_back(T* element) = 0;                                     // 2
  // Remove the first / last element and hand it out (nullptr when empty).
  virtual T* remove_first() = 0;                                               // 3
  virtual T* remove_last() = 0;                                                // 4
  // Releases every element.
  virtual void remove_all() = 0;                                               // 5
  virtual uint32_t count() const = 0;                                          // 6
  // A new position at the first element; nullptr with -3.
  virtual IQesListPosition* new_position(Result* status = nullptr) = 0;        // 7
  virtual Result move_first(IQesListPosition* position) = 0;                   // 8
  virtual void release_position(IQesListPosition* position) = 0;               // 9
  // Lent; nullptr at the end.
  virtual T* element(const IQesListPosition* position) const = 0;              // 10
  // -7 when the position already is at the end.
  virtual Result advance(IQesListPosition* position) = 0;                      // 11
  // Releases the element at the position, which then stands at the next one;
  // -7 at the end.
  virtual Result erase(IQesListPosition* position) = 0;                        // 12
  virtual IQesList* list() = 0;                                                // 13
  // Releases every element, every position not released yet, and the list.
  virtual void release() = 0;                                                  // 14
  // Lent; nullptr when out of range.
  virtual T* at(uint32_t index) const = 0;                                     // 15

 protected:
  virtual ~IQesList() = default;
};

using IQesSnmpPacketList = IQesList<IQesSnmpPacket>;
using IQesPduList = IQesList<IQesPdu>;
using SnmpPacketListPtr = QelPtr<IQesSnmpPacketList>;
using PduListPtr = QelPtr<IQesPduList>;

// Empty lists. `status` (optional): 0 or -3.
IQesSnmpPacketList* qes_create_snmp_packet_list(Result* status = nullptr);
IQesPduList* qes_create_pdu_list(Result* status = nullptr);

}  // namespace orv
