#include "snmp/message/codec_service.h"

#include <cstring>
#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/message/lent_packet.h"

namespace orv {
namespace {

// Owns an encoder or decoder for one call.
template <typename T>
using CodecPtr = QelPtr<T>;

// Library start-up: the BER codec is registered before any session runs.
[[maybe_unused]] const bool g_trans_stream_registered =
    CQesCodecService::instance().register_factory(qes_trans_stream_factory()) == kOk;

}  // namespace

CQesCodecService& CQesCodecService::instance() {
  static CQesCodecService service;
  return service;
}

Result CQesCodecService::register_factory(IQesCodecFactory* factory) {
  if (!factory) return kErrInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  try {
    factories_.push_back(factory);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  current_.store(factory, std::memory_order_release);
  return kOk;
}

Result CQesCodecService::select_factory(const char* name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!name) {
    current_.store(nullptr, std::memory_order_release);
    return kOk;
  }
  for (IQesCodecFactory* factory : factories_) {
    if (std::strcmp(factory->name(), name) == 0) {
      current_.store(factory, std::memory_order_release);
      return kOk;
    }
  }
  return kErrInvalidArg;
}

const char* CQesCodecService::factory_name() const {
  IQesCodecFactory* factory = current();
  return factory ? factory->name() : nullptr;
}

Result CQesCodecService::encode(IQesPdu* pdu, IQesSnmpTarget* target, IQesRawPacket* output,
                                uint32_t* var_bind_count) {
  LentPacket packet(pdu, target);
  return encode_packet(&packet, output, var_bind_count);
}

Result CQesCodecService::encode_packet(IQesSnmpPacket* packet, IQesRawPacket* output, uint32_t* var_bind_count) {
  IQesCodecFactory* factory = current();
  if (!factory) return kErrNoDevice;
  if (!packet || !output) return kErrInvalidArg;
  if (factory == qes_trans_stream_factory()) {
    // The built-in codec needs no heap round trip per message.
    CQesSnmpEncoder encoder;
    return run_encoder(&encoder, packet, output, var_bind_count);
  }
  Result rc = kOk;
  CodecPtr<IQesSnmpEncoder> encoder(factory->create_encoder(&rc));
  if (!encoder) return rc != kOk ? rc : kErrNoMemory;
  return run_encoder(encoder.get(), packet, output, var_bind_count);
}

Result CQesCodecService::run_encoder(IQesSnmpEncoder* encoder, IQesSnmpPacket* packet, IQesRawPacket* output,
                                     uint32_t* var_bind_count) {
  encoder->set_output(output);
  Result rc = encoder->encode_packet(packet);
  if (var_bind_count) *var_bind_count = encoder->var_bind_count();
  return rc;
}

Result CQesCodecService::decode(const IQesRawPacket* input, IQesPdu* pdu, IQesSnmpTarget* target,
                                int32_t translate_type) {
  LentPacket packet(pdu, target);
  IQesCodecFactory* factory = current();
  if (!factory) return kErrNoDevice;
  if (!input) return kErrInvalidArg;
  if (factory == qes_trans_stream_factory()) {
    // A target made for this decode would be released unread: the built-in
    // decoder checks the header without making one.
    CQesSnmpDecoder decoder;
    decoder.set_header_kept(target != nullptr);
    return run_decoder(&decoder, input, &packet, translate_type, false);
  }
  return decode_with(factory, input, &packet, translate_type, false);
}

Result CQesCodecService::decode_packet(const IQesRawPacket* input, IQesSnmpPacket* packet,
                                       int32_t translate_type) {
  IQesCodecFactory* factory = current();
  if (!factory) return kErrNoDevice;
  if (!packet || !input) return kErrInvalidArg;
  return decode_with(factory, input, packet, translate_type, false);
}

Result CQesCodecService::peek(const IQesRawPacket* input, int32_t translate_type, int32_t* error_status,
                              int32_t* request_id) {
  if (!input || !error_status || !request_id) return kErrInvalidArg;
  IQesCodecFactory* factory = current();
  if (!factory) return kErrNoDevice;
  if (factory == qes_trans_stream_factory()) {
    // The built-in decoder reads the fields without a packet to keep them.
    CQesSnmpDecoder decoder;
    decoder.set_input(input);
    decoder.set_translate_type(translate_type);
    return decoder.peek_fields(error_status, request_id);
  }
  Result rc = kOk;
  SnmpPacketPtr packet(qes_create_snmp_packet(&rc));
  if (!packet) return rc;
  rc = decode_with(factory, input, packet.get(), translate_type, true);
  if (rc != kOk) return rc;
  *error_status = packet->pdu()->error_status();
  *request_id = packet->pdu()->request_id();
  return kOk;
}

Result CQesCodecService::decode_with(IQesCodecFactory* factory, const IQesRawPacket* input,
                                     IQesSnmpPacket* packet, int32_t translate_type, bool header_only) {
  if (factory == qes_trans_stream_factory()) {
    CQesSnmpDecoder decoder;
    return run_decoder(&decoder, input, packet, translate_type, header_only);
  }
  Result rc = kOk;
  CodecPtr<IQesSnmpDecoder> decoder(factory->create_decoder(&rc));
  if (!decoder) return rc != kOk ? rc : kErrNoMemory;
  return run_decoder(decoder.get(), input, packet, translate_type, header_only);
}

Result CQesCodecService::run_decoder(IQesSnmpDecoder* decoder, const IQesRawPacket* input, IQesSnmpPacket* packet,
                                     int32_t translate_type, bool header_only) {
  decoder->set_input(input);
  decoder->set_translate_type(translate_type);
  decoder->set_header_only(header_only);
  return decoder->decode_packet(packet);
}

}  // namespace orv
