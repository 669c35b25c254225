#include <gtest/gtest.h>

#include "smi_test_support.h"

namespace orv::test {
namespace {

TEST(IntegerValue, ConvertsIntegersAndTextBothWays) {
  auto value = make_value(kSmiInteger);
  Result status = -99;
  EXPECT_EQ(value->get_int32(&status), 0);
  EXPECT_EQ(status, kOk);

  EXPECT_EQ(value->set_int32(-129), kOk);
  EXPECT_EQ(value->get_int32(nullptr), -129);
  EXPECT_EQ(text_of(value.get()), "-129");

  EXPECT_EQ(value->set_text("2147483647"), kOk);
  EXPECT_EQ(value->get_int32(nullptr), INT32_MAX);
  EXPECT_EQ(value->set_text("-2147483648"), kOk);
  EXPECT_EQ(text_of(value.get()), "-2147483648");
  EXPECT_EQ(value->set_text(" 42abc"), kOk);  // C conversion: leading blanks, stops at the letters
  EXPECT_EQ(value->get_int32(nullptr), 42);
  EXPECT_EQ(value->set_text("abc"), kOk);
  EXPECT_EQ(value->get_int32(nullptr), 0);
  EXPECT_EQ(value->set_text(nullptr), kErrInvalidArg);
  EXPECT_EQ(value->length(), 1u);
}

TEST(IntegerValue, RefusesUnsignedAndByteOperations) {
  auto value = make_value(kSmiInteger);
  Result status = kOk;
  EXPECT_EQ(value->get_uint32(&status), 0xFFFFFFFFu);
  EXPECT_EQ(status, kErrNotSupported);
  EXPECT_EQ(value->set_uint32(5), kErrNotSupported);
  EXPECT_EQ(value->get_high32(&status), 0xFFFFFFFFu);
  EXPECT_EQ(status, kErrNotSupported);
  uint32_t length = 0;
  EXPECT_EQ(value->get_bytes(&length, &status), nullptr);
  EXPECT_EQ(status, kErrNotSupported);
  EXPECT_EQ(value->get_bytes(nullptr, &status), nullptr);
  EXPECT_EQ(status, kErrInvalidArg);
  EXPECT_EQ(value->set_bytes("a", 1), kErrNotSupported);
  EXPECT_EQ(value->get_uint16(&status) & 0xFFFF, 0xFFFF);
  EXPECT_EQ(status, kErrNotSupported);
}

TEST(Gauge32Family, SharesTheUnsignedConversions) {
  for (uint32_t kind : {kSmiGauge32, kSmiCounter32, kSmiTimeTicks}) {
    SCOPED_TRACE(kind);
    auto value = make_value(kind);
    EXPECT_EQ(value->kind(), kind);
    EXPECT_EQ(value->set_uint32(4000000000u), kOk);
    EXPECT_EQ(value->get_uint32(nullptr), 4000000000u);
    EXPECT_EQ(text_of(value.get()), "4000000000");
    // The text conversion keeps the whole unsigned range and wraps signs.
    EXPECT_EQ(value->set_text("4294967295"), kOk);
    EXPECT_EQ(value->get_uint32(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(value->set_text("-1"), kOk);
    EXPECT_EQ(value->get_uint32(nullptr), 0xFFFFFFFFu);
    Result status = kOk;
    EXPECT_EQ(value->get_int32(&status), -1);
    EXPECT_EQ(status, kErrNotSupported);
    EXPECT_EQ(value->set_int32(1), kErrNotSupported);
    value->clear();
    EXPECT_EQ(value->get_uint32(nullptr), 0u);
  }
}

TEST(Counter64Value, KeepsTwoHalvesAndPrintsTheWholeNumber) {
  auto value = make_value(kSmiCounter64);
  EXPECT_EQ(value->set_high32(1), kOk);
  EXPECT_EQ(value->set_low32(2), kOk);
  EXPECT_EQ(value->get_high32(nullptr), 1u);
  EXPECT_EQ(value->get_low32(nullptr), 2u);
  EXPECT_EQ(text_of(value.get()), "4294967298");

  // set_uint32 takes the lower half and clears the upper one.
  EXPECT_EQ(value->set_uint32(7), kOk);
  EXPECT_EQ(value->get_high32(nullptr), 0u);
  EXPECT_EQ(value->get_low32(nullptr), 7u);

  EXPECT_EQ(value->set_text("18446744073709551615"), kOk);
  EXPECT_EQ(value->get_high32(nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(value->get_low32(nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(text_of(value.get()), "18446744073709551615");

  Result status = kOk;
  EXPECT_EQ(value->get_uint32(&status), 0xFFFFFFFFu);
  EXPECT_EQ(status, kErrNotSupported);
  EXPECT_EQ(value->get_int32(&status), -1);
  EXPECT_EQ(status, kErrNotSupported);
}

TEST(EmptyKinds, HaveNoConversions) {
  for (uint32_t kind : {kSmiNull, kSmiNoSuchObject, kSmiNoSuchInstance, kSmiEndOfMibView}) {
    SCOPED_TRACE(kind);
    auto value = make_value(kind);
    EXPECT_EQ(value->kind(), kind);
    EXPECT_EQ(value->length(), 0u);
    Result status = kOk;
    EXPECT_EQ(value->to_text(&status), nullptr);
    EXPECT_EQ(status, kErrNotSupported);
    EXPECT_EQ(value->set_text("1"), kErrNotSupported);
    EXPECT_EQ(value->set_int32(1), kErrNotSupported);
    auto oid = make_oid("1.3");
    EXPECT_EQ(value->to_oid(oid.get(), false), kErrNotSupported);
    EXPECT_STREQ(oid->text(), "1.3");  // left untouched
  }
}

}  // namespace
}  // namespace orv::test
