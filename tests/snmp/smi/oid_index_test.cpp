// Values turned into OID arcs and back, as table indexes are built and read.
#include <gtest/gtest.h>

#include "smi_test_support.h"

namespace orv::test {
namespace {

TEST(OidIndex, OctetStringWithAndWithoutLength) {
  auto id = make_value(kSmiOctetString);
  ASSERT_EQ(id->set_text("AB"), kOk);
  OidPtr oid(create_oid());
  EXPECT_EQ(id->to_oid(oid.get(), false), kOk);
  EXPECT_STREQ(oid->text(), "2.65.66");
  EXPECT_EQ(id->append_to_oid(oid.get(), true), kOk);
  EXPECT_STREQ(oid->text(), "2.65.66.65.66");
  EXPECT_EQ(id->to_oid(oid.get(), true), kOk);  // to_oid empties first
  EXPECT_STREQ(oid->text(), "65.66");
  EXPECT_EQ(id->to_oid(nullptr, true), kErrInvalidArg);

  // The job identifier form: 101, the length, the octets.
  auto job = make_oid("101");
  ASSERT_EQ(id->append_to_oid(job.get(), false), kOk);
  EXPECT_STREQ(job->text(), "101.2.65.66");
}

TEST(OidIndex, FromOidTakesLengthOrCount) {
  auto value = make_value(kSmiOctetString);
  auto index = make_oid("3.97.98.99.100");
  EXPECT_EQ(value->from_oid(index.get(), false, kSmiAllArcs), kOk);
  EXPECT_EQ(text_of(value.get()), "abc");
  EXPECT_EQ(value->from_oid(index.get(), true, kSmiAllArcs), kOk);
  EXPECT_EQ(value->length(), 5u);
  EXPECT_EQ(value->element(0, nullptr), 3u);
  EXPECT_EQ(value->from_oid(index.get(), true, 2), kOk);
  EXPECT_EQ(value->length(), 2u);
  EXPECT_EQ(value->from_oid(index.get(), true, 0), kOk);
  EXPECT_EQ(value->length(), 0u);
  EXPECT_EQ(value->from_oid(nullptr, true, 1), kErrInvalidArg);
}

TEST(OidIndex, FromOidRefusesMissingOrLargeArcs) {
  auto value = make_value(kSmiOctetString);
  ASSERT_EQ(value->set_text("keep"), kOk);
  auto short_index = make_oid("4.97.98.99");  // declares four, has three
  EXPECT_EQ(value->from_oid(short_index.get(), false, kSmiAllArcs), kErrArcTooLarge);
  auto large = make_oid("2.97.256");
  EXPECT_EQ(value->from_oid(large.get(), false, kSmiAllArcs), kErrArcTooLarge);
  EXPECT_EQ(value->from_oid(large.get(), true, kSmiAllArcs), kErrArcTooLarge);
  auto edge = make_oid("2.0.255");
  OidPtr empty(create_oid());
  EXPECT_EQ(value->from_oid(empty.get(), false, kSmiAllArcs), kErrArcTooLarge);
  EXPECT_EQ(text_of(value.get()), "keep");  // refusals leave the value alone
  EXPECT_EQ(value->from_oid(edge.get(), false, kSmiAllArcs), kOk);
  EXPECT_EQ(value->length(), 2u);
  EXPECT_EQ(value->element(1, nullptr), 255u);
}

TEST(OidIndex, AddressesAndNumbers) {
  auto address = make_value(kSmiIpAddress);
  ASSERT_EQ(address->set_text("192.168.0.1"), kOk);
  OidPtr oid(create_oid());
  EXPECT_EQ(address->to_oid(oid.get(), true), kOk);
  EXPECT_STREQ(oid->text(), "192.168.0.1");
  auto back = make_value(kSmiIpAddress);
  EXPECT_EQ(back->from_oid(oid.get(), true, kSmiAllArcs), kOk);
  EXPECT_TRUE(back->equals(address.get()));
  auto three = make_oid("1.2.3");
  EXPECT_EQ(back->from_oid(three.get(), true, kSmiAllArcs), kErrInvalidArg);  // IpAddress needs four

  auto integer = make_value(kSmiInteger);
  ASSERT_EQ(integer->set_int32(-3), kOk);
  EXPECT_EQ(integer->to_oid(oid.get(), false), kOk);
  EXPECT_STREQ(oid->text(), "-3");
  // A negative index comes back as the same number; the limits hold.
  auto integer_back = make_value(kSmiInteger);
  EXPECT_EQ(integer_back->from_oid(oid.get(), true, 1), kOk);
  EXPECT_EQ(integer_back->get_int32(nullptr), -3);
  ASSERT_EQ(integer->set_int32(INT32_MIN), kOk);
  EXPECT_EQ(integer->to_oid(oid.get(), true), kOk);
  EXPECT_EQ(integer_back->from_oid(oid.get(), true, 1), kOk);
  EXPECT_EQ(integer_back->get_int32(nullptr), INT32_MIN);
  ASSERT_EQ(oid->set_text("-2147483649"), kOk);
  EXPECT_EQ(integer_back->from_oid(oid.get(), true, 1), kErrInvalidArg);
  ASSERT_EQ(oid->set_text("-"), kOk);
  EXPECT_EQ(integer_back->from_oid(oid.get(), true, 1), kErrInvalidArg);
  ASSERT_EQ(oid->set_text("-1.65"), kOk);
  EXPECT_EQ(make_value(kSmiOctetString)->from_oid(oid.get(), true, kSmiAllArcs), kErrArcTooLarge);
  auto gauge = make_value(kSmiGauge32);
  ASSERT_EQ(gauge->set_uint32(3000000000u), kOk);
  EXPECT_EQ(gauge->to_oid(oid.get(), false), kOk);
  EXPECT_STREQ(oid->text(), "3000000000");
  auto row = make_oid("17.5");
  EXPECT_EQ(gauge->from_oid(row.get(), true, 1), kOk);
  EXPECT_EQ(gauge->get_uint32(nullptr), 17u);
  OidPtr empty(create_oid());
  EXPECT_EQ(integer->from_oid(empty.get(), true, 1), kErrEmptyOid);

  auto counter64 = make_value(kSmiCounter64);
  EXPECT_EQ(counter64->to_oid(oid.get(), true), kErrNotSupported);
}

TEST(OidIndex, OidValuesCarryTheirArcCount) {
  auto inner = make_oid("1.3.6");
  OidPtr oid(create_oid());
  EXPECT_EQ(inner->to_oid(oid.get(), false), kOk);
  EXPECT_STREQ(oid->text(), "3.1.3.6");
  EXPECT_EQ(inner->to_oid(inner.get(), false), kErrInvalidArg);

  auto back = make_oid("");
  EXPECT_EQ(back->from_oid(oid.get(), false, kSmiAllArcs), kOk);
  EXPECT_STREQ(back->text(), "1.3.6");
  EXPECT_EQ(back->length(), 3u);
  EXPECT_EQ(back->from_oid(oid.get(), true, 2), kOk);
  EXPECT_STREQ(back->text(), "3.1");
  EXPECT_EQ(back->from_oid(back.get(), true, 1), kOk);  // from itself
  EXPECT_STREQ(back->text(), "3");
  auto short_index = make_oid("4.1.3");
  EXPECT_EQ(back->from_oid(short_index.get(), false, kSmiAllArcs), kErrArcTooLarge);
}

}  // namespace
}  // namespace orv::test
