// The delivery thread of the trap receiver: takes requests from a queue of
// at most 200 and calls every attached observer with each trap, in attach
// order, so that a slow observer holds up reception only once the queue is
// full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "snmp/message/snmp_packet.h"
#include "snmp/trap/trap_observer.h"
#include "snmp/trap/worker_thread.h"

namespace orv {

inline constexpr ptrdiff_t kObserverQueueLimit = 200;

// An object as the log lines show it: the low 32 bits of its address.
inline unsigned log_pointer_id(const void* pointer) {
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(pointer));
}

enum ObserverRequestKind : int32_t {
  kDestroy = 0,   // ends the thread; no object
  kFireTrap = 1,  // a trap packet, owned by the request
};

class ObserverInvoker final : public WorkerThread {
 public:
  ObserverInvoker() = default;
  // Joins the thread (the owner has posted kDestroy or never started it)
  // and releases whatever is still queued.
  ~ObserverInvoker() override;

  // Appended under the observer lock; an observer may be attached more than
  // once and is then called once per entry. -2 for null.
  Result attach(IQesTrapObserver* observer);
  // Removes every entry of `observer`; one that is not attached is no error.
  // Once this returns, `observer` is not called again. -2 for null.
  Result detach(IQesTrapObserver* observer);

  // Waits without limit for a free slot, then queues the request. kFireTrap
  // takes `trap` (also when the post fails, it is released) and the time it
  // arrived (milliseconds since 1970 UTC). 0, or -3.
  Result post(ObserverRequestKind kind, IQesSnmpPacket* trap = nullptr, int64_t arrived_ms = 0);
  // On the delivery thread during a delivery: when its trap arrived.
  int64_t arrival_being_delivered() const { return arrival_being_delivered_; }

  // Requests waiting now.
  size_t pending() const;

  // The lock that attach, detach and every delivery hold. Recursive: the
  // delivery thread takes it again from inside an observer's call.
  std::recursive_mutex& observer_lock() { return observer_mutex_; }

 protected:
  void run() override;

 private:
  struct Request {
    int32_t kind;
    IQesSnmpPacket* object;
    int64_t arrived_ms;
  };

  void deliver(IQesSnmpPacket* trap);
  static void free_request(Request& request);

  mutable std::mutex queue_mutex_;
  std::list<Request> queue_;
  std::counting_semaphore<kObserverQueueLimit> items_{0};
  std::counting_semaphore<kObserverQueueLimit> free_slots_{kObserverQueueLimit};

  // Recursive: an observer may attach or detach from inside its own call,
  // on this thread, while delivery holds the lock.
  std::recursive_mutex observer_mutex_;
  std::vector<IQesTrapObserver*> observers_;
  // The delivery under way: the next entry to call and the end of the
  // entries it calls (both 0 outside a delivery).
  size_t next_ = 0;
  size_t end_ = 0;
  int64_t arrival_being_delivered_ = 0;  // the delivery thread's own
};

}  // namespace orv
