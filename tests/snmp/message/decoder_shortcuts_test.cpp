// The decoder's two object-free paths, held against the object path they
// stand in for on every corpus message and its damaged forms (cut at every
// length, a byte behind, each byte overwritten): the peek against a
// header-only decode into a fresh packet, and the decode that drops the
// header against the one that makes a target for it. Same result, same
// fields, same PDU.
#include <gtest/gtest.h>

#include <functional>

#include "codec_fixtures.h"
#include "message_corpus.h"
#include "snmp/message/snmp_decoder.h"

namespace orv {
namespace {

using namespace orv::testing;

std::vector<Bytes> damaged_forms(const Bytes& message) {
  std::vector<Bytes> all{message};
  for (size_t n = 0; n < message.size(); ++n) all.emplace_back(message.begin(), message.begin() + n);
  all.push_back(message);
  all.back().push_back(0);
  for (size_t i = 0; i < message.size(); ++i) {
    for (uint8_t b : {uint8_t{0x00}, uint8_t{0x81}, static_cast<uint8_t>(message[i] ^ 0x01)}) {
      all.push_back(message);
      all.back()[i] = b;
    }
  }
  return all;
}

std::vector<Bytes> samples() {
  std::vector<Bytes> all;
  for (const MessageSpec& m : corpus()) {
    SnmpPacketPtr packet = our_packet_of(m);
    RawPacketPtr raw(qes_create_raw_packet(65536));
    if (CQesCodecService::instance().encode_packet(packet.get(), raw.get()) != kOk) continue;
    for (Bytes& form : damaged_forms(bytes_of(raw.get()))) all.push_back(std::move(form));
  }
  return all;
}

Result run(CQesSnmpDecoder* decoder, const Bytes& bytes, int32_t translate,
           const std::function<Result(CQesSnmpDecoder*)>& step) {
  RawPacketPtr raw(qes_create_raw_packet_from(bytes.data(), static_cast<uint32_t>(bytes.size())));
  decoder->set_input(raw.get());
  decoder->set_translate_type(translate);
  return step(decoder);
}

TEST(DecoderShortcuts, PeekAndDroppedHeaderAgreeWithTheObjectPath) {
  const std::vector<Bytes> messages = samples();
  ASSERT_GT(messages.size(), 1000u);
  size_t accepted = 0;
  for (int32_t translate : {kTranslateNone, kTranslateCommunity, 1}) {
    for (const Bytes& bytes : messages) {
      SCOPED_TRACE(::testing::Message() << "translate " << translate << ", " << bytes.size() << " bytes");
      SnmpPacketPtr fresh(qes_create_snmp_packet());
      CQesSnmpDecoder header_only;
      header_only.set_header_only(true);
      Result expected = run(&header_only, bytes, translate,
                            [&](CQesSnmpDecoder* d) { return d->decode_packet(fresh.get()); });
      int32_t status = -7, id = -7;
      CQesSnmpDecoder peeking;
      Result peeked = run(&peeking, bytes, translate,
                          [&](CQesSnmpDecoder* d) { return d->peek_fields(&status, &id); });
      ASSERT_EQ(peeked, expected);
      if (expected == kOk) {
        ++accepted;
        EXPECT_EQ(status, fresh->pdu()->error_status());
        EXPECT_EQ(id, fresh->pdu()->request_id());
      }

      PduPtr kept_pdu = make_pdu(kPduGetRequest, 5);
      PduPtr dropped_pdu = make_pdu(kPduGetRequest, 5);
      SnmpPacketPtr kept(qes_create_snmp_packet());
      SnmpPacketPtr dropped(qes_create_snmp_packet());
      kept->set_pdu(kept_pdu.release());
      dropped->set_pdu(dropped_pdu.release());
      CQesSnmpDecoder keeping;
      CQesSnmpDecoder dropping;
      dropping.set_header_kept(false);
      Result with_target = run(&keeping, bytes, translate,
                               [&](CQesSnmpDecoder* d) { return d->decode_packet(kept.get()); });
      ASSERT_EQ(run(&dropping, bytes, translate,
                    [&](CQesSnmpDecoder* d) { return d->decode_packet(dropped.get()); }),
                with_target);
      EXPECT_EQ(dropped->target(), nullptr);
      EXPECT_TRUE(dropped->pdu()->equals(kept->pdu()) ||
                  (dropped->pdu()->type() == kept->pdu()->type() && with_target != kOk));
    }
  }
  // The damage must leave both kinds: readable and unreadable messages.
  EXPECT_GT(accepted, 100u);
  EXPECT_LT(accepted, messages.size());
}

}  // namespace
}  // namespace orv
