#include "snmp/trap/observer_invoker.h"

#include <new>

#include "snmp/message/codec_log.h"

namespace orv {
namespace {

constexpr const char kInvokerRunName[] = "ObserverInvoker::run";

}  // namespace

ObserverInvoker::~ObserverInvoker() {
  join();
  for (Request& request : queue_) free_request(request);
}

void ObserverInvoker::free_request(Request& request) {
  if (request.object) request.object->release();
  request.object = nullptr;
}

Result ObserverInvoker::attach(IQesTrapObserver* observer) {
  if (!observer) return kErrInvalidArg;
  {
    std::lock_guard lock(observer_mutex_);
    try {
      observers_.push_back(observer);
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
  }
  snmp_log().log(log::kDebug, "[ObserverInvoker]: attach observer(0x%x).", log_pointer_id(observer));
  return kOk;
}

Result ObserverInvoker::detach(IQesTrapObserver* observer) {
  if (!observer) return kErrInvalidArg;
  {
    std::lock_guard lock(observer_mutex_);
    for (size_t i = observers_.size(); i-- > 0;) {
      if (observers_[i] != observer) continue;
      observers_.erase(observers_.begin() + static_cast<ptrdiff_t>(i));
      // Detached from inside a delivery: keep its cursor on the same entries.
      if (i < next_) --next_;
      if (i < end_) --end_;
    }
  }
  snmp_log().log(log::kDebug, "[ObserverInvoker]: detach observer(0x%x).", log_pointer_id(observer));
  return kOk;
}

Result ObserverInvoker::post(ObserverRequestKind kind, IQesSnmpPacket* trap, int64_t arrived_ms) {
  free_slots_.acquire();
  try {
    std::lock_guard lock(queue_mutex_);
    queue_.push_back(Request{kind, trap, arrived_ms});
  } catch (const std::bad_alloc&) {
    free_slots_.release();
    if (trap) trap->release();
    return kErrNoMemory;
  }
  items_.release();
  return kOk;
}

size_t ObserverInvoker::pending() const {
  std::lock_guard lock(queue_mutex_);
  return queue_.size();
}

void ObserverInvoker::run() {
  snmp_log().log(log::kTrace, "[%s] enter.", kInvokerRunName);
  for (;;) {
    items_.acquire();
    Request request{};
    {
      std::lock_guard lock(queue_mutex_);
      request = queue_.front();
      queue_.pop_front();
    }
    free_slots_.release();

    if (is_cancelled()) {
      snmp_log().log(log::kInfo, "[ObserverInvoker]: canceled.");
      free_request(request);
      break;
    }
    if (request.kind == kDestroy) {
      snmp_log().log(log::kDebug, "[ObserverInvoker]: accept kDestroy.");
      free_request(request);
      break;
    }
    if (request.kind != kFireTrap) {
      snmp_log().log(log::kDebug, "[ObserverInvoker]: unknown request.");
      free_request(request);
      break;
    }
    snmp_log().log(log::kDebug, "[ObserverInvoker]: accept kFireTrap.");
    arrival_being_delivered_ = request.arrived_ms;
    deliver(request.object);
    free_request(request);
  }
  snmp_log().log(log::kTrace, "[%s] exit.", kInvokerRunName);
}

void ObserverInvoker::deliver(IQesSnmpPacket* trap) {
  if (!trap) return;
  std::lock_guard lock(observer_mutex_);
  // Observers attached during this delivery wait for the next trap.
  next_ = 0;
  end_ = observers_.size();
  while (next_ < end_) observers_[next_++]->update(trap);
  next_ = end_ = 0;
}

}  // namespace orv
