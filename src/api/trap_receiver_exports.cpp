// The C interface of include/orv/qel_trap.h over the trap session and its
// observer invoker. Nothing throws across it.
#include "orv/qel_trap.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "snmp/trap/trap_session.h"
#include "snmp/smi/qel_oid.h"

// What a callback is handed: one trap packet, read through the accessors.
// Texts are made on first request and live as long as the callback.
struct QelTrap {
  explicit QelTrap(orv::IQesSnmpPacket* packet) : packet(packet) {}

  const orv::IQesVarBind* binding(uint32_t index) const {
    const orv::IQesVarBindList* list = packet->pdu()->var_bind_list();
    return list && index < list->count() ? list->at(index) : nullptr;
  }

  orv::IQesSnmpPacket* packet;
  mutable std::map<uint32_t, orv::BufferPtr> texts;
};

namespace orv {
namespace {

constexpr int32_t kHostProtocolIpv4 = 1;
constexpr int32_t kHostProtocolIpv6 = 5;

}  // namespace

// One (callback, context) pair as an observer of the invoker. Not in the
// anonymous namespace: QelTrapReceiver, a type of the C interface, holds it.
class TrapCallbackObserver final : public IQesTrapObserver {
 public:
  TrapCallbackObserver(QelTrapCallback callback, void* context) : callback_(callback), context_(context) {}
  void update(IQesSnmpPacket* packet) override {
    const QelTrap trap(packet);
    callback_(&trap, context_);
  }

 private:
  QelTrapCallback callback_;
  void* context_;
};

}  // namespace orv

struct QelTrapReceiver {
  std::unique_ptr<orv::TrapSession> session;
  // One observer per pair, kept until close: a callback may detach its own
  // pair while its observer is still on the stack.
  std::mutex pairs_mutex;
  std::map<std::pair<QelTrapCallback, void*>, std::unique_ptr<orv::TrapCallbackObserver>> pairs;

  // The pair's observer, made on first use; nullptr when memory runs out.
  orv::TrapCallbackObserver* observer_of(QelTrapCallback callback, void* context, bool make) {
    std::lock_guard lock(pairs_mutex);
    try {
      auto& slot = pairs[{callback, context}];
      if (!slot && make) slot = std::make_unique<orv::TrapCallbackObserver>(callback, context);
      return slot.get();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
};

using orv::kErrInvalidArg;
using orv::kErrNoMemory;
using orv::kOk;

extern "C" {

int32_t qel_trap_receiver_open(int32_t protocol, uint16_t port, QelTrapReceiver** out) {
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
}

int32_t qel_trap_receiver_port(const QelTrapReceiver* receiver) {
  return receiver ? receiver->session->local_port() : kErrInvalidArg;
}

int32_t qel_trap_receiver_start(QelTrapReceiver* receiver) {
  return receiver ? receiver->session->start() : kErrInvalidArg;
}

int32_t qel_trap_receiver_close(QelTrapReceiver* receiver) {
  if (!receiver) return kOk;
  // The delivery thread cannot wait for its own end.
  if (receiver->session->on_delivery_thread()) return kErrInvalidArg;
  // Stopped first and freed after: a callback still running may call the
  // other exports with this receiver until the stop returns.
  receiver->session->stop();
  delete receiver;
  return kOk;
}

int32_t qel_trap_receiver_stats(QelTrapReceiver* receiver, uint64_t* received, uint64_t* dropped) {
  if (!receiver) return kErrInvalidArg;
  if (received) *received = receiver->session->posted_count();
  if (dropped) *dropped = receiver->session->dropped_count();
  return kOk;
}

int32_t qel_trap_receiver_attach(QelTrapReceiver* receiver, QelTrapCallback callback, void* context) {
  if (!receiver || !callback) return kErrInvalidArg;
  orv::TrapCallbackObserver* observer = receiver->observer_of(callback, context, true);
  return observer ? receiver->session->attach(observer) : kErrNoMemory;
}

int32_t qel_trap_receiver_detach(QelTrapReceiver* receiver, QelTrapCallback callback, void* context) {
  if (!receiver || !callback) return kErrInvalidArg;
  orv::TrapCallbackObserver* observer = receiver->observer_of(callback, context, false);
  return observer ? receiver->session->detach(observer) : kOk;
}

int32_t qel_trap_version(const QelTrap* trap) {
  return trap ? trap->packet->target()->version() : kErrInvalidArg;
}

const char* qel_trap_sender(const QelTrap* trap) {
  const orv::IQelNetworkAddress* sender = trap ? trap->packet->target()->address() : nullptr;
  return sender ? sender->text() : nullptr;
}

const char* qel_trap_oid(const QelTrap* trap) {
  const orv::IQelOid* oid = trap ? trap->packet->pdu()->trap_oid() : nullptr;
  return oid ? oid->text() : nullptr;
}

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
