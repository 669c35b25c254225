#include "snmp/trap/trap_session.h"

#include <chrono>
#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/message/codec_service.h"
#include "snmp/message/pdu.h"
#include "snmp/message/raw_packet.h"
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
  // IPv6 only: an IPv4 receiver may share the port.
  Result rc = session->recreate_socket(protocol, port, true);
  if (rc != kOk) return rc;
  // Both are logged by the socket when refused; the receiver works without.
  session->socket()->set_receive_buffer(kTrapSocketBufferBytes);
  session->socket()->enable_drop_count();
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
  wake_receiver();
  join();
  if (invoker_) {
    if (invoker_->run_state() == kRunning) invoker_->post(kDestroy);
    invoker_->join();  // what is still queued is freed with the invoker
  }
}

void TrapSession::wake_receiver() {
  IDataGramSocket* s = socket();
  if (!s || !s->local_address()) return;
  const auto protocol = static_cast<IQelNetworkAddress::EProtocol>(s->local_address()->protocol());
  Result rc = kOk;
  NetworkAddressPtr self(qel_create_network_address(&rc));
  if (!self || self->init(protocol == IQelNetworkAddress::kProtocolIpv6 ? "::1" : "127.0.0.1", protocol,
                          local_port()) != kOk)
    return;
  static const uint8_t kNothing = 0;
  s->send(&kNothing, 0, self.get());
}

uint16_t TrapSession::local_port() const {
  IDataGramSocket* s = socket();
  return s && s->local_address() ? s->local_address()->port() : 0;
}

uint64_t TrapSession::dropped_count() const {
  uint32_t system = system_drops_.load(std::memory_order_relaxed);
  // Drops after the last datagram read show only in the socket's own count.
  uint32_t now = 0;
  if (socket()->read_drop_count(&now) == kOk && now > system) system = now;
  return system + queue_drops_.load(std::memory_order_relaxed);
}

void TrapSession::note_system_drops(uint32_t drops) {
  const uint32_t before = system_drops_.load(std::memory_order_relaxed);
  if (drops <= before) return;
  system_drops_.store(drops, std::memory_order_relaxed);
  snmp_log().log(log::kWarn, "[TrapSession]: the system dropped %u datagrams, its receive buffer full (%u in all).",
                 drops - before, drops);
}

Result TrapSession::receive_trap(IQesSnmpPacket** trap) {
  DatagramReceipt receipt;
  Result rc = socket()->receive_message(buffer_, sizeof buffer_, kTrapReceiveTimeoutMs, &receipt);
  if (rc != kOk) return rc;
  note_system_drops(receipt.drops);
  if (receipt.truncated) {
    snmp_log().log(log::kWarn, "[TrapSession]: datagram longer than %u bytes arrived cut; dropped.",
                   kTrapReceiveBufferSize);
    return kErrNotAwaited;
  }
  IQesSnmpPacket* decoded = nullptr;
  rc = decode_trap_datagram(buffer_, receipt.length, &decoded);
  if (rc != kOk) return rc;
  SnmpPacketPtr packet(decoded);
  IQelNetworkAddress* sender = nullptr;
  rc = socket()->sender_address(receipt.sender, &sender);
  if (rc != kOk) return rc;
  packet->target()->set_address(sender);
  *trap = packet.release();
  return kOk;
}

void TrapSession::answer_inform(IQesSnmpPacket* inform) {
  Result rc = kOk;
  PduPtr answer(inform->pdu()->clone(&rc));
  RawPacketPtr raw(answer ? qes_create_raw_packet(kTrapReceiveBufferSize, &rc) : nullptr);
  if (raw) {
    answer->set_type(kPduResponse);
    answer->set_error_status(0);
    answer->set_error_index(0);
    rc = CQesCodecService::instance().encode(answer.get(), inform->target(), raw.get());
    if (rc == kOk) rc = socket()->send(raw->data(), raw->length(), inform->target()->address());
  }
  if (rc != kOk)
    snmp_log().log(log::kError, "[TrapSession]: cannot answer inform(0x%x). result=%d", log_pointer_id(inform), rc);
}

void TrapSession::run() {
  snmp_log().log(log::kTrace, "[%s] enter.", kTrapRunName);
  while (!is_cancelled()) {
    IQesSnmpPacket* trap = nullptr;
    // Time-outs and undecodable datagrams: simply receive again.
    if (receive_trap(&trap) != kOk) continue;
    const int64_t arrived_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch()).count();
    snmp_log().log(log::kInfo, "[TrapSession]: receive packet(0x%x).", log_pointer_id(trap));
    if (trap->pdu()->type() == kPduInformRequest) answer_inform(trap);
    if (invoker_->post(kFireTrap, trap, arrived_ms) == kOk) {
      posted_.fetch_add(1, std::memory_order_relaxed);
    } else {
      queue_drops_.fetch_add(1, std::memory_order_relaxed);
      snmp_log().log(log::kWarn, "[TrapSession]: trap dropped: the queue could not take it.");
    }
  }
  snmp_log().log(log::kInfo, "[TrapSession]: canceled.");
  snmp_log().log(log::kTrace, "[%s] exit.", kTrapRunName);
}

}  // namespace orv
