// Listens on one datagram socket for SNMP traps and notifications, decodes
// each datagram into a trap packet whose target carries the sender's
// address, and posts it to its observer invoker, which calls the observers
// on a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "result_codes.h"
#include "snmp/trap/observer_invoker.h"
#include "snmp/session/session_transport.h"
#include "snmp/trap/worker_thread.h"

namespace orv {

// Each wait for a trap lasts this long, so a cancel is seen within it.
inline constexpr int32_t kTrapReceiveTimeoutMs = 1000;
// The largest UDP datagram: a trap is never cut (the request sessions keep
// their own, smaller buffer).
inline constexpr uint32_t kTrapReceiveBufferSize = 65535;
// The socket's own buffer: a burst waits there while the queue is full
// (some ten thousand small traps fit).
inline constexpr uint32_t kTrapSocketBufferBytes = 8u << 20;

class TrapSession final : public WorkerThread, private SessionTransport {
 public:
  // stop(), then the invoker and the socket go.
  ~TrapSession() override;

  // Cancels and joins the receive thread (within about a second plus one
  // post), then ends the invoker (kDestroy: what is queued is delivered
  // first) and joins it. Everything stays in place meanwhile, so an
  // observer still running may attach, detach or ask the port. No observer
  // is called after this returns. Must not run on the delivery thread.
  void stop();
  // True on the thread that calls the observers.
  bool on_delivery_thread() const { return invoker_->on_own_thread(); }

  // The invoker's attach and detach.
  Result attach(IQesTrapObserver* observer) { return invoker_->attach(observer); }
  Result detach(IQesTrapObserver* observer) { return invoker_->detach(observer); }
  ObserverInvoker& invoker() { return *invoker_; }
  std::recursive_mutex& observer_lock() { return invoker_->observer_lock(); }
  // The bound port (the system's choice when 0 was asked for).
  uint16_t local_port() const;
  // Traps taken from the socket and posted so far.
  uint64_t posted_count() const { return posted_.load(std::memory_order_relaxed); }
  // Traps lost so far: the datagrams the system dropped at the socket (its
  // count as of now) and the traps the queue could not take.
  uint64_t dropped_count() const;

 protected:
  void run() override;

 private:
  friend Result create_trap_session(int32_t protocol, uint16_t port, TrapSession** out);
  TrapSession() = default;

  // An empty datagram to the socket's own port on loopback: the receive
  // wait ends at once instead of at its time-out (and decodes as nothing).
  void wake_receiver();
  // One datagram within the time-out, as a new trap packet (the caller's).
  Result receive_trap(IQesSnmpPacket** trap);
  // Answers an InformRequest with a Response of its request-id and
  // bindings, from this socket to its sender; a failure is logged.
  void answer_inform(IQesSnmpPacket* inform);
  // Takes the system's drop count that came with a datagram; logs a rise.
  void note_system_drops(uint32_t drops);

  std::unique_ptr<ObserverInvoker> invoker_;
  std::atomic<uint64_t> posted_{0};
  std::atomic<uint32_t> system_drops_{0};  // the highest count the system reported
  std::atomic<uint64_t> queue_drops_{0};
  std::mutex stop_mutex_;
  bool stopped_ = false;
  uint8_t buffer_[kTrapReceiveBufferSize];
};

// A trap session on a socket of `protocol` (1 IPv4, 4 IPv6) bound to
// `port` (0: the system chooses), with its invoker's thread running and its
// own thread created suspended (start() it). 0 with *out set (caller
// deletes it); otherwise the failing step's code: -2, -3, the socket's.
Result create_trap_session(int32_t protocol, uint16_t port, TrapSession** out);

}  // namespace orv
