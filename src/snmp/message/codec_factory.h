// A codec component: its name and the encoders and decoders it makes. The
// codec service keeps the registered factories and picks one by name.
#pragma once

#include "result_codes.h"
#include "snmp/message/snmp_decoder.h"
#include "snmp/message/snmp_encoder.h"

namespace orv {

inline constexpr char kTransStreamName[] = "TransStream";

class IQesCodecFactory {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual const char* name() const = 0;                                      // 1
  // A new encoder / decoder with empty state; nullptr with -3.
  virtual IQesSnmpEncoder* create_encoder(Result* status = nullptr) = 0;     // 2
  virtual IQesSnmpDecoder* create_decoder(Result* status = nullptr) = 0;     // 3
  // Component identity: the base interface id gives this factory; -4 else.
  virtual Result query_interface(const char* id, void** out) = 0;

 protected:
  virtual ~IQesCodecFactory() = default;
};

// The process-wide "TransStream" factory (BER for SNMPv1/v2c).
IQesCodecFactory* qes_trans_stream_factory();

}  // namespace orv
