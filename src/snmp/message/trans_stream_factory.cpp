#include <new>

#include "log/interface_id.h"
#include "snmp/message/codec_factory.h"

namespace orv {
namespace {

class CQesTransStreamFactory final : public IQesCodecFactory {
 public:
  constexpr CQesTransStreamFactory() = default;

  const char* name() const override { return kTransStreamName; }

  IQesSnmpEncoder* create_encoder(Result* status) override {
    IQesSnmpEncoder* encoder = new (std::nothrow) CQesSnmpEncoder;
    if (status) *status = encoder ? kOk : kErrNoMemory;
    return encoder;
  }

  IQesSnmpDecoder* create_decoder(Result* status) override {
    IQesSnmpDecoder* decoder = new (std::nothrow) CQesSnmpDecoder;
    if (status) *status = decoder ? kOk : kErrNoMemory;
    return decoder;
  }

  Result query_interface(const char* id, void** out) override {
    if (!out) return kErrInvalidArg;
    *out = id && log::interface_id_matches(id, log::kBaseObjectInterfaceId) ? this : nullptr;
    return *out ? kOk : kErrNoInterface;
  }
};

// Constant-initialised: no guard on the per-message path that compares it.
constinit CQesTransStreamFactory g_trans_stream_factory;

}  // namespace

IQesCodecFactory* qes_trans_stream_factory() { return &g_trans_stream_factory; }

}  // namespace orv
