// Decodes arbitrary bytes as a received datagram: the peek, a decode into a
// fresh packet, a decode into a reused request packet, and, for what decodes,
// a re-encode whose decode must give the same packet again.
#include <cstddef>
#include <cstdint>

#include "snmp/message/codec_service.h"
#include "snmp/message/raw_packet.h"
#include "snmp/smi/smi_factory.h"

namespace {

using namespace orv;

// A request of three INTEGER bindings, as a session would hand in.
SnmpPacketPtr request_packet() {
  SnmpPacketPtr packet(qes_create_snmp_packet());
  packet->set_pdu(qes_create_pdu());
  packet->set_target(qes_create_snmp_target(kTranslateCommunity));
  for (int i = 0; i < 3; ++i)
    packet->pdu()->append_new(create_oid_from_text("1.3.6.1.2.1.1.1.0"), create_smi_value(kSmiInteger));
  return packet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65535) return 0;
  CQesCodecService& codec = CQesCodecService::instance();
  // An exact-size copy, so that any read past the datagram is caught.
  RawPacketPtr raw(qes_create_raw_packet_from(data, static_cast<uint32_t>(size)));
  if (!raw) return 0;

  int32_t error_status = 0, request_id = 0;
  codec.peek(raw.get(), kTranslateCommunity, &error_status, &request_id);

  SnmpPacketPtr reused = request_packet();
  codec.decode_packet(raw.get(), reused.get(), kTranslateCommunity);

  SnmpPacketPtr fresh(qes_create_snmp_packet());
  if (codec.decode_packet(raw.get(), fresh.get(), kTranslateCommunity) != kOk) return 0;
  RawPacketPtr out(qes_create_raw_packet(65536));
  if (codec.encode_packet(fresh.get(), out.get()) != kOk) return 0;
  SnmpPacketPtr again(qes_create_snmp_packet());
  if (codec.decode_packet(out.get(), again.get(), kTranslateCommunity) != kOk || !again->equals(fresh.get()))
    __builtin_trap();
  return 0;
}
