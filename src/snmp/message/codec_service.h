// The process-wide codec service: the registered codec factories, the
// current one, and the encode, decode and peek calls the sessions use. Each
// call makes a fresh encoder or decoder, so calls from several threads do
// not share codec state.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "result_codes.h"
#include "snmp/message/codec_factory.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_packet.h"

namespace orv {

class CQesCodecService {
 public:
  // Created on first use; "TransStream" is registered during library
  // start-up, so it is current from then on.
  static CQesCodecService& instance();

  // Appends `factory` (not owned; it lives as long as the process) and makes
  // it current. -2 for none, -3 when memory runs out.
  Result register_factory(IQesCodecFactory* factory);

  // 1. The registered factory named exactly `name` becomes current (-2 and
  //    no change without a match); nullptr leaves no factory current.
  Result select_factory(const char* name);
  // 2. nullptr while none is current.
  const char* factory_name() const;
  // 3. As encode_packet, for a PDU and a target the caller keeps.
  Result encode(IQesPdu* pdu, IQesSnmpTarget* target, IQesRawPacket* output,
                uint32_t* var_bind_count = nullptr);
  // 4. -8 without a current factory, -2 for a missing packet or buffer;
  //    otherwise the encoder's result. `var_bind_count` (optional) receives
  //    how many varbinds fit, counted from the end of the list.
  Result encode_packet(IQesSnmpPacket* packet, IQesRawPacket* output, uint32_t* var_bind_count = nullptr);
  // 5. As decode_packet, into a PDU and a target the caller keeps (a missing
  //    target is made for the decode and released afterwards).
  Result decode(const IQesRawPacket* input, IQesPdu* pdu, IQesSnmpTarget* target, int32_t translate_type);
  // 6. -8 without a current factory, -2 for a missing packet or buffer;
  //    otherwise the decoder's result.
  Result decode_packet(const IQesRawPacket* input, IQesSnmpPacket* packet, int32_t translate_type);
  // 7. Error-status and request-id of a received message, from its header
  //    alone (the varbinds are not read). All pointers required (-2).
  Result peek(const IQesRawPacket* input, int32_t translate_type, int32_t* error_status, int32_t* request_id);

 private:
  CQesCodecService() = default;

  IQesCodecFactory* current() const { return current_.load(std::memory_order_acquire); }
  static Result run_encoder(IQesSnmpEncoder* encoder, IQesSnmpPacket* packet, IQesRawPacket* output,
                            uint32_t* var_bind_count);
  static Result run_decoder(IQesSnmpDecoder* decoder, const IQesRawPacket* input, IQesSnmpPacket* packet,
                            int32_t translate_type, bool header_only);
  Result decode_with(IQesCodecFactory* factory, const IQesRawPacket* input, IQesSnmpPacket* packet,
                     int32_t translate_type, bool header_only);

  mutable std::mutex mutex_;
  std::vector<IQesCodecFactory*> factories_;
  std::atomic<IQesCodecFactory*> current_{nullptr};
};

}  // namespace orv
