// The C interface of include/orv/qel_trap.h over the trap session and its
// observer invoker. Nothing throws across it.
#include "orv/qel_trap.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "api/boundary.h"
#include "snmp/trap/trap_session.h"
#include "snmp/smi/qel_oid.h"

// What a callback is handed: one trap packet, read through the accessors.
// Texts are made on first request and live as long as the callback.
struct QelTrap {
  QelTrap(orv::IQesSnmpPacket* packet, int64_t arrived_ms) : packet(packet), arrived_ms(arrived_ms) {}

  const orv::IQesVarBind* binding(uint32_t index) const {
    const orv::IQesVarBindList* list = packet->pdu()->var_bind_list();
    return list && index < list->count() ? list->at(index) : nullptr;
  }

  orv::IQesSnmpPacket* packet;
  int64_t arrived_ms;
  mutable std::map<uint32_t, orv::BufferPtr> texts;
};

namespace orv {
namespace {

constexpr int32_t kHostProtocolIpv4 = 1;
constexpr int32_t kHostProtocolIpv6 = 5;

}  // namespace

class TrapCallbackObserver;
using TrapCallbackObserverPtr = std::unique_ptr<TrapCallbackObserver>;

// One (callback, context) pair as an observer of the invoker. Not in the
// anonymous namespace: QelTrapReceiver, a type of the C interface, holds it.
class TrapCallbackObserver final : public IQesTrapObserver {
 public:
  TrapCallbackObserver(QelTrapCallback callback, void* context, const ObserverInvoker* invoker,
                       std::vector<TrapCallbackObserverPtr>* retired)
      : callback_(callback), context_(context), invoker_(invoker), retired_(retired) {}
  void update(IQesSnmpPacket* packet) override {
    // No call of a retired observer is under way now.
    retired_->clear();
    const QelTrap trap(packet, invoker_->arrival_being_delivered());
    callback_(&trap, context_);
  }

 private:
  QelTrapCallback callback_;
  void* context_;
  const ObserverInvoker* invoker_;
  std::vector<TrapCallbackObserverPtr>* retired_;
};

}  // namespace orv

// Both tables are guarded by the session's observer lock, which every
// delivery holds: a pair is never freed while it is called, and a
// callback's own attach or detach takes the lock again without waiting.
struct QelTrapReceiver {
  std::unique_ptr<orv::TrapSession> session;
  // One observer per attached pair.
  std::map<std::pair<QelTrapCallback, void*>, orv::TrapCallbackObserverPtr> pairs;
  // Detached from inside a callback, perhaps its own: freed at the next call.
  std::vector<orv::TrapCallbackObserverPtr> retired;
};

using orv::kErrInvalidArg;
using orv::kErrNoMemory;
using orv::kOk;

extern "C" {

int32_t qel_trap_receiver_open(int32_t protocol, uint16_t port, QelTrapReceiver** out) {
  return orv::api::guarded([&]() -> int32_t {
    if (!out) return kErrInvalidArg;
    *out = nullptr;
    int32_t framework_protocol = 0;
    if (protocol == orv::kHostProtocolIpv4)
      framework_protocol = orv::IQelNetworkAddress::kProtocolIpv4;
    else if (protocol == orv::kHostProtocolIpv6)
      framework_protocol = orv::IQelNetworkAddress::kProtocolIpv6;
    else
      return kErrInvalidArg;
    std::unique_ptr<QelTrapReceiver> receiver(new (std::nothrow) QelTrapReceiver);
    if (!receiver) return kErrNoMemory;
    orv::TrapSession* session = nullptr;
    const int32_t rc = orv::create_trap_session(framework_protocol, port, &session);
    if (rc != kOk) return rc;
    receiver->session.reset(session);
    *out = receiver.release();
    return kOk;
  });
}

int32_t qel_trap_receiver_port(const QelTrapReceiver* receiver) {
  return receiver ? receiver->session->local_port() : kErrInvalidArg;
}

int32_t qel_trap_receiver_start(QelTrapReceiver* receiver) {
  return orv::api::guarded([&]() -> int32_t {
    return receiver ? receiver->session->start() : kErrInvalidArg;
  });
}

int32_t qel_trap_receiver_close(QelTrapReceiver* receiver) {
  if (!receiver) return kOk;
  // The delivery thread cannot wait for its own end.
  if (receiver->session->on_delivery_thread()) return kErrInvalidArg;
  return orv::api::guarded([&]() -> int32_t {
    // Stopped first and freed after: a callback still running may call the
    // other exports with this receiver until the stop returns.
    receiver->session->stop();
    delete receiver;
    return kOk;
  });
}

int32_t qel_trap_receiver_stats(QelTrapReceiver* receiver, uint64_t* received, uint64_t* dropped) {
  if (!receiver) return kErrInvalidArg;
  if (received) *received = receiver->session->posted_count();
  if (dropped) *dropped = receiver->session->dropped_count();
  return kOk;
}

int32_t qel_trap_receiver_attach(QelTrapReceiver* receiver, QelTrapCallback callback, void* context) {
  return orv::api::guarded([&]() -> int32_t {
    if (!receiver || !callback) return kErrInvalidArg;
    std::lock_guard lock(receiver->session->observer_lock());
    const auto key = std::make_pair(callback, context);
    try {
      auto [slot, made] = receiver->pairs.try_emplace(key);
      if (made) {
        slot->second = std::make_unique<orv::TrapCallbackObserver>(
            callback, context, &receiver->session->invoker(), &receiver->retired);
      }
      const int32_t rc = receiver->session->attach(slot->second.get());
      if (rc != kOk && made) receiver->pairs.erase(slot);
      return rc;
    } catch (const std::bad_alloc&) {
      if (auto slot = receiver->pairs.find(key); slot != receiver->pairs.end() && !slot->second)
        receiver->pairs.erase(slot);
      return kErrNoMemory;
    }
  });
}

int32_t qel_trap_receiver_detach(QelTrapReceiver* receiver, QelTrapCallback callback, void* context) {
  return orv::api::guarded([&]() -> int32_t {
    if (!receiver || !callback) return kErrInvalidArg;
    std::lock_guard lock(receiver->session->observer_lock());
    const auto slot = receiver->pairs.find({callback, context});
    if (slot == receiver->pairs.end()) return kOk;
    receiver->session->detach(slot->second.get());
    orv::TrapCallbackObserverPtr gone = std::move(slot->second);
    receiver->pairs.erase(slot);
    if (receiver->session->on_delivery_thread()) {
      try {
        receiver->retired.push_back(std::move(gone));
      } catch (const std::bad_alloc&) {
        gone.release();  // lost rather than freed under its own call
      }
    }
    return kOk;
  });
}

int32_t qel_trap_version(const QelTrap* trap) {
  if (!trap) return kErrInvalidArg;
  if (trap->packet->pdu()->type() == orv::kPduInformRequest) return QEL_TRAP_VERSION_V2C_INFORM;
  return trap->packet->target()->version();
}

const char* qel_trap_sender(const QelTrap* trap) {
  const orv::IQelNetworkAddress* sender = trap ? trap->packet->target()->address() : nullptr;
  return sender ? sender->text() : nullptr;
}

const char* qel_trap_oid(const QelTrap* trap) {
  const orv::IQelOid* oid = trap ? trap->packet->pdu()->trap_oid() : nullptr;
  return oid ? oid->text() : nullptr;
}

const char* qel_trap_community(const QelTrap* trap) {
  const orv::IQesCommunityTarget* target = trap ? orv::as_community_target(trap->packet->target()) : nullptr;
  return target ? target->community() : nullptr;
}

int64_t qel_trap_arrival(const QelTrap* trap) { return trap ? trap->arrived_ms : kErrInvalidArg; }

uint32_t qel_trap_timestamp(const QelTrap* trap) {
  const orv::IQelSmiValue* stamp = trap ? trap->packet->pdu()->time_stamp() : nullptr;
  return stamp ? stamp->get_uint32() : 0;
}

uint32_t qel_trap_binding_count(const QelTrap* trap) {
  const orv::IQesVarBindList* list = trap ? trap->packet->pdu()->var_bind_list() : nullptr;
  return list ? list->count() : 0;
}

const char* qel_trap_binding_oid(const QelTrap* trap, uint32_t index) {
  const orv::IQesVarBind* binding = trap ? trap->binding(index) : nullptr;
  return binding && binding->oid() ? binding->oid()->text() : nullptr;
}

int32_t qel_trap_binding_type(const QelTrap* trap, uint32_t index) {
  const orv::IQesVarBind* binding = trap ? trap->binding(index) : nullptr;
  return binding && binding->value() ? static_cast<int32_t>(binding->value()->kind()) : kErrInvalidArg;
}

const char* qel_trap_binding_text(const QelTrap* trap, uint32_t index) {
  const orv::IQesVarBind* binding = trap ? trap->binding(index) : nullptr;
  if (!binding || !binding->value()) return nullptr;
  try {
    orv::BufferPtr& text = trap->texts[index];
    if (!text) text.reset(binding->value()->to_text());
    return text ? text->c_str() : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

const uint8_t* qel_trap_binding_bytes(const QelTrap* trap, uint32_t index, size_t* length) {
  if (length) *length = 0;
  const orv::IQesVarBind* binding = trap ? trap->binding(index) : nullptr;
  if (!binding || !binding->value() || !length) return nullptr;
  uint32_t count = 0;
  orv::Result rc = kOk;
  const uint8_t* bytes = binding->value()->get_bytes(&count, &rc);
  if (rc != kOk || !bytes) return nullptr;
  *length = count;
  return bytes;
}

}  // extern "C"
