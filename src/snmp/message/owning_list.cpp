#include "snmp/message/owning_list.h"

#include <list>
#include <new>
#include <set>

#include "snmp/message/pdu.h"
#include "snmp/message/snmp_packet.h"

namespace orv {

class IQesListPosition {
 public:
  virtual ~IQesListPosition() = default;
};

namespace {

template <typename T>
class CQesOwningList final : public IQesList<T> {
  using Items = std::list<QelPtr<T>>;

  struct Position final : IQesListPosition {
    typename Items::iterator it;
  };

 public:
  Result add_front(T* element) override { return add(element, true); }
  Result add_back(T* element) override { return add(element, false); }

  T* remove_first() override { return items_.empty() ? nullptr : take(items_.begin()); }
  T* remove_last() override { return items_.empty() ? nullptr : take(std::prev(items_.end())); }

  void remove_all() override {
    items_.clear();
    for (IQesListPosition* p : positions_) static_cast<Position*>(p)->it = items_.end();
  }

  uint32_t count() const override { return static_cast<uint32_t>(items_.size()); }

  IQesListPosition* new_position(Result* status) override {
    auto* p = new (std::nothrow) Position;
    Result rc = p ? kOk : kErrNoMemory;
    if (p) {
      try {
        positions_.insert(p);
        p->it = items_.begin();
      } catch (const std::bad_alloc&) {
        delete p;
        p = nullptr;
        rc = kErrNoMemory;
      }
    }
    if (status) *status = rc;
    return p;
  }

  Result move_first(IQesListPosition* position) override {
    Position* p = find(position);
    if (!p) return kErrInvalidArg;
    p->it = items_.begin();
    return kOk;
  }

  void release_position(IQesListPosition* position) override {
    Position* p = find(position);
    if (!p) return;
    positions_.erase(p);
    delete p;
  }

  T* element(const IQesListPosition* position) const override {
    Position* p = find(position);
    return p && p->it != items_.end() ? p->it->get() : nullptr;
  }

  Result advance(IQesListPosition* position) override {
    Position* p = find(position);
    if (!p) return kErrInvalidArg;
    if (p->it == items_.end()) return kErrNoValue;
    ++p->it;
    return kOk;
  }

  Result erase(IQesListPosition* position) override {
    Position* p = find(position);
    if (!p) return kErrInvalidArg;
    if (p->it == items_.end()) return kErrNoValue;
    auto doomed = p->it;
    move_positions_off(doomed);
    items_.erase(doomed);
    return kOk;
  }

  IQesList<T>* list() override { return this; }

  void release() override { delete this; }

  T* at(uint32_t index) const override {
    if (index >= items_.size()) return nullptr;
    auto it = items_.begin();
    std::advance(it, index);
    return it->get();
  }

 private:
  ~CQesOwningList() override {
    for (IQesListPosition* p : positions_) delete p;
  }

  Result add(T* element, bool front) {
    if (!element) return kErrInvalidArg;
    try {
      items_.emplace(front ? items_.begin() : items_.end(), element);
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
    return kOk;
  }

  T* take(typename Items::iterator it) {
    move_positions_off(it);
    T* element = it->release();
    items_.erase(it);
    return element;
  }

  // Positions on an element about to go move on to the next one.
  void move_positions_off(typename Items::iterator it) {
    for (IQesListPosition* p : positions_) {
      auto* pos = static_cast<Position*>(p);
      if (pos->it == it) ++pos->it;
    }
  }

  // Only positions this list made are accepted.
  Position* find(const IQesListPosition* position) const {
    auto* p = const_cast<IQesListPosition*>(position);
    return p && positions_.count(p) ? static_cast<Position*>(p) : nullptr;
  }

  Items items_;
  std::set<IQesListPosition*> positions_;
};

template <typename T>
IQesList<T>* create_list(Result* status) {
  auto* list = new (std::nothrow) CQesOwningList<T>;
  if (status) *status = list ? kOk : kErrNoMemory;
  return list;
}

}  // namespace

IQesSnmpPacketList* qes_create_snmp_packet_list(Result* status) { return create_list<IQesSnmpPacket>(status); }
IQesPduList* qes_create_pdu_list(Result* status) { return create_list<IQesPdu>(status); }

}  // namespace orv
