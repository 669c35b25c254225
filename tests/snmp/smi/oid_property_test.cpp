// Random valid OIDs keep their text through appends, erasures, prefix strips
// and comparisons. Seeded and bounded, so a failure reproduces.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "smi_test_support.h"

namespace orv::test {
namespace {

std::string join(const std::vector<uint32_t>& arcs) {
  std::string text;
  for (size_t i = 0; i < arcs.size(); ++i) {
    if (i) text += '.';
    text += std::to_string(arcs[i]);
  }
  return text;
}

std::vector<uint32_t> random_arcs(std::mt19937& rng, size_t min_count, size_t max_count) {
  std::uniform_int_distribution<size_t> count(min_count, max_count);
  std::uniform_int_distribution<int> magnitude(0, 3);
  std::vector<uint32_t> arcs(count(rng));
  for (auto& arc : arcs) {
    switch (magnitude(rng)) {
      case 0: arc = rng() % 10; break;
      case 1: arc = rng() % 300; break;
      case 2: arc = rng() % 100000; break;
      default: arc = static_cast<uint32_t>(rng()); break;
    }
  }
  return arcs;
}

class OidRoundTrip : public ::testing::Test {
 protected:
  std::mt19937 rng{20240607u};
  static constexpr int kRounds = 400;
};

TEST_F(OidRoundTrip, ArcsTextAndElementsAgree) {
  for (int round = 0; round < kRounds; ++round) {
    const auto arcs = random_arcs(rng, 0, 40);
    const std::string text = join(arcs);
    OidPtr built(create_oid_from_arcs(arcs.data(), static_cast<uint32_t>(arcs.size())));
    OidPtr appended(create_oid());
    ASSERT_TRUE(built && appended);
    for (uint32_t arc : arcs) ASSERT_EQ(appended->append_arc_u32(arc), kOk);
    ASSERT_EQ(built->text(), text);
    ASSERT_EQ(appended->text(), text);
    ASSERT_TRUE(built->is_valid());
    ASSERT_EQ(built->length(), arcs.size());
    for (size_t i = 0; i < arcs.size(); ++i) ASSERT_EQ(appended->element(static_cast<uint32_t>(i), nullptr), arcs[i]);
    std::vector<uint32_t> out(arcs.size() + 1);
    uint32_t count = 0;
    ASSERT_EQ(built->get_arcs(out.data(), static_cast<uint32_t>(out.size()), &count), kOk);
    out.resize(count);
    ASSERT_EQ(out, arcs);
  }
}

TEST_F(OidRoundTrip, EraseMatchesAModelAndKeepsCaches) {
  for (int round = 0; round < kRounds; ++round) {
    auto arcs = random_arcs(rng, 1, 30);
    auto oid = make_oid(join(arcs).c_str());
    // Warm the offset cache half of the time, so both paths are exercised.
    if (round % 2) oid->element(0, nullptr);
    const uint32_t start = rng() % arcs.size();
    const uint32_t count = rng() % (arcs.size() + 2);
    ASSERT_EQ(oid->erase_arcs(start, count), kOk);
    arcs.erase(arcs.begin() + start, arcs.begin() + std::min<size_t>(arcs.size(), start + size_t{count}));
    ASSERT_EQ(oid->text(), join(arcs));
    ASSERT_EQ(oid->length(), arcs.size());
    ASSERT_TRUE(oid->is_valid());
    if (!arcs.empty()) {
      ASSERT_EQ(oid->element(static_cast<uint32_t>(arcs.size() - 1), nullptr), arcs.back());
    }
    // Appending after an erase keeps count and offsets right.
    ASSERT_EQ(oid->append_arc_u32(7), kOk);
    arcs.push_back(7);
    ASSERT_EQ(oid->text(), join(arcs));
    ASSERT_EQ(oid->element(static_cast<uint32_t>(arcs.size() - 1), nullptr), 7u);
  }
}

TEST_F(OidRoundTrip, PrefixCompareStripAndAppendAreInverse) {
  for (int round = 0; round < kRounds; ++round) {
    const auto head = random_arcs(rng, 1, 15);
    const auto tail = random_arcs(rng, 1, 15);
    auto whole_arcs = head;
    whole_arcs.insert(whole_arcs.end(), tail.begin(), tail.end());
    auto prefix = make_oid(join(head).c_str());
    auto whole = make_oid(join(whole_arcs).c_str());

    ASSERT_EQ(prefix->compare_oid(whole.get(), nullptr), kOidPrefixOfOther);
    ASSERT_EQ(whole->compare_oid(prefix.get(), nullptr), kOidOtherIsPrefix);
    OidPtr same(whole->clone_oid());
    ASSERT_EQ(whole->compare_oid(same.get(), nullptr), kOidEqual);

    ASSERT_EQ(same->strip_prefix_oid(prefix.get()), kOk);
    ASSERT_EQ(same->text(), join(tail));
    ASSERT_EQ(same->length(), tail.size());
    OidPtr rebuilt(prefix->clone_oid());
    ASSERT_EQ(rebuilt->append_oid(same.get()), kOk);
    ASSERT_TRUE(rebuilt->equals(whole.get()));
    ASSERT_EQ(rebuilt->length(), whole_arcs.size());

    // Two unrelated OIDs order in opposite directions either way round.
    auto other = make_oid(join(random_arcs(rng, 1, 20)).c_str());
    const int32_t forward = whole->compare_oid(other.get(), nullptr);
    const int32_t backward = other->compare_oid(whole.get(), nullptr);
    const int32_t mirror[] = {kOidEqual, kOidOtherIsPrefix, kOidPrefixOfOther, kOidAfter, kOidBefore};
    ASSERT_EQ(backward, mirror[forward]) << whole->text() << " vs " << other->text();
    ASSERT_EQ(forward == kOidEqual, whole->equals(other.get()));
    ASSERT_EQ(whole->compare_text(other->text(), nullptr), forward);
  }
}

}  // namespace
}  // namespace orv::test
