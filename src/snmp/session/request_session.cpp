#include "snmp/session/request_session.h"

#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/message/codec_service.h"
#include "snmp/session/pdu_bindings.h"
#include "snmp/session/request_id.h"
#include "snmp/session/split_rules.h"
#include "snmp/session/taken_packet.h"

namespace orv {

void RequestSession::destroy() { delete this; }

Result RequestSession::unsupported_operation() { return kErrNotSupported; }

Result RequestSession::send_sync(IQesSnmpPacket* packet) {
  if (!packet) return kErrInvalidArg;
  session::TakenPacket parts(packet);
  return send_sync(parts.pdu(), parts.target());
}

Result RequestSession::send_sync(IQesPdu* pdu, IQesSnmpTarget* target) {
  if (!pdu || !target || !target->address()) return kErrInvalidArg;
  Result rc = recreate_socket(target->address()->protocol(), target->port());
  if (rc != kOk) return rc;
  uint32_t split_count = 0;
  rc = _send_and_receive(pdu, target, &split_count);
  if (split_count != 0) return fragment_process(pdu, target, split_count);
  return rc;
}

Result RequestSession::encode_request(IQesPdu* pdu, IQesSnmpTarget* target, IQesRawPacket** out,
                                      uint32_t* fitting) {
  pdu->set_request_id(static_cast<int32_t>(session::next_request_id()));
  if (!encode_buffer_) {
    encode_buffer_.reset(new (std::nothrow) uint8_t[kEncodeBufferSize]);
    if (!encode_buffer_) return kErrNoMemory;
  }
  encoded_.view(encode_buffer_.get(), kEncodeBufferSize, kEncodeBufferSize);
  Result rc = CQesCodecService::instance().encode(pdu, target, &encoded_, fitting);
  if (rc != kOk) return rc;
  *out = &encoded_;
  return kOk;
}

Result RequestSession::receive_datagram(int32_t remaining, IQesRawPacket** raw,
                                        DatagramSender* sender) {
  uint32_t received = 0;
  Result rc = socket()->receive_from(receive_buffer_, sizeof receive_buffer_, remaining, &received,
                                     sender);
  if (rc != kOk) return rc;
  // The datagram's bytes are read where they arrived.
  received_.view(receive_buffer_, received, 0);
  *raw = &received_;
  return kOk;
}

Result RequestSession::check_received_raw_packet(const IQesRawPacket* raw, const IQesPdu* pdu,
                                                 int32_t translate_type) {
  int32_t error_status = 0;
  int32_t request_id = 0;
  // A datagram that is no readable message cannot be the answer.
  if (CQesCodecService::instance().peek(raw, translate_type, &error_status, &request_id) != kOk) {
    return kErrNotAwaited;
  }
  if (request_id == pdu->request_id()) {
    return error_status == 1 ? kErrTooBig : kOk;
  }
  snmp_log().log(log::kDebug,
                 "[RequestSession::check_received_raw_packet] request id not match. sended "
                 "packet[%ud]:received packet[%ud].",
                 static_cast<uint32_t>(pdu->request_id()), static_cast<uint32_t>(request_id));
  return kErrRequestId;
}

Result RequestSession::_send_and_receive(IQesPdu* pdu, IQesSnmpTarget* target,
                                         uint32_t* split_count) {
  if (!pdu || !target || !split_count) return kErrInvalidArg;
  IQelNetworkAddress* destination = target->address();
  if (!destination || !socket()) return kErrInvalidArg;

  uint32_t fitting = 0;
  IQesRawPacket* encoded = nullptr;
  Result rc = encode_request(pdu, target, &encoded, &fitting);
  if (rc == kErrTooBigToSend) {
    uint32_t pieces = session::split_count_for_unfit(session::binding_count(pdu), fitting);
    if (pieces != 0) *split_count = pieces;
    return kErrTooBigToSend;
  }
  if (rc != kOk) return rc;
  RawPacketPtr request(encoded);
  uint64_t limit =
      session::effective_max_message_size(target->max_message_size(), destination->protocol());
  if (request->length() > limit) {
    *split_count = session::split_count_for_length(request->length(), limit);
    return kErrTooBigToSend;
  }

  const int32_t timeout = target->timeout();
  const uint32_t tries = session::try_count(target->retries());
  const int32_t translate_type = target->kind();
  snmp_log().log(log::kInfo, "_send_and_receive(): timeout= %d, retries=%d", timeout,
                 target->retries());
  rc = kErrTimeout;
  NetworkAddressPtr answered_by;
  for (uint32_t attempt = 0; attempt < tries && rc == kErrTimeout; ++attempt) {
    snmp_log().log(log::kDebug, "_send_and_receive(): try %d, destination=%s",
                   static_cast<int>(attempt),
                   address_text_or_empty(destination));
    Result sent = socket()->send(request->data(), request->length(), destination);
    if (sent != kOk) return sent;
    int64_t remaining = timeout;
    uint32_t start = ticks_();
    while (remaining > 0 && rc == kErrTimeout) {
      IQesRawPacket* raw_answer = nullptr;
      DatagramSender sender;
      Result got = receive_datagram(static_cast<int32_t>(remaining), &raw_answer, &sender);
      // An answer from the destination itself needs no address object: the
      // destination stands for it.
      NetworkAddressPtr from;
      if (got == kOk && !socket()->sender_is(sender, destination)) {
        IQelNetworkAddress* made = nullptr;
        got = socket()->sender_address(sender, &made);
        from.reset(made);
      }
      if (got == kErrTimeout) {
        snmp_log().log(log::kError, "_send_and_receive(): receive timeout.");
        break;
      }
      if (got != kOk) {
        snmp_log().log(log::kError, "_send_and_receive(): error=%d.", got);
        return got;
      }
      RawPacketPtr answer(raw_answer);
      snmp_log().log(log::kDebug, "_send_and_receive(): receive from %s",
                     address_text_or_empty(from ? from.get() : destination));
      Result checked = check_received_raw_packet(answer.get(), pdu, translate_type);
      if (checked == kErrTooBig) {
        snmp_log().log(log::kDebug, "_send_and_receive(): receive packet is too big.");
        rc = kErrTooBig;
      } else if (checked == kOk) {
        Result decoded = CQesCodecService::instance().decode(answer.get(), pdu, nullptr,
                                                             translate_type);
        if (decoded == kOk) {
          answered_by = std::move(from);
          rc = kOk;
        } else if (decoded != kErrNotAwaited) {
          return decoded;
        }
      }
      if (rc != kErrTimeout) break;
      uint32_t now = ticks_();
      remaining = session::remaining_after(remaining, start, now);
      start = now;
    }
  }
  // The answer's sender becomes the destination; from the destination
  // itself there is nothing to change.
  if (rc == kOk && answered_by) target->set_address(answered_by.release());
  if (rc == kErrTooBig) *split_count = 2;
  return rc;
}

}  // namespace orv
