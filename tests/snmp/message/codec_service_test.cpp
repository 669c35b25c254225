// The codec service: factory selection by name, -8 without a current
// factory, and the TransStream component's identity.
#include <gtest/gtest.h>

#include "codec_fixtures.h"
#include "log/interface_id.h"

namespace orv {
namespace {

using namespace orv::testing;

// Puts TransStream back whatever a test selected.
struct RestoreTransStream {
  ~RestoreTransStream() { CQesCodecService::instance().select_factory(kTransStreamName); }
};

TEST(CodecService, TransStreamIsCurrentFromLibraryStartUp) {
  EXPECT_STREQ(CQesCodecService::instance().factory_name(), "TransStream");
}

TEST(CodecService, SelectsByExactNameOnly) {
  RestoreTransStream restore;
  CQesCodecService& service = CQesCodecService::instance();
  EXPECT_EQ(service.select_factory("transstream"), kErrInvalidArg);
  EXPECT_STREQ(service.factory_name(), "TransStream");  // kept
  EXPECT_EQ(service.select_factory(nullptr), kOk);
  EXPECT_EQ(service.factory_name(), nullptr);

  PduPtr pdu = make_pdu(kPduGetRequest);
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  RawPacketPtr raw(qes_create_raw_packet(64));
  int32_t status = 0, id = 0;
  EXPECT_EQ(service.encode(pdu.get(), target.get(), raw.get()), kErrNoDevice);
  EXPECT_EQ(service.decode(raw.get(), pdu.get(), target.get(), kTranslateCommunity), kErrNoDevice);
  EXPECT_EQ(service.peek(raw.get(), kTranslateCommunity, &status, &id), kErrNoDevice);

  EXPECT_EQ(service.select_factory("TransStream"), kOk);
  EXPECT_EQ(service.encode(pdu.get(), target.get(), raw.get()), kOk);
  EXPECT_EQ(service.encode_packet(nullptr, raw.get()), kErrInvalidArg);
  EXPECT_EQ(service.decode_packet(raw.get(), nullptr, kTranslateCommunity), kErrInvalidArg);
}

TEST(CodecService, EncodeAndDecodeLeaveTheCallersObjectsWithTheCaller) {
  PduPtr pdu = make_pdu(kPduGetRequest, 3);
  pdu->append_new(oid("1.3.6.1.2.1.1.1.0"), nullptr);
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  RawPacketPtr raw(qes_create_raw_packet(128));
  ASSERT_EQ(CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get()), kOk);
  // The same objects are still usable (and released by their owners here).
  PduPtr answer = make_pdu(kPduUnset);
  ASSERT_EQ(CQesCodecService::instance().decode(raw.get(), answer.get(), nullptr, kTranslateCommunity), kOk);
  EXPECT_TRUE(answer->equals(pdu.get()));
  EXPECT_EQ(pdu->var_bind_list()->count(), 1u);
}

TEST(CodecService, FactoryAnswersTheBaseInterfaceIdAndMakesFreshCodecs) {
  IQesCodecFactory* factory = qes_trans_stream_factory();
  void* out = nullptr;
  EXPECT_EQ(factory->query_interface(log::kBaseObjectInterfaceId, &out), kOk);
  EXPECT_EQ(out, factory);
  EXPECT_EQ(factory->query_interface(log::kLogSinkInterfaceId, &out), kErrNoInterface);
  EXPECT_EQ(out, nullptr);
  QelPtr<IQesSnmpEncoder> a(factory->create_encoder());
  QelPtr<IQesSnmpEncoder> b(factory->create_encoder());
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->var_bind_count(), 0u);
  QelPtr<IQesSnmpDecoder> d(factory->create_decoder());
  ASSERT_TRUE(d);
}

}  // namespace
}  // namespace orv
