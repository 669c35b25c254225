#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "smi_test_support.h"
#include "snmp/smi/oid_text.h"

namespace orv::test {
namespace {

bool valid(const char* text) { return smi::oid_text_is_valid(text, std::strlen(text)); }

TEST(OidText, Validity) {
  for (const char* good : {"", "0", "1", "1.3.6.1", "0.0", "1.3.6.1.4.1.119.1.40", "10.20.4294967295"}) {
    EXPECT_TRUE(valid(good)) << good;
  }
  for (const char* bad : {".1.3", "1.3.", "1..3", ".", "01", "1.03.6", "1.3a", "-1", " 1.3", "1.3 "}) {
    EXPECT_FALSE(valid(bad)) << bad;
  }
}

// Texts that are the plain printing of 32-bit arcs get those arcs appended;
// any other text leaves what the array held (here two arcs) as it was.
TEST(OidText, AppendArcsTakesOnlyPlainPrintings) {
  struct Case {
    std::string text;
    std::vector<uint32_t> arcs;  // appended; none expected for a refusal
    bool taken;
  };
  const std::string twenty_arcs = "1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20";
  const Case cases[] = {
      {"", {}, true},
      {"0", {0}, true},
      {"7", {7}, true},
      {"1.3.6.1.2.1.11.13.0", {1, 3, 6, 1, 2, 1, 11, 13, 0}, true},
      {"10.0.4294967295", {10, 0, 4294967295u}, true},
      {"1000000000.9", {1000000000u, 9}, true},
      {twenty_arcs, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, true},
      {"4294967296", {}, false},             // one past 32 bits
      {"9999999999", {}, false},             // ten digits beyond 32 bits
      {"18446744073709551617", {}, false},   // wraps 64 bits to 1
      {"00000000001", {}, false},
      {"01", {}, false},
      {"1.00", {}, false},
      {"1.03.6", {}, false},
      {"1.3.", {}, false},
      {".1.3", {}, false},
      {"1..3", {}, false},
      {".", {}, false},
      {"1.3a", {}, false},
      {"1.a3", {}, false},
      {"1.-3", {}, false},
      {" 1", {}, false},
      {"1 ", {}, false},
      {twenty_arcs + ".", {}, false},
  };
  for (const Case& c : cases) {
    smi::ArcArray arcs;
    const uint32_t kept[] = {42, 43};
    ASSERT_EQ(arcs.assign(kept, 2), kOk);
    const smi::OidArcsParse status = smi::oid_text_append_arcs(c.text.data(), c.text.size(), &arcs);
    std::vector<uint32_t> expected = {42, 43};
    expected.insert(expected.end(), c.arcs.begin(), c.arcs.end());
    EXPECT_EQ(status, c.taken ? smi::OidArcsParse::kOk : smi::OidArcsParse::kNoArcForm) << c.text;
    EXPECT_EQ(std::vector<uint32_t>(arcs.data(), arcs.data() + arcs.size()), expected) << c.text;
  }
}

TEST(OidValue, EmptyIsValidWithNoArcs) {
  OidPtr oid(create_oid());
  ASSERT_TRUE(oid);
  EXPECT_TRUE(oid->is_valid());
  EXPECT_EQ(oid->length(), 0u);
  EXPECT_STREQ(oid->text(), "");
  Result status = kOk;
  oid->element(0, &status);
  EXPECT_EQ(status, kErrEmptyOid);
  EXPECT_EQ(oid->erase_arcs(0, 1), kErrInvalidArg);

  // set_text stores unchecked; is_valid tells.
  EXPECT_EQ(oid->set_text("1.3."), kOk);
  EXPECT_FALSE(oid->is_valid());
  EXPECT_EQ(oid->set_text(nullptr), kOk);
  EXPECT_EQ(oid->length(), 0u);
}

TEST(OidValue, ComparesCharacterByCharacter) {
  auto oid = make_oid("1.3.6.1.2.1.10");
  Result status = -99;
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1.9", &status), kOidBefore);  // '1' < '9'
  EXPECT_EQ(status, kOk);
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1.10", nullptr), kOidEqual);
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1.10.5", nullptr), kOidPrefixOfOther);
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1", nullptr), kOidOtherIsPrefix);
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1.1", nullptr), kOidAfter);  // "10" continues "1" without a dot
  EXPECT_EQ(oid->compare_text("1.3.6.1.2.1.100", nullptr), kOidBefore);
  EXPECT_EQ(oid->compare_text("2", nullptr), kOidBefore);

  auto other = make_oid("1.3.6.1.2.1.9");
  EXPECT_EQ(oid->compare_oid(other.get(), nullptr), kOidBefore);
  EXPECT_EQ(other->compare_oid(oid.get(), nullptr), kOidAfter);
  EXPECT_EQ(oid->compare_text(nullptr, &status), -1);
  EXPECT_EQ(status, kErrInvalidArg);
  EXPECT_EQ(oid->compare_oid(nullptr, &status), -1);
  EXPECT_EQ(status, kErrInvalidArg);
}

TEST(OidValue, StripsOnlyRealPrefixes) {
  auto oid = make_oid("1.3.6.1.2.1.25.3.2.1.3.1");
  ASSERT_EQ(oid->length(), 12u);
  EXPECT_EQ(oid->strip_prefix_text("1.3.6.1.2.1.25.3.2.1.3"), kOk);
  EXPECT_STREQ(oid->text(), "1");
  EXPECT_EQ(oid->length(), 1u);

  auto walk = make_oid("1.3.6.1.2.1.25");
  EXPECT_EQ(walk->strip_prefix_text("1.3.6.1.2.1.2"), kErrInvalidArg);  // "25" is not below "2"
  EXPECT_EQ(walk->strip_prefix_text("1.3.6.1.2.1.25.1"), kErrInvalidArg);
  EXPECT_EQ(walk->strip_prefix_text(nullptr), kErrInvalidArg);
  EXPECT_STREQ(walk->text(), "1.3.6.1.2.1.25");
  auto prefix = make_oid("1.3.6");
  EXPECT_EQ(walk->strip_prefix_oid(prefix.get()), kOk);
  EXPECT_STREQ(walk->text(), "1.2.1.25");
  EXPECT_EQ(walk->element(3, nullptr), 25u);
  EXPECT_EQ(walk->strip_prefix_text("1.2.1.25"), kOk);  // equal: nothing left
  EXPECT_EQ(walk->length(), 0u);
}

TEST(OidValue, AppendsTextsIntegersAndOids) {
  OidPtr oid(create_oid());
  EXPECT_EQ(oid->append_text(""), kOk);
  EXPECT_STREQ(oid->text(), "");
  EXPECT_EQ(oid->append_text("1.3.6"), kOk);
  EXPECT_EQ(oid->append_arc(1), kOk);
  EXPECT_EQ(oid->append_arc(-5), kOk);  // signed decimal
  EXPECT_STREQ(oid->text(), "1.3.6.1.-5");
  EXPECT_FALSE(oid->is_valid());
  EXPECT_EQ(oid->append_text(nullptr), kErrInvalidArg);

  auto base = make_oid("1.3.6.1.4.1.253.8");
  auto suffix = make_oid("51.5.1.1.4");
  EXPECT_EQ(base->append_oid(suffix.get()), kOk);
  EXPECT_STREQ(base->text(), "1.3.6.1.4.1.253.8.51.5.1.1.4");
  EXPECT_EQ(base->length(), 13u);
  EXPECT_EQ(base->append_arc_u32(4294967295u), kOk);
  EXPECT_EQ(base->element(13, nullptr), 4294967295u);
  EXPECT_EQ(base->append_oid(base.get()), kOk);  // appending itself
  EXPECT_EQ(base->length(), 28u);
  EXPECT_EQ(base->append_text(base->text() + 2), kOk);  // a part of itself
  EXPECT_EQ(base->length(), 55u);
  EXPECT_TRUE(base->is_valid());
}

TEST(OidValue, ElementReadsArcsAndReportsTheEnds) {
  auto oid = make_oid("1.3.6.1.4.1.119.1.40.297");
  Result status = -99;
  EXPECT_EQ(oid->element(0, &status), 1u);
  EXPECT_EQ(status, kOk);
  EXPECT_EQ(oid->element(9, &status), 297u);
  EXPECT_EQ(oid->element(6, &status), 119u);
  oid->element(10, &status);
  EXPECT_EQ(status, kErrNoValue);
  // The cached offsets follow appends.
  ASSERT_EQ(oid->append_arc(93), kOk);
  EXPECT_EQ(oid->element(10, &status), 93u);
  EXPECT_EQ(status, kOk);
  ASSERT_EQ(oid->set_text("1.99999999999"), kOk);
  EXPECT_EQ(oid->element(1, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status, kErrInvalidArg);  // not a 32-bit arc
}

TEST(OidValue, ErasesRangesOfArcs) {
  auto oid = make_oid("1.3.6.1.4.1");
  EXPECT_EQ(oid->erase_arcs(6, 1), kErrInvalidArg);
  EXPECT_EQ(oid->erase_arcs(1, 2), kOk);
  EXPECT_STREQ(oid->text(), "1.1.4.1");
  EXPECT_EQ(oid->erase_arcs(0, 1), kOk);
  EXPECT_STREQ(oid->text(), "1.4.1");
  EXPECT_EQ(oid->erase_arcs(1, 100), kOk);  // clipped at the end
  EXPECT_STREQ(oid->text(), "1");
  EXPECT_EQ(oid->length(), 1u);
  EXPECT_EQ(oid->erase_arcs(0, 0), kOk);
  EXPECT_STREQ(oid->text(), "1");
  EXPECT_EQ(oid->erase_arcs(0, 0xFFFFFFFFu), kOk);
  EXPECT_STREQ(oid->text(), "");
}

TEST(OidValue, ArcFastPaths) {
  const uint32_t arcs[] = {1, 3, 6, 1, 2, 1, 1, 2, 0, 4294967295u};
  Result status = -99;
  OidPtr oid(create_oid_from_arcs(arcs, 10, &status));
  ASSERT_TRUE(oid);
  EXPECT_STREQ(oid->text(), "1.3.6.1.2.1.1.2.0.4294967295");
  EXPECT_EQ(oid->length(), 10u);

  uint32_t out[10] = {};
  uint32_t count = 0;
  EXPECT_EQ(oid->get_arcs(out, 10, &count), kOk);
  EXPECT_EQ(count, 10u);
  EXPECT_EQ(std::vector<uint32_t>(out, out + 10), std::vector<uint32_t>(arcs, arcs + 10));
  EXPECT_EQ(oid->get_arcs(out, 9, &count), kErrInvalidArg);
  EXPECT_EQ(count, 10u);  // tells the room needed
  EXPECT_EQ(oid->get_arcs(out, 10, nullptr), kErrInvalidArg);

  EXPECT_EQ(oid->append_arcs(arcs, 2), kOk);
  EXPECT_EQ(oid->length(), 12u);
  EXPECT_EQ(oid->set_arcs(nullptr, 0), kOk);
  EXPECT_STREQ(oid->text(), "");
  EXPECT_EQ(oid->set_arcs(nullptr, 3), kErrInvalidArg);

  ASSERT_EQ(oid->set_text("1.3.x"), kOk);
  EXPECT_EQ(oid->get_arcs(out, 10, &count), kErrInvalidArg);
}

TEST(OidValue, TextAndBytesViews) {
  auto oid = make_oid("1.3.6.1");
  uint32_t length = 0;
  const uint8_t* bytes = oid->get_bytes(&length, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), "1.3.6.1");
  EXPECT_EQ(text_of(oid.get()), "1.3.6.1");
  Result status = -99;
  OidPtr copy(oid->clone_oid(&status));
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->equals(oid.get()));
  EXPECT_EQ(copy->append_arc(0), kOk);
  EXPECT_FALSE(copy->equals(oid.get()));
  EXPECT_EQ(oid->length(), 4u);
}

}  // namespace
}  // namespace orv::test
