// OIDs are what their dotted text says, whether the text is the printing of
// 32-bit arcs or not ("01", arcs beyond 32 bits). Random texts mixing both
// kinds of arcs go through every text operation, checked against a plain
// string model, so neither inner form can drift from the text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "smi_test_support.h"

namespace orv::test {
namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> arcs;
  if (text.empty()) return arcs;
  size_t start = 0;
  for (size_t dot; (dot = text.find('.', start)) != std::string::npos; start = dot + 1)
    arcs.push_back(text.substr(start, dot - start));
  arcs.push_back(text.substr(start));
  return arcs;
}

std::string join(const std::vector<std::string>& arcs) {
  std::string text;
  for (size_t i = 0; i < arcs.size(); ++i) text += (i ? "." : "") + arcs[i];
  return text;
}

bool model_valid(const std::string& text) {
  for (const auto& arc : split(text)) {
    if (arc.empty() || arc.find_first_not_of("0123456789") != std::string::npos) return false;
    if (arc.size() > 1 && arc[0] == '0') return false;
  }
  return true;
}

int32_t model_compare(const std::string& a, const std::string& b) {
  if (a == b) return kOidEqual;
  if (b.size() > a.size() && b.compare(0, a.size(), a) == 0) return b[a.size()] == '.' ? kOidPrefixOfOther : kOidBefore;
  if (a.size() > b.size() && a.compare(0, b.size(), b) == 0) return a[b.size()] == '.' ? kOidOtherIsPrefix : kOidAfter;
  return a < b ? kOidBefore : kOidAfter;
}

// Arcs that print as themselves, and arcs that only a text can hold.
const char* const kArcs[] = {"0", "1", "3", "6", "10", "9", "255", "4294967295",
                             "01", "00", "0007", "4294967296", "99999999999"};

std::string random_text(std::mt19937& rng, size_t max_arcs, bool plain_only) {
  const size_t plain = 8;
  std::vector<std::string> arcs(rng() % (max_arcs + 1));
  for (auto& arc : arcs) arc = kArcs[rng() % (plain_only ? plain : std::size(kArcs))];
  return join(arcs);
}

void expect_matches(const IQelOid* oid, const std::string& model) {
  ASSERT_EQ(std::string(oid->text(), oid->text_length()), model);
  const auto arcs = split(model);
  ASSERT_EQ(oid->length(), arcs.size()) << model;
  ASSERT_EQ(oid->is_valid(), model_valid(model)) << model;
  for (size_t i = 0; i < arcs.size(); ++i) {
    Result status = -99;
    const uint32_t arc = oid->element(static_cast<uint32_t>(i), &status);
    const unsigned long long want = std::stoull(arcs[i]);
    if (want > UINT32_MAX) {
      ASSERT_EQ(status, kErrInvalidArg) << model << " arc " << i;
    } else {
      ASSERT_EQ(status, kOk) << model << " arc " << i;
      ASSERT_EQ(arc, want) << model << " arc " << i;
    }
  }
  uint32_t count = 0;
  const uint32_t* view = oid->arc_view(&count);
  if (view) {
    // Only a text that is the exact printing of its arcs may offer them.
    ASSERT_TRUE(model_valid(model)) << model;
    ASSERT_EQ(count, arcs.size());
    for (size_t i = 0; i < arcs.size(); ++i) ASSERT_EQ(std::to_string(view[i]), arcs[i]);
  } else {
    ASSERT_EQ(oid->arc_codec_cache(), nullptr);
  }
}

class OidTextModel : public ::testing::Test {
 protected:
  std::mt19937 rng{7151u};
  static constexpr int kRounds = 300;
};

TEST_F(OidTextModel, EveryOperationKeepsTheText) {
  for (int round = 0; round < kRounds; ++round) {
    std::string model = random_text(rng, 8, round % 3 == 0);
    OidPtr oid(create_oid());
    ASSERT_TRUE(oid);
    // Half the OIDs start from arcs, so the arc form is current first.
    std::vector<uint32_t> start_arcs;
    bool fits = model_valid(model);
    for (const auto& arc : split(model)) fits = fits && std::stoull(arc) <= UINT32_MAX;
    if (round % 2 && fits) {
      for (const auto& arc : split(model)) start_arcs.push_back(static_cast<uint32_t>(std::stoull(arc)));
      ASSERT_EQ(oid->set_arcs(start_arcs.data(), static_cast<uint32_t>(start_arcs.size())), kOk);
    } else {
      ASSERT_EQ(oid->set_text(model.c_str()), kOk);
    }
    SCOPED_TRACE(model);
    for (int step = 0; step < 12; ++step) {
      const std::string other_text = random_text(rng, 4, step % 2 == 0);
      OidPtr other(create_oid());
      ASSERT_EQ(other->set_text(other_text.c_str()), kOk);
      const auto arcs = split(model);
      const unsigned op = rng() % 8;
      SCOPED_TRACE("op " + std::to_string(op) + " other " + other_text + " before " + model);
      switch (op) {
        case 0:
          ASSERT_EQ(oid->append_text(other_text.c_str()), kOk);
          if (!other_text.empty()) model += (model.empty() ? "" : ".") + other_text;
          break;
        case 1:
          ASSERT_EQ(oid->append_oid(other.get()), kOk);
          if (!other_text.empty()) model += (model.empty() ? "" : ".") + other_text;
          break;
        case 2: {
          const auto arc = static_cast<uint32_t>(rng() % 1000);
          ASSERT_EQ(oid->append_arc(static_cast<int32_t>(arc)), kOk);
          model += (model.empty() ? "" : ".") + std::to_string(arc);
          break;
        }
        case 3: {
          const auto start = static_cast<uint32_t>(rng() % (arcs.size() + 1));
          const auto count = static_cast<uint32_t>(rng() % 3);
          if (start >= arcs.size()) {
            ASSERT_EQ(oid->erase_arcs(start, count), kErrInvalidArg);
          } else {
            ASSERT_EQ(oid->erase_arcs(start, count), kOk);
            auto kept = arcs;
            kept.erase(kept.begin() + start, kept.begin() + std::min<size_t>(kept.size(), start + count));
            model = join(kept);
          }
          break;
        }
        case 4: {
          // A prefix taken from the OID itself, or an unrelated text.
          const std::string prefix =
              rng() % 2 ? join(std::vector<std::string>(arcs.begin(), arcs.begin() + rng() % (arcs.size() + 1)))
                        : other_text;
          const int32_t order = model_compare(model, prefix);
          OidPtr prefix_oid(create_oid());
          ASSERT_EQ(prefix_oid->set_text(prefix.c_str()), kOk);
          const Result r = step % 2 ? oid->strip_prefix_text(prefix.c_str()) : oid->strip_prefix_oid(prefix_oid.get());
          if (prefix.empty()) {
            ASSERT_EQ(r, kOk);
          } else if (order == kOidEqual) {
            ASSERT_EQ(r, kOk);
            model.clear();
          } else if (order == kOidOtherIsPrefix) {
            ASSERT_EQ(r, kOk);
            model = model.substr(prefix.size() + 1);
          } else {
            ASSERT_EQ(r, kErrInvalidArg) << prefix;
          }
          break;
        }
        case 5: {
          const auto count = static_cast<uint32_t>(rng() % (arcs.size() + 2));
          OidPtr source(oid->clone_oid());
          ASSERT_TRUE(source);
          ASSERT_EQ(oid->from_oid(source.get(), true, count), kOk);
          model = join(std::vector<std::string>(arcs.begin(), arcs.begin() + std::min<size_t>(count, arcs.size())));
          break;
        }
        case 6: {
          OidPtr copy(create_oid());
          ASSERT_EQ(copy->assign(oid.get()), kOk);
          ASSERT_TRUE(copy->equals(oid.get()));
          ASSERT_TRUE(oid->equals(copy.get()));
          expect_matches(copy.get(), model);
          ASSERT_EQ(oid->equals(other.get()), model == other_text);
          break;
        }
        default:
          ASSERT_EQ(oid->set_text(other_text.c_str()), kOk);
          model = other_text;
          break;
      }
      expect_matches(oid.get(), model);
      ASSERT_EQ(oid->compare_oid(other.get(), nullptr), model_compare(model, other_text)) << other_text;
      ASSERT_EQ(other->compare_text(model.c_str(), nullptr), model_compare(other_text, model));
    }
  }
}

}  // namespace
}  // namespace orv::test
