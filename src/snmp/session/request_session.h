// The SNMPv1/v2c session: numbers a request, encodes it, sends it over its
// datagram socket, waits with time-out and retries, drops datagrams that are
// not the answer, decodes the answer into the request's PDU, and splits
// requests that are too big. Also the broadcast form that collects one
// answer per agent. One request at a time per session; no lock.
#pragma once

#include <cstdint>
#include <memory>

#include "result_codes.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/raw_packet_view.h"
#include "snmp/session/session_ticks.h"
#include "snmp/session/session_transport.h"
#include "snmp/session/snmp_session.h"

namespace orv {

// Each wait receives into a buffer of this size; a longer datagram is cut.
inline constexpr uint32_t kReceiveBufferSize = 2048;
// Encoding room: a request longer than its target's maximum message size is
// still encoded whole, so that the number of pieces can be told from its
// length.
inline constexpr uint32_t kEncodeBufferSize = 65535;

class RequestSession final : public IQesSession, private SessionTransport {
 public:
  // `ticks` (tests): the millisecond tick that the waits are measured with.
  explicit RequestSession(session::TickSource ticks = session::steady_tick_ms) : ticks_(ticks) {}
  RequestSession(const RequestSession&) = delete;
  RequestSession& operator=(const RequestSession&) = delete;
  ~RequestSession() override = default;

  void destroy() override;
  Result send_sync(IQesPdu* pdu, IQesSnmpTarget* target) override;
  Result send_sync(IQesSnmpPacket* packet) override;
  Result send_broad_cast_sync(IQesSnmpPacket* packet, IQesSnmpPacketList** answers) override;
  Result send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                              IQesSnmpPacketList** answers) override;
  Result unsupported_operation() override;

  // One exchange on the current socket. `*split_count` is written only
  // when the request must be split (-211 or -210).
  Result _send_and_receive(IQesPdu* pdu, IQesSnmpTarget* target, uint32_t* split_count);

  // Splits the PDU's bindings into `pieces` requests, runs them in order and
  // merges their answers back into the PDU.
  Result fragment_process(IQesPdu* pdu, IQesSnmpTarget* target, uint32_t pieces);
  // The pieces: copies of the PDU sharing its bindings in order, the first
  // (count mod pieces) one binding larger. -212 when a piece would get
  // none. On failure the PDU keeps its bindings.
  static Result fragment_pdu(IQesPdu* pdu, uint32_t pieces, IQesPduList** out);

  // -251 when the datagram's request id is not the PDU's, -210 when it is
  // and the error-status is tooBig, 0 otherwise; -250 for a datagram that
  // is no readable message.
  static Result check_received_raw_packet(const IQesRawPacket* raw, const IQesPdu* pdu,
                                          int32_t translate_type);

  // The socket of the last request (lent).
  using SessionTransport::socket;

 private:
  // Encodes the PDU with a fresh request id into `*out`, a view of the
  // session's encode buffer: valid until the next encode.
  Result encode_request(IQesPdu* pdu, IQesSnmpTarget* target, IQesRawPacket** out,
                        uint32_t* fitting);
  // Waits up to `remaining` ms for one datagram: 0 with the bytes (a view of
  // the receive buffer, valid until the next receive) and the sender.
  Result receive_datagram(int32_t remaining, IQesRawPacket** raw, DatagramSender* sender);
  // The tries of a broadcast: answers of accepted, new senders are appended.
  Result broadcast_run(IQesSnmpTarget* target, const IQesRawPacket* request,
                       IQesSnmpPacketList* answers);

  session::TickSource ticks_;
  // Made on the first encode and kept: a fresh 64 KiB block per request
  // costs more than the rest of a small exchange.
  std::unique_ptr<uint8_t[]> encode_buffer_;
  CQesRawPacketView encoded_;
  uint8_t receive_buffer_[kReceiveBufferSize];
  CQesRawPacketView received_;
};

}  // namespace orv
