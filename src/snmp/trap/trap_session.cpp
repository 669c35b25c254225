#include "snmp/trap/trap_session.h"

#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/trap/trap_decode.h"

namespace orv {
namespace {

constexpr const char kTrapRunName[] = "TrapSession::run";

}  // namespace

Result create_trap_session(int32_t protocol, uint16_t port, TrapSession** out) {
  if (!out) return kErrInvalidArg;
  *out = nullptr;
  std::unique_ptr<TrapSession> session(new (std::nothrow) TrapSession);
  if (!session) return kErrNoMemory;
  Result rc = session->recreate_socket(protocol, port);
  if (rc != kOk) return rc;
  session->invoker_.reset(new (std::nothrow) ObserverInvoker);
  if (!session->invoker_) return kErrNoMemory;
  rc = session->invoker_->create();
  if (rc == kOk) rc = session->invoker_->start();
  if (rc == kOk) rc = session->create();
  if (rc != kOk) return rc;
  *out = session.release();
  return kOk;
}

TrapSession::~TrapSession() {
  stop();
  // The invoker and the socket go with the members.
}

void TrapSession::stop() {
  std::lock_guard lock(stop_mutex_);
  if (stopped_) return;
  stopped_ = true;
  // The receive thread goes first: it posts to the invoker and reads the
  // socket, so both must outlive it.
  cancel();
  join();
  if (invoker_) {
    if (invoker_->run_state() == kRunning) invoker_->post(kDestroy);
    invoker_->join();  // what is still queued is freed with the invoker
  }
}

uint16_t TrapSession::local_port() const {
  IDataGramSocket* s = socket();
  return s && s->local_address() ? s->local_address()->port() : 0;
}

Result TrapSession::receive_trap(IQesSnmpPacket** trap) {
  uint32_t received = 0;
  IQelNetworkAddress* sender_raw = nullptr;
  Result rc = socket()->receive(buffer_, sizeof buffer_, kTrapReceiveTimeoutMs, &received, &sender_raw);
  NetworkAddressPtr sender(sender_raw);
  if (rc != kOk) return rc;
  IQesSnmpPacket* decoded = nullptr;
  rc = decode_trap_datagram(buffer_, received, &decoded);
  if (rc != kOk) return rc;
  decoded->target()->set_address(sender.release());
  *trap = decoded;
  return kOk;
}

void TrapSession::run() {
  snmp_log().log(log::kTrace, "[%s] enter.", kTrapRunName);
  while (!is_cancelled()) {
    IQesSnmpPacket* trap = nullptr;
    // Time-outs and undecodable datagrams: simply receive again.
    if (receive_trap(&trap) != kOk) continue;
    snmp_log().log(log::kInfo, "[TrapSession]: receive packet(0x%x).", log_pointer_id(trap));
    if (invoker_->post(kFireTrap, trap) == kOk) posted_.fetch_add(1, std::memory_order_relaxed);
  }
  snmp_log().log(log::kInfo, "[TrapSession]: canceled.");
  snmp_log().log(log::kTrace, "[%s] exit.", kTrapRunName);
}

}  // namespace orv
