// BER writer and reader primitives on their own: lengths, integers,
// Counter64 and sub-identifiers, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "snmp/message/ber_oid.h"
#include "snmp/message/ber_reader.h"
#include "snmp/message/ber_writer.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

// Runs `fill` on a writer over a roomy buffer and returns what it wrote.
template <typename F>
Bytes written(F fill) {
  uint8_t buf[64];
  BerWriter w(buf, sizeof buf);
  fill(w);
  EXPECT_FALSE(w.overflow());
  return Bytes(buf + w.offset(), buf + sizeof buf);
}

TEST(BerWriter, IntegerContentsAreMinimalTwosComplement) {
  struct Case {
    int32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},           {127, {0x7F}},         {128, {0x00, 0x80}},
      {-128, {0x80}},        {-129, {0xFF, 0x7F}},  {256, {0x01, 0x00}},
      {32767, {0x7F, 0xFF}}, {-32769, {0xFF, 0x7F, 0xFF}},
      {INT32_MAX, {0x7F, 0xFF, 0xFF, 0xFF}},        {INT32_MIN, {0x80, 0x00, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(written([&](BerWriter& w) { w.put_int32(c.value); }), c.bytes) << c.value;
    EXPECT_EQ(ber_int32_size(c.value), c.bytes.size()) << c.value;
  }
}

TEST(BerWriter, UnsignedContentsGetASignByteFromTheTopBitOn) {
  EXPECT_EQ(written([](BerWriter& w) { w.put_uint32(127); }), (Bytes{0x7F}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_uint32(128); }), (Bytes{0x00, 0x80}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_uint32(0x7FFFFFFF); }), (Bytes{0x7F, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_uint32(0xFFFFFFFF); }),
            (Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BerWriter, Counter64UsesTheLowRuleOrFourLowBytesBehindTheHigh) {
  EXPECT_EQ(written([](BerWriter& w) { w.put_counter64(0, 5); }), (Bytes{0x05}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_counter64(0, 0x80000000); }),
            (Bytes{0x00, 0x80, 0x00, 0x00, 0x00}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_counter64(1, 0); }), (Bytes{0x01, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_counter64(0xFFFFFFFF, 0xFFFFFFFF); }),
            (Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ber_counter64_size(0xFFFFFFFF, 1), 9u);
}

TEST(BerWriter, LengthsTakeTheShortOrTheLongForm) {
  EXPECT_EQ(written([](BerWriter& w) { EXPECT_EQ(w.put_length(127), 1u); }), (Bytes{0x7F}));
  EXPECT_EQ(written([](BerWriter& w) { EXPECT_EQ(w.put_length(200), 2u); }), (Bytes{0x81, 0xC8}));
  EXPECT_EQ(written([](BerWriter& w) { EXPECT_EQ(w.put_length(300), 3u); }), (Bytes{0x82, 0x01, 0x2C}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_length(0x10000); }), (Bytes{0x83, 0x01, 0x00, 0x00}));
  EXPECT_EQ(ber_length_size(255), 2u);
  EXPECT_EQ(ber_length_size(256), 3u);
}

TEST(BerWriter, SubIdentifiersAreBase128MostSignificantFirst) {
  EXPECT_EQ(written([](BerWriter& w) { EXPECT_EQ(w.put_subid(127), 1u); }), (Bytes{0x7F}));
  EXPECT_EQ(written([](BerWriter& w) { EXPECT_EQ(w.put_subid(128), 2u); }), (Bytes{0x81, 0x00}));
  EXPECT_EQ(written([](BerWriter& w) { w.put_subid(0xFFFFFFFF); }), (Bytes{0x8F, 0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(ber_subid_size(0xFFFFFFFF), 5u);
}

TEST(BerWriter, OverflowWritesNothingButKeepsCounting) {
  uint8_t buf[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  BerWriter w(buf, sizeof buf);
  const uint8_t run[3] = {1, 2, 3};
  w.put_bytes(run, 3);
  EXPECT_FALSE(w.overflow());
  w.put_bytes(run, 3);  // a run that does not fit is not written in part
  EXPECT_TRUE(w.overflow());
  EXPECT_EQ(buf[0], 0xEE);
  w.put_header(0x30, w.written());
  EXPECT_EQ(w.written(), 8u);  // 3 + 3 + length + tag
  EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{0xEE, 1, 2, 3}));
}

TEST(BerWriter, ExactFitDoesNotOverflow) {
  uint8_t buf[3];
  BerWriter w(buf, sizeof buf);
  w.put_byte(0);
  w.put_header(0x05, 1);
  EXPECT_FALSE(w.overflow());
  EXPECT_EQ(w.offset(), 0u);
  w.put_byte(1);
  EXPECT_TRUE(w.overflow());
}

TEST(BerReader, ReadsShortAndLongLengths) {
  const uint8_t in[] = {0x30, 0x05, 0x04, 0x81, 0xC8, 0x30, 0x82, 0x01, 0x2C, 0x02, 0x84, 0x00, 0x00, 0x00, 0x01};
  BerReader r(in, sizeof in);
  uint8_t tag;
  uint32_t len;
  ASSERT_EQ(r.read_tag_length(&tag, &len), kOk);
  EXPECT_EQ(tag, 0x30);
  EXPECT_EQ(len, 5u);
  ASSERT_EQ(r.read_tag_length(&tag, &len), kOk);
  EXPECT_EQ(len, 200u);
  ASSERT_EQ(r.read_tag_length(&tag, &len), kOk);
  EXPECT_EQ(len, 300u);
  ASSERT_EQ(r.read_tag_length(&tag, &len), kOk);  // redundant leading zeros are fine
  EXPECT_EQ(len, 1u);
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(BerReader, RefusesIndefiniteTruncatedAndWrappingLengths) {
  uint8_t tag;
  uint32_t len;
  const uint8_t indefinite[] = {0x30, 0x80, 0x00, 0x00};
  const uint8_t cut[] = {0x30, 0x82, 0x01};
  const uint8_t no_length[] = {0x30};
  const uint8_t wraps[] = {0x30, 0x85, 0x01, 0x00, 0x00, 0x00, 0x05};
  const uint8_t huge_count[] = {0x30, 0xFF, 0x00};
  for (auto [data, size] : {std::pair{indefinite, sizeof indefinite}, std::pair{cut, sizeof cut},
                            std::pair{no_length, sizeof no_length}, std::pair{wraps, sizeof wraps},
                            std::pair{huge_count, sizeof huge_count}}) {
    BerReader r(data, size);
    EXPECT_EQ(r.read_tag_length(&tag, &len), kErrNotAwaited) << size;
    EXPECT_LE(r.position(), size);
  }
}

TEST(BerReader, PastTheEndYieldsZeroAndExhausts) {
  const uint8_t in[] = {0x42};
  BerReader r(in, sizeof in);
  EXPECT_EQ(r.read_byte(), 0x42);
  EXPECT_FALSE(r.exhausted());
  EXPECT_EQ(r.peek_byte(), 0);
  EXPECT_TRUE(r.exhausted());
  EXPECT_EQ(r.take(1), nullptr);
}

TEST(BerReader, IntegersDecodeWithSignAndRefuseLostBits) {
  int32_t v = 99;
  const uint8_t m129[] = {0xFF, 0x7F};
  ASSERT_EQ(ber_decode_int32(m129, 2, &v), kOk);
  EXPECT_EQ(v, -129);
  ASSERT_EQ(ber_decode_int32(nullptr, 0, &v), kOk);
  EXPECT_EQ(v, 0);
  const uint8_t u32max[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  ASSERT_EQ(ber_decode_int32(u32max, 5, &v), kOk);
  EXPECT_EQ(static_cast<uint32_t>(v), 0xFFFFFFFFu);
  const uint8_t padded[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x05};
  ASSERT_EQ(ber_decode_int32(padded, 6, &v), kOk);
  EXPECT_EQ(v, 5);
  const uint8_t neg_padded[] = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00};
  ASSERT_EQ(ber_decode_int32(neg_padded, 6, &v), kOk);
  EXPECT_EQ(v, INT32_MIN);
  const uint8_t mixed_fill[] = {0xFF, 0x00, 0x80, 0x00, 0x00, 0x00};
  EXPECT_EQ(ber_decode_int32(mixed_fill, 6, &v), kErrNotAwaited);
  const uint8_t five_nonzero[] = {0x01, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(ber_decode_int32(five_nonzero, 5, &v), kErrNotAwaited);
  const uint8_t below_min[] = {0xFF, 0x7F, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ber_decode_int32(below_min, 5, &v), kErrNotAwaited);
  const uint8_t six_lost[] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x05};
  EXPECT_EQ(ber_decode_int32(six_lost, 6, &v), kErrNotAwaited);
}

TEST(BerReader, Counter64TakesLowFourAndHighRest) {
  uint32_t hi = 7, lo = 7;
  const uint8_t nine[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01};
  ASSERT_EQ(ber_decode_counter64(nine, 9, &hi, &lo), kOk);
  EXPECT_EQ(hi, 0xFFFFFFFFu);
  EXPECT_EQ(lo, 1u);
  const uint8_t small[] = {0x01, 0x00};
  ASSERT_EQ(ber_decode_counter64(small, 2, &hi, &lo), kOk);
  EXPECT_EQ(hi, 0u);
  EXPECT_EQ(lo, 256u);
  const uint8_t too_big[] = {0x01, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ber_decode_counter64(too_big, 9, &hi, &lo), kErrNotAwaited);
}

std::vector<uint32_t> oid_arcs(const Bytes& contents, OidContentStatus expect = OidContentStatus::kOk) {
  std::vector<uint32_t> arcs(ber_oid_arcs_room(contents.size()));
  size_t n = 0;
  EXPECT_EQ(ber_get_oid_arcs(contents.data(), contents.size(), arcs.data(), &n), expect);
  arcs.resize(expect == OidContentStatus::kOk ? n : 0);
  return arcs;
}

using Arcs = std::vector<uint32_t>;

TEST(BerOid, ContentsBecomeArcs) {
  EXPECT_EQ(oid_arcs({0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x02, 0x00}), (Arcs{1, 3, 6, 1, 2, 1, 1, 2, 0}));
  EXPECT_EQ(oid_arcs({0x88, 0x37, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}), (Arcs{2, 999, 4294967295u}));
  EXPECT_EQ(oid_arcs({0x00}), (Arcs{0, 0}));
  EXPECT_EQ(oid_arcs({0x4F}), (Arcs{1, 39}));
  EXPECT_EQ(oid_arcs({}), Arcs{});
  // Every byte a sub-identifier: the room bound is reached exactly.
  EXPECT_EQ(oid_arcs({0x2B, 0x01, 0x02, 0x03}), (Arcs{1, 3, 1, 2, 3}));
  oid_arcs({0x2B, 0x86}, OidContentStatus::kOpenEnd);
  oid_arcs({0x2B, 0x90, 0x80, 0x80, 0x80, 0x00}, OidContentStatus::kTooLarge);  // 2^32
}

Bytes oid_contents(const char* text, OidPutStatus expect = OidPutStatus::kOk) {
  uint8_t buf[64];
  BerWriter w(buf, sizeof buf);
  size_t n = 99;
  EXPECT_EQ(ber_put_oid_text(w, text, std::strlen(text), &n), expect) << text;
  if (expect != OidPutStatus::kOk) return {};
  EXPECT_EQ(n, w.written());
  return Bytes(buf + w.offset(), buf + sizeof buf);
}

TEST(BerOid, ArcsWriteTheSameBytesWithAndWithoutSpareRoom) {
  const uint32_t arcs[] = {1, 3, 6, 1, 4, 1, 119, 4294967295u};
  const Bytes expect{0x2B, 0x06, 0x01, 0x04, 0x01, 0x77, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F};
  for (size_t size : {64, 11, 10}) {
    std::vector<uint8_t> buf(size, 0xEE);
    BerWriter w(buf.data(), buf.size());
    size_t n = 0;
    ASSERT_EQ(ber_put_oid_arcs(w, arcs, 8, &n), OidPutStatus::kOk);
    EXPECT_EQ(n, expect.size()) << size;
    EXPECT_EQ(w.overflow(), size < expect.size()) << size;
    if (!w.overflow()) {
      EXPECT_EQ(Bytes(buf.begin() + w.offset(), buf.end()), expect) << size;
    }
  }
}

TEST(BerOid, DottedTextBecomesContents) {
  EXPECT_EQ(oid_contents("1.3.6.1.2.1.1.2.0"), (Bytes{0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x02, 0x00}));
  EXPECT_EQ(oid_contents("2.999.4294967295"), (Bytes{0x88, 0x37, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(oid_contents("0.0"), (Bytes{0x00}));
  EXPECT_EQ(oid_contents("1.3.0128"), (Bytes{0x2B, 0x81, 0x00}));
  EXPECT_EQ(oid_contents(""), Bytes{});
  oid_contents("1", OidPutStatus::kOneArc);
  oid_contents("3.1", OidPutStatus::kBadFirstArcs);
  oid_contents("1.40", OidPutStatus::kBadFirstArcs);
  oid_contents("2.4294967216", OidPutStatus::kBadFirstArcs);
  for (const char* bad : {"1.3.", ".1.3", "1..3", "1.3a", "1.3.4294967296", "1.3.99999999999", "."})
    oid_contents(bad, OidPutStatus::kNotNumeric);
}

}  // namespace
}  // namespace orv

