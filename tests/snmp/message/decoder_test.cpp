// The decoder on well-formed and malformed messages: every rule ends in its
// result code and its "snmp" log line, and reads stay inside the datagram.
#include <gtest/gtest.h>

#include <algorithm>

#include "codec_fixtures.h"

namespace orv {
namespace {

using namespace orv::testing;

Bytes cat(std::initializer_list<Bytes> parts);

// A TLV with a definite length in the short or long form.
Bytes tlv(uint8_t tag, const Bytes& content) {
  Bytes t = {tag};
  size_t n = content.size();
  if (n < 0x80) {
    t.push_back(static_cast<uint8_t>(n));
  } else if (n < 0x100) {
    t.insert(t.end(), {0x81, static_cast<uint8_t>(n)});
  } else {
    t.insert(t.end(), {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
  }
  t.insert(t.end(), content.begin(), content.end());
  return t;
}

// 30 L 02 01 <v> 04 01 'c' <pdu>
Bytes message(uint8_t version, const Bytes& pdu) {
  return tlv(0x30, cat({{0x02, 0x01, version, 0x04, 0x01, 'c'}, pdu}));
}

// A2 L 02 01 <id> 02 01 <es> 02 01 <ei> 30 L <varbinds>
Bytes response(uint8_t id, uint8_t es, uint8_t ei, const Bytes& varbinds, uint8_t tag = 0xA2) {
  return tlv(tag, cat({{0x02, 0x01, id, 0x02, 0x01, es, 0x02, 0x01, ei}, tlv(0x30, varbinds)}));
}

// 30 L 06 02 2B <n> <value>
Bytes varbind(uint8_t arc, const Bytes& value) { return tlv(0x30, cat({{0x06, 0x02, 0x2B, arc}, value})); }

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

struct Decoded {
  Result rc;
  SnmpPacketPtr packet;
};

Decoded decode_fresh(const Bytes& bytes) {
  SnmpPacketPtr packet(qes_create_snmp_packet());
  Result rc = decode(bytes, packet.get());
  return {rc, std::move(packet)};
}

TEST(Decoder, ReadsHeaderPduAndEveryValueKind) {
  const Bytes vbs = cat({varbind(1, {0x02, 0x02, 0xFF, 0x7F}), varbind(2, {0x04, 0x02, 'h', 'i'}),
                         varbind(3, {0x05, 0x00}), varbind(4, {0x06, 0x03, 0x2B, 0x06, 0x01}),
                         varbind(5, {0x40, 0x04, 10, 0, 0, 1}), varbind(6, {0x41, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}),
                         varbind(7, {0x42, 0x02, 0x00, 0x80}), varbind(8, {0x43, 0x01, 0x05}),
                         varbind(9, {0x44, 0x01, 0x07}), varbind(10, {0x46, 0x05, 0x01, 0x00, 0x00, 0x00, 0x02}),
                         varbind(11, {0x80, 0x00}), varbind(12, {0x81, 0x00}), varbind(13, {0x82, 0x00})});
  Decoded d = decode_fresh(message(1, response(0x33, 0, 0, vbs)));
  ASSERT_EQ(d.rc, kOk);
  IQesSnmpTarget* target = d.packet->target();
  EXPECT_EQ(target->version(), kSnmpV2c);
  EXPECT_STREQ(as_community_target(target)->community(), "c");
  IQesPdu* pdu = d.packet->pdu();
  EXPECT_EQ(pdu->type(), kPduResponse);
  EXPECT_EQ(pdu->request_id(), 0x33);
  IQesVarBindList* list = pdu->var_bind_list();
  ASSERT_EQ(list->count(), 13u);
  EXPECT_STREQ(list->at(0)->oid()->text(), "1.3.1");
  EXPECT_EQ(list->at(0)->value()->get_int32(), -129);
  BufferPtr text(list->at(1)->value()->to_text());
  EXPECT_STREQ(text->c_str(), "hi");
  EXPECT_EQ(list->at(2)->value()->kind(), kSmiNull);
  EXPECT_STREQ(as_oid(list->at(3)->value())->text(), "1.3.6.1");
  EXPECT_EQ(list->at(4)->value()->get_uint32(), 0x0A000001u);
  EXPECT_EQ(list->at(5)->value()->get_uint32(), 0xFFFFFFFFu);
  EXPECT_EQ(list->at(6)->value()->get_uint32(), 128u);
  EXPECT_EQ(list->at(7)->value()->kind(), kSmiTimeTicks);
  EXPECT_EQ(list->at(8)->value()->kind(), kSmiOpaque);
  EXPECT_EQ(list->at(9)->value()->get_high32(), 1u);
  EXPECT_EQ(list->at(9)->value()->get_low32(), 2u);
  EXPECT_EQ(list->at(10)->value()->kind(), kSmiNoSuchObject);
  EXPECT_EQ(list->at(12)->value()->kind(), kSmiEndOfMibView);
  for (uint32_t i = 0; i < list->count(); ++i) EXPECT_EQ(list->at(i)->status(), 0);
}

TEST(Decoder, ResponseLandsInTheRequestsObjects) {
  PduPtr pdu = make_pdu(kPduGetRequest, 9);
  for (int i = 0; i < 3; ++i) pdu->append_new(oid("1.3.6.1"), int_value(0));
  IQesVarBind* first = pdu->var_bind_list()->at(0);
  IQelSmiValue* first_value = first->value();
  IQelOid* first_oid = first->oid();
  IQelSmiValue* second_value = pdu->var_bind_list()->at(1)->value();
  SnmpTargetPtr target = make_target(kSnmpV1, "old");
  const Bytes bytes = message(0, response(9, 0, 0, cat({varbind(1, {0x02, 0x01, 0x2A}), varbind(2, {0x04, 0x00})})));
  RawPacketPtr raw(qes_create_raw_packet_from(bytes.data(), static_cast<uint32_t>(bytes.size())));
  ASSERT_EQ(CQesCodecService::instance().decode(raw.get(), pdu.get(), target.get(), kTranslateCommunity), kOk);
  IQesVarBindList* list = pdu->var_bind_list();
  ASSERT_EQ(list->count(), 2u);  // the third binding is gone
  EXPECT_EQ(list->at(0), first);
  EXPECT_EQ(list->at(0)->oid(), first_oid);  // the name is read into the same identifier
  EXPECT_STREQ(first_oid->text(), "1.3.1");
  EXPECT_EQ(list->at(0)->value(), first_value);  // same kind: reused
  EXPECT_EQ(first_value->get_int32(), 42);
  EXPECT_NE(list->at(1)->value(), second_value);  // another kind: replaced
  EXPECT_EQ(list->at(1)->value()->kind(), kSmiOctetString);
  EXPECT_STREQ(list->at(1)->oid()->text(), "1.3.2");
  EXPECT_EQ(pdu->type(), kPduResponse);
  EXPECT_STREQ(as_community_target(target.get())->community(), "c");
}

// The request's names were encoded (and their bytes kept) before the answer
// comes: a name answered with other bytes of the same or another length is
// replaced, an equal one stays, and the next encode sends the new names.
TEST(Decoder, AnsweredNamesReplaceTheSentOnesByTheirBytes) {
  PduPtr pdu = make_pdu(kPduGetNextRequest, 9);
  for (const char* name : {"1.3.1", "1.3.2", "1.3.3"}) pdu->append_new(oid(name), value_of(kSmiNull));
  SnmpTargetPtr target = make_target(kSnmpV1, "c");
  Bytes sent;
  ASSERT_EQ(encode(pdu.get(), target.get(), &sent), kOk);
  const Bytes null_value = {0x05, 0x00};
  const Bytes answer = message(0, response(9, 0, 0, cat({varbind(1, null_value), varbind(5, null_value),
                                                          tlv(0x30, cat({{0x06, 0x03, 0x2B, 0x03, 0x07}, null_value}))})));
  RawPacketPtr raw(qes_create_raw_packet_from(answer.data(), static_cast<uint32_t>(answer.size())));
  ASSERT_EQ(CQesCodecService::instance().decode(raw.get(), pdu.get(), target.get(), kTranslateCommunity), kOk);
  IQesVarBindList* list = pdu->var_bind_list();
  ASSERT_EQ(list->count(), 3u);
  EXPECT_STREQ(list->at(0)->oid()->text(), "1.3.1");
  EXPECT_STREQ(list->at(1)->oid()->text(), "1.3.5");
  EXPECT_STREQ(list->at(2)->oid()->text(), "1.3.3.7");

  pdu->set_type(kPduGetNextRequest);
  Bytes again;
  ASSERT_EQ(encode(pdu.get(), target.get(), &again), kOk);
  auto holds = [&again](const Bytes& part) {
    return std::search(again.begin(), again.end(), part.begin(), part.end()) != again.end();
  };
  EXPECT_TRUE(holds({0x06, 0x02, 0x2B, 0x01, 0x05}));
  EXPECT_TRUE(holds({0x06, 0x02, 0x2B, 0x05, 0x05}));
  EXPECT_TRUE(holds({0x06, 0x03, 0x2B, 0x03, 0x07, 0x05}));
  EXPECT_FALSE(holds({0x06, 0x02, 0x2B, 0x02}));
}

TEST(Decoder, ErrorStatusIsRecordedInTheVarbinds) {
  Bytes four;
  for (uint8_t i = 1; i <= 4; ++i) four = cat({four, varbind(i, {0x05, 0x00})});
  Decoded d = decode_fresh(message(0, response(1, 2, 3, four)));
  ASSERT_EQ(d.rc, kOk);
  IQesVarBindList* list = d.packet->pdu()->var_bind_list();
  std::vector<int32_t> statuses;
  for (uint32_t i = 0; i < list->count(); ++i) statuses.push_back(list->at(i)->status());
  EXPECT_EQ(statuses, (std::vector<int32_t>{100, 100, 2, 100}));
  EXPECT_EQ(d.packet->pdu()->error_status(), 2);
  EXPECT_EQ(d.packet->pdu()->error_index(), 3);
}

TEST(Decoder, TrailingBytesAreCutWithAnInfoLine) {
  SnmpLogCapture log;
  Bytes bytes = message(0, response(1, 0, 0, varbind(1, {0x05, 0x00})));
  bytes.push_back(0xEE);
  bytes.push_back(0xEE);
  EXPECT_EQ(decode_fresh(bytes).rc, kOk);
  EXPECT_TRUE(log.has("Info ", "received packet is redundancy. be cut down.")) << log.text();
}

// Malformed input: result code and, where there is one, the log line.
struct Bad {
  const char* what;
  Bytes bytes;
  Result rc;
  const char* line;  // Error line, or nullptr for none
};

TEST(Decoder, MalformedMessagesFailWithTheirLine) {
  const Bytes ok_vb = varbind(1, {0x05, 0x00});
  Bytes short_msg = message(0, response(1, 0, 0, ok_vb));
  short_msg.pop_back();
  Bytes pdu_len = message(0, response(1, 0, 0, ok_vb));
  pdu_len[9] += 1;  // the PDU claims one byte more than is left
  Bytes list_len = message(0, response(1, 0, 0, ok_vb));
  list_len[20] -= 1;
  Bytes vb_len = message(0, response(1, 0, 0, cat({Bytes{0x30, 0x03, 0x06, 0x02, 0x2B, 0x01, 0x05, 0x00}})));
  const Bad cases[] = {
      {"short", short_msg, kErrNotAwaited, "decode error: lack of received packet. can't go on decoding any more."},
      {"not a sequence", {0x31, 0x00}, kErrNotAwaited, nullptr},
      {"indefinite", {0x30, 0x80, 0x02, 0x01, 0x00, 0x00, 0x00}, kErrNotAwaited, nullptr},
      {"wrapping length", {0x30, 0x85, 0x01, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01, 0x00}, kErrNotAwaited, nullptr},
      {"version 3", message(3, response(1, 0, 0, ok_vb)), kErrNotAwaited, "decode error: unsupported snmp version."},
      {"pdu tag", message(0, response(1, 0, 0, ok_vb, 0xA9)), kErrNotAwaited, "decode error: unknown pdu type."},
      {"pdu length", pdu_len, kErrNotAwaited, "decode error: pdu length is wrong."},
      {"error status", message(0, response(1, 19, 0, ok_vb)), kErrNotAwaited,
       "decode error: error_status's value is wrong."},
      {"list length", list_len, kErrNotAwaited, "decode error: length of var bind list is wrong."},
      {"varbind length", vb_len, kErrNotAwaited, "decode error: length of var bind is wrong."},
      {"unknown asn type 0x45", message(0, response(1, 0, 0, varbind(1, {0x45, 0x00}))), kErrNotAwaited,
       "decode error: unknown asn type."},
      {"unknown asn type 0x48", message(0, response(1, 0, 0, varbind(1, {0x48, 0x00}))), kErrNotAwaited,
       "decode error: unknown asn type."},
      {"counter64 cut", message(0, response(1, 0, 0, cat({Bytes{0x30, 0x07, 0x06, 0x02, 0x2B, 0x01, 0x46, 0x09, 0x01}}))),
       kErrNotAwaited, "decode error: counter64 format is wrong."},
      {"counter64 beyond 64 bits",
       message(0, response(1, 0, 0, varbind(1, {0x46, 0x09, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}))), kErrNotAwaited,
       "decode error: counter64 format is wrong."},
      {"oid cut", message(0, response(1, 0, 0, cat({Bytes{0x30, 0x04, 0x06, 0x09, 0x2B, 0x01}}))), kErrNotAwaited,
       "decode error. oid format is wrong."},
      {"oid arc beyond 32 bits",
       message(0, response(1, 0, 0, cat({Bytes{0x30, 0x0A, 0x06, 0x06, 0x2B, 0x90, 0x80, 0x80, 0x80, 0x00, 0x05, 0x00}}))),
       kErrNotAwaited, "decode error. oid format is wrong."},
      {"oid open at its end", message(0, response(1, 0, 0, cat({Bytes{0x30, 0x06, 0x06, 0x02, 0x2B, 0x81, 0x05, 0x00}}))),
       kErrNotAwaited, nullptr},
      {"integer beyond 32 bits", message(0, response(1, 0, 0, varbind(1, {0x02, 0x05, 0x01, 0, 0, 0, 0}))),
       kErrNotAwaited, "decode error: integer does not fit 32 bits."},
      {"five-byte integer below -2^31", message(0, response(1, 0, 0, varbind(1, {0x02, 0x05, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF}))),
       kErrNotAwaited, "decode error: integer does not fit 32 bits."},
      {"five-byte gauge led by 0xFF", message(0, response(1, 0, 0, varbind(1, {0x42, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}))),
       kErrNotAwaited, "decode error: integer does not fit 32 bits."},
      {"null with contents", message(0, response(1, 0, 0, varbind(1, {0x05, 0x01, 0x00}))), kErrNotAwaited, nullptr},
      {"ip address of 5", message(0, response(1, 0, 0, varbind(1, {0x40, 0x05, 1, 2, 3, 4, 5}))), kErrNotAwaited,
       nullptr},
      {"octets cut", message(0, response(1, 0, 0, cat({Bytes{0x30, 0x07, 0x06, 0x02, 0x2B, 0x01, 0x04, 0x7F, 'x'}}))),
       kErrNotAwaited, nullptr},
      {"v2 trap body", message(1, response(1, 0, 0, ok_vb, 0xA7)), kErrNotSupported, nullptr},
      {"v1 trap in v2c", message(1, response(1, 0, 0, ok_vb, 0xA4)), kErrNotSupported, nullptr},
      {"empty", {}, kErrNotAwaited, nullptr},
  };
  for (const Bad& c : cases) {
    SnmpLogCapture log;
    Decoded d = decode_fresh(c.bytes);
    EXPECT_EQ(d.rc, c.rc) << c.what;
    if (c.line) {
      EXPECT_TRUE(log.has("Error", c.line)) << c.what << "\n" << log.text();
    }
  }
}

TEST(Decoder, EveryTruncationOfAGoodMessageFailsCleanly) {
  PduPtr pdu = make_pdu(kPduResponse, 77);
  pdu->append_new(oid("1.3.6.1.2.1.43.11.1.1.9.1.1"), int_value(-5));
  pdu->append_new(oid("1.3.6.1.2.1.1.5.0"), text_value("printer name text"));
  pdu->append_new(oid("1.3.6.1.2.1.31.1.1.1.6.1"), counter64(7, 8));
  SnmpTargetPtr target = make_target(kSnmpV2c, "public");
  Bytes full;
  ASSERT_EQ(encode(pdu.get(), target.get(), &full), kOk);
  for (size_t n = 0; n < full.size(); ++n) {
    Decoded d = decode_fresh(Bytes(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)));
    EXPECT_EQ(d.rc, kErrNotAwaited) << n;
  }
  EXPECT_EQ(decode_fresh(full).rc, kOk);
}

TEST(Decoder, TrapV1FieldsBecomeTrapOidAndTimeStamp) {
  // A4 L 06 <enterprise> 40 04 0.0.0.0 02 01 <generic> 02 01 <specific> 43 01 <ticks> 30 00
  auto trap = [](uint8_t generic, uint8_t specific) {
    Bytes p = {0x06, 0x06, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x09, 0x40, 0x04, 1,    2,    3,    4,
               0x02, 0x01, generic, 0x02, 0x01, specific, 0x43, 0x01, 0x63, 0x30, 0x00};
    p.insert(p.begin(), static_cast<uint8_t>(p.size()));
    p.insert(p.begin(), 0xA4);
    return message(0, p);
  };
  Decoded cold = decode_fresh(trap(0, 0));
  ASSERT_EQ(cold.rc, kOk);
  EXPECT_EQ(cold.packet->pdu()->type(), kPduTrap);
  EXPECT_STREQ(cold.packet->pdu()->trap_oid()->text(), "1.3.6.1.6.3.1.1.5.0.1");
  EXPECT_EQ(cold.packet->pdu()->time_stamp()->get_uint32(), 0x63u);
  EXPECT_EQ(cold.packet->pdu()->time_stamp()->kind(), kSmiTimeTicks);

  Decoded specific = decode_fresh(trap(6, 17));
  ASSERT_EQ(specific.rc, kOk);
  EXPECT_STREQ(specific.packet->pdu()->trap_oid()->text(), "1.3.6.1.4.1.9.0.17");

  SnmpLogCapture log;
  EXPECT_EQ(decode_fresh(trap(7, 0)).rc, kErrNotAwaited);
  EXPECT_TRUE(log.has("Error", "decode error: generic trap No. > 6. ")) << log.text();

  // Encoding the decoded trap gives the same fields back.
  Bytes again;
  ASSERT_EQ(encode(specific.packet->pdu(), specific.packet->target(), &again), kOk);
  Bytes original = trap(6, 17);
  std::fill(original.begin() + 20, original.begin() + 24, 0);  // agent-addr is always 0.0.0.0
  EXPECT_EQ(again, original);
}

TEST(Decoder, TagA7IsATrapThatOnlySnmpV1Carries) {
  // In SNMPv2c the type is set to Trap before the body is refused.
  Decoded v2 = decode_fresh(message(1, response(1, 0, 0, varbind(1, {0x05, 0x00}), 0xA7)));
  EXPECT_EQ(v2.rc, kErrNotSupported);
  EXPECT_EQ(v2.packet->pdu()->type(), kPduTrap);
  // In SNMPv1 the body is read as the Trap fields.
  Bytes fields = {0x06, 0x03, 0x2B, 0x06, 0x01, 0x40, 0x04, 0, 0, 0, 0,
                  0x02, 0x01, 0x06, 0x02, 0x01, 0x09, 0x43, 0x01, 0x07, 0x30, 0x00};
  fields.insert(fields.begin(), {0xA7, static_cast<uint8_t>(fields.size())});
  Decoded v1 = decode_fresh(message(0, fields));
  ASSERT_EQ(v1.rc, kOk);
  EXPECT_EQ(v1.packet->pdu()->type(), kPduTrap);
  EXPECT_STREQ(v1.packet->pdu()->trap_oid()->text(), "1.3.6.1.0.9");
  EXPECT_EQ(v1.packet->pdu()->time_stamp()->get_uint32(), 7u);
}

TEST(Decoder, WithoutTargetNeedsATranslateType) {
  SnmpLogCapture log;
  SnmpPacketPtr packet(qes_create_snmp_packet());
  const Bytes bytes = message(0, response(1, 0, 0, {}));
  EXPECT_EQ(decode(bytes, packet.get(), kTranslateNone), kErrInvalidArg);
  EXPECT_TRUE(log.has("Error", "decode error: unknown translate type."));
  EXPECT_EQ(decode(bytes, packet.get(), 1), kErrInvalidArg);
  EXPECT_EQ(decode(bytes, packet.get(), kTranslateCommunity), kOk);
}

TEST(Decoder, PeekReadsOnlyTheHeader) {
  // The varbind list is broken, but the peek never reads it.
  Bytes bytes = message(1, response(0x5A, 1, 0, cat({Bytes{0x30, 0x02, 0x05, 0x00}})));
  RawPacketPtr raw(qes_create_raw_packet_from(bytes.data(), static_cast<uint32_t>(bytes.size())));
  int32_t status = -9, id = -9;
  ASSERT_EQ(CQesCodecService::instance().peek(raw.get(), kTranslateCommunity, &status, &id), kOk);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(id, 0x5A);
  EXPECT_EQ(CQesCodecService::instance().peek(raw.get(), kTranslateCommunity, nullptr, &id), kErrInvalidArg);
  // The header's own rules still hold in a peek.
  SnmpLogCapture log;
  const Bytes v3 = message(3, response(0x5A, 0, 0, {}));
  RawPacketPtr bad(qes_create_raw_packet_from(v3.data(), static_cast<uint32_t>(v3.size())));
  EXPECT_EQ(CQesCodecService::instance().peek(bad.get(), kTranslateCommunity, &status, &id), kErrNotAwaited);
  EXPECT_TRUE(log.has("Error", "decode error: unsupported snmp version.")) << log.text();
  SnmpPacketPtr packet(qes_create_snmp_packet());
  EXPECT_EQ(decode(bytes, packet.get()), kErrNotAwaited);
}

}  // namespace
}  // namespace orv
