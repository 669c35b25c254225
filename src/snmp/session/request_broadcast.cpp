// One request to a broadcast or multicast destination, answered by every
// agent that hears it: each answering address is kept once, with the first
// answer that came from it.
#include "snmp/message/codec_log.h"
#include "snmp/message/codec_service.h"
#include "snmp/session/broadcast_sender_rule.h"
#include "snmp/session/broadcast_senders.h"
#include "snmp/session/request_session.h"
#include "snmp/session/split_rules.h"
#include "snmp/session/taken_packet.h"

namespace orv {
namespace {

constexpr const char* kBroadcastName = "RequestSession::send_broad_cast_sync";
// Room in the kernel for a burst of answers: thousands of agents may answer
// within milliseconds, faster than they are taken one by one.
constexpr uint32_t kBroadcastReceiveBuffer = 8u << 20;

// Traces the exit of the broadcast however it returns.
struct ExitTrace {
  ~ExitTrace() { snmp_log().log(log::kTrace, "[%s] exit.", kBroadcastName); }
};

// A packet of the decoded answer and a copy of the target aimed at `sender`;
// nullptr when the datagram does not decode (it is dropped).
IQesSnmpPacket* answer_packet(const IQesRawPacket* datagram, const IQesSnmpTarget* target,
                              NetworkAddressPtr sender, Result* rc) {
  PduPtr pdu(qes_create_pdu(rc));
  if (!pdu) return nullptr;
  if (CQesCodecService::instance().decode(datagram, pdu.get(), nullptr, target->kind()) != kOk) {
    *rc = kOk;
    return nullptr;
  }
  SnmpTargetPtr copy(target->clone(rc));
  if (!copy) return nullptr;
  copy->set_address(sender.release());
  SnmpPacketPtr packet(qes_create_snmp_packet(rc));
  if (!packet) return nullptr;
  packet->set_pdu(pdu.release());
  packet->set_target(copy.release());
  return packet.release();
}

}  // namespace

Result RequestSession::send_broad_cast_sync(IQesSnmpPacket* packet,
                                            IQesSnmpPacketList** answers) {
  if (!packet) return kErrInvalidArg;
  session::TakenPacket parts(packet);
  return send_broad_cast_sync(parts.pdu(), parts.target(), answers);
}

Result RequestSession::send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                                            IQesSnmpPacketList** answers) {
  snmp_log().log(log::kTrace, "[%s] enter.", kBroadcastName);
  ExitTrace exit_trace;
  if (!pdu || !target || !answers || !target->address()) return kErrInvalidArg;
  IQelNetworkAddress* destination = target->address();
  Result rc = recreate_socket(destination->protocol(), target->port());
  if (rc != kOk) return rc;
  rc = socket()->set_broadcast(true);
  if (rc != kOk) return rc;
  // Not fatal: with the default buffer a burst only loses more answers.
  socket()->set_receive_buffer(kBroadcastReceiveBuffer);
  IQesRawPacket* encoded = nullptr;
  uint32_t fitting = 0;
  rc = encode_request(pdu, target, &encoded, &fitting);
  if (rc != kOk) return rc;
  RawPacketPtr request(encoded);
  SnmpPacketListPtr list(qes_create_snmp_packet_list(&rc));
  if (!list) return rc != kOk ? rc : kErrNoMemory;
  snmp_log().log(log::kInfo, "broad cast: timeout= %d, retries=%d, destination=%s",
                 target->timeout(), target->retries(), address_text_or_empty(destination));
  rc = broadcast_run(target, request.get(), list.get());
  if (rc != kOk) {
    snmp_log().log(log::kError, "broad cast: error=%d.", rc);
    return rc;
  }
  *answers = list.release();
  return kOk;
}

Result RequestSession::broadcast_run(IQesSnmpTarget* target, const IQesRawPacket* request,
                                     IQesSnmpPacketList* answers) {
  IQelNetworkAddress* destination = target->address();
  const uint32_t tries = session::try_count(target->retries());
  // Beside the ordered list: who answered already, without walking it.
  session::BroadcastSenders senders;
  for (uint32_t attempt = 0; attempt < tries; ++attempt) {
    snmp_log().log(log::kDebug, "broad cast: try %d.", static_cast<int>(attempt));
    Result rc = socket()->send(request->data(), request->length(), destination);
    if (rc != kOk) return rc;
    int64_t remaining = target->timeout();
    uint32_t start = ticks_();
    while (remaining >= 1) {
      IQesRawPacket* raw = nullptr;
      DatagramSender from;
      rc = receive_datagram(static_cast<int32_t>(remaining), &raw, &from);
      IQelNetworkAddress* raw_sender = nullptr;
      if (rc == kOk) rc = socket()->sender_address(from, &raw_sender);
      if (rc == kErrTimeout) break;
      if (rc != kOk) return rc;
      RawPacketPtr datagram(raw);
      NetworkAddressPtr sender(raw_sender);
      if (session::broadcast_sender_accepted(destination->protocol(), destination->text(),
                                             sender->text())) {
        bool known = false;
        std::string key;
        rc = senders.search(sender.get(), &known, &key);
        if (rc != kOk) {
          snmp_log().log(log::kError,
                         "[RequestSession::send_broad_cast_sync] fail search_new_packet().");
          return rc;
        }
        if (!known) {
          snmp_log().log(log::kDebug, "broad cast: receive from new address:%s",
                         address_text_or_empty(sender.get()));
          const uint16_t port = sender->port();
          SnmpPacketPtr answer(answer_packet(datagram.get(), target, std::move(sender), &rc));
          if (!answer && rc != kOk) return rc;
          if (answer) {
            rc = answers->add_back(answer.get());
            if (rc != kOk) return rc;
            answer.release();
            rc = senders.remember(std::move(key), port);
            if (rc != kOk) return rc;
          }
        }
      }
      uint32_t now = ticks_();
      remaining = session::remaining_after(remaining, start, now);
      start = now;
    }
  }
  return kOk;
}

}  // namespace orv
