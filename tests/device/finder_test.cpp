// The discovery client without the network: filters, the model match, the
// result list and its iteration.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/device_finder.h"
#include "device/model_table.h"
#include "fake_usm.h"

using orv::device::COrvDeviceFinder;
using orv::device::kFamilyPrefix;
using orv::device::kModelTable;

namespace {

const std::string kFamily = kFamilyPrefix;

struct Next {
  bool ok;
  std::string address, model, reserved, sys_object_id;
};

Next next(COrvDeviceFinder& f) {
  char a[64] = "a", m[64] = "m", r[64] = "r", s[64] = "s";
  Next n;
  n.ok = f.next_device(a, m, r, s);
  n.address = a;
  n.model = m;
  n.reserved = r;
  n.sys_object_id = s;
  return n;
}

TEST(ModelTable, FamilyPrefixAndOneRow) {
  EXPECT_EQ(std::strlen(kFamilyPrefix), 36u);
  ASSERT_NE(kModelTable[0].prefix, nullptr);
  EXPECT_STREQ(kModelTable[0].prefix, kFamilyPrefix);
  EXPECT_STREQ(kModelTable[0].model, "Verdane 8300");
  EXPECT_EQ(kModelTable[1].prefix, nullptr);
  EXPECT_EQ(kModelTable[1].model, nullptr);
}

TEST(ModelTable, ArcRule) {
  using orv::device::oid_under_prefix;
  EXPECT_TRUE(oid_under_prefix(kFamily.c_str(), kFamilyPrefix));
  EXPECT_TRUE(oid_under_prefix((kFamily + ".1.2").c_str(), kFamilyPrefix));
  EXPECT_FALSE(oid_under_prefix((kFamily + "1").c_str(), kFamilyPrefix));  // last arc 61
  EXPECT_FALSE(oid_under_prefix("1.3.6.1.4.1.119.1.40.297.93.1.38.8", kFamilyPrefix));
  EXPECT_FALSE(oid_under_prefix("1.3.6.1.4.1.253.8.62.1", kFamilyPrefix));
  EXPECT_FALSE(oid_under_prefix(nullptr, kFamilyPrefix));
  EXPECT_EQ(orv::device::match_model(kModelTable, (kFamily + ".3").c_str()), &kModelTable[0]);
  EXPECT_EQ(orv::device::match_model(kModelTable, "1.3.6.1.4.1.11.2.3.9.1"), nullptr);
}

TEST(DeviceFinder, NothingBeforeAnyFind) {
  COrvDeviceFinder f;
  f.reset_position();
  EXPECT_FALSE(f.has_results());
  EXPECT_FALSE(next(f).ok);
  EXPECT_STREQ(f.find_community(), "");
  for (int i = 0; i < COrvDeviceFinder::kFilterSlots; ++i) EXPECT_STREQ(f.filter(i), "");
}

TEST(DeviceFinder, EmptyResultsAnswerFalse) {
  COrvDeviceFinder f;
  f.begin_results(kModelTable);
  EXPECT_EQ(f.result_count(), 0);
  EXPECT_FALSE(next(f).ok);
}

TEST(DeviceFinder, NewestAnswerComesFirstAndResetStartsAgain) {
  COrvDeviceFinder f;
  f.begin_results(kModelTable);
  EXPECT_TRUE(f.accept_answer("198.18.0.11", (kFamily + ".1").c_str()));  // A
  EXPECT_TRUE(f.accept_answer("198.18.0.12", (kFamily + ".2").c_str()));  // B
  EXPECT_EQ(f.result_count(), 2);
  for (int round = 0; round < 2; ++round) {
    Next b = next(f);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.address, "198.18.0.12");
    EXPECT_EQ(b.model, "Verdane 8300");
    EXPECT_EQ(b.reserved, "");
    EXPECT_EQ(b.sys_object_id, kFamily + ".2");
    Next a = next(f);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.address, "198.18.0.11");
    EXPECT_FALSE(next(f).ok);
    EXPECT_FALSE(next(f).ok);
    f.reset_position();
  }
}

TEST(DeviceFinder, OtherVendorsAreNeverListed) {
  COrvDeviceFinder f;
  f.begin_results(kModelTable);
  EXPECT_FALSE(f.accept_answer("198.18.0.13", "1.3.6.1.4.1.11.2.3.9.1"));
  EXPECT_FALSE(f.accept_answer("198.18.0.14", (kFamily + "1").c_str()));
  EXPECT_FALSE(f.accept_answer("198.18.0.15", "1.3.6.1.4.1.119.1.40.297.93.1.38.8"));
  f.add_filter("1.3.6.1.4.1.11");
  EXPECT_FALSE(f.accept_answer("198.18.0.13", "1.3.6.1.4.1.11.2.3.9.1"));
  EXPECT_EQ(f.result_count(), 0);
}

TEST(DeviceFinder, FiltersKeepMatchingPrefixesUntilCleared) {
  COrvDeviceFinder f;
  f.add_filter((kFamily + ".1").c_str());
  f.begin_results(kModelTable);
  EXPECT_TRUE(f.accept_answer("198.18.0.11", (kFamily + ".1").c_str()));
  EXPECT_TRUE(f.accept_answer("198.18.0.16", (kFamily + ".17").c_str()));  // no "." rule
  EXPECT_FALSE(f.accept_answer("198.18.0.12", (kFamily + ".2").c_str()));
  EXPECT_FALSE(f.accept_answer("198.18.0.13", kFamily.c_str()));
  EXPECT_EQ(f.result_count(), 2);
  f.clear_filters();
  f.begin_results(kModelTable);
  EXPECT_TRUE(f.accept_answer("198.18.0.12", (kFamily + ".2").c_str()));
  EXPECT_TRUE(f.accept_answer("198.18.0.13", kFamily.c_str()));
}

TEST(DeviceFinder, AnyOfSeveralFiltersLetsAnAnswerPass) {
  COrvDeviceFinder f;
  f.add_filter((kFamily + ".1").c_str());
  f.add_filter((kFamily + ".2").c_str());
  f.begin_results(kModelTable);
  EXPECT_TRUE(f.accept_answer("198.18.0.11", (kFamily + ".1").c_str()));
  EXPECT_TRUE(f.accept_answer("198.18.0.12", (kFamily + ".2").c_str()));
  EXPECT_FALSE(f.accept_answer("198.18.0.13", (kFamily + ".3").c_str()));
}

TEST(DeviceFinder, FiftyFilterSlotsAndTheFiftyFirstHasNoEffect) {
  COrvDeviceFinder f;
  for (int i = 0; i < 50; ++i) f.add_filter((kFamily + "." + std::to_string(i + 100)).c_str());
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(std::string(f.filter(i)), kFamily + "." + std::to_string(i + 100));
  }
  f.add_filter((kFamily + ".1").c_str());  // 51st
  f.begin_results(kModelTable);
  EXPECT_FALSE(f.accept_answer("198.18.0.11", (kFamily + ".1").c_str()));
  EXPECT_TRUE(f.accept_answer("198.18.0.12", (kFamily + ".149").c_str()));
}

TEST(DeviceFinder, LongTextsAreCutTo63) {
  COrvDeviceFinder f;
  const std::string long_filter = kFamily + "." + std::string(60, '1');
  f.add_filter(long_filter.c_str());
  EXPECT_EQ(std::string(f.filter(0)), long_filter.substr(0, 63));
  f.clear_filters();
  f.begin_results(kModelTable);
  const std::string long_oid = kFamily + "." + std::string(40, '2');
  const std::string long_address(80, 'h');
  ASSERT_TRUE(f.accept_answer(long_address.c_str(), long_oid.c_str()));
  Next n = next(f);
  ASSERT_TRUE(n.ok);
  EXPECT_EQ(n.address, long_address.substr(0, 63));
  EXPECT_EQ(n.sys_object_id, long_oid.substr(0, 63));
}

TEST(DeviceFinder, FindCommunityTakesOnlyNonEmptyTexts) {
  COrvDeviceFinder f;
  f.set_find_community("finder");
  EXPECT_STREQ(f.find_community(), "finder");
  f.set_find_community("");
  EXPECT_STREQ(f.find_community(), "finder");
  f.set_find_community(nullptr);
  EXPECT_STREQ(f.find_community(), "finder");
}

TEST(DeviceFinder, PrepareDiscardsThePreviousResults) {
  COrvDeviceFinder f;
  FakeUSM usm;
  f.begin_results(kModelTable);
  ASSERT_TRUE(f.accept_answer("198.18.0.11", kFamily.c_str()));
  // An IPv6 destination asked for over IPv4 fails before anything is sent,
  // after the previous results are gone.
  EXPECT_EQ(f.prepare(1, "::1", &usm, 100, 0, 0), -2);
  EXPECT_FALSE(f.has_results());
  EXPECT_FALSE(next(f).ok);
  f.reset_position();
  int32_t count = 5;
  EXPECT_EQ(f.broadcast(kModelTable, &count), -2);
  EXPECT_EQ(count, 0);
}

TEST(DeviceFinder, ManyEntriesAreFreedWithTheFinder) {
  auto* f = new COrvDeviceFinder();
  f->begin_results(kModelTable);
  for (int i = 0; i < 200; ++i) {
    f->accept_answer(("198.18.1." + std::to_string(i)).c_str(), kFamily.c_str());
  }
  EXPECT_EQ(f->result_count(), 200);
  // Newest first, each once, and again from the start after a reset.
  for (int round = 0; round < 2; ++round) {
    for (int i = 199; i >= 0; --i) {
      Next device = next(*f);
      ASSERT_TRUE(device.ok) << i;
      ASSERT_EQ(device.address, "198.18.1." + std::to_string(i));
    }
    EXPECT_FALSE(next(*f).ok);
    f->reset_position();
  }
  delete f;  // the sanitizer run's leak check covers the entries
}

}  // namespace
