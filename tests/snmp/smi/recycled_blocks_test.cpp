// The per-thread block lists behind values and varbinds: a freed block
// serves the next object of its size class on the same thread only, and
// objects made on one thread and released on another keep their content.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "smi_test_support.h"
#include "snmp/smi/recycled_blocks.h"

namespace orv::test {
namespace {

TEST(RecycledBlocks, AFreedBlockServesItsOwnSizeClassOnItsOwnThread) {
  if (!smi::recycling_blocks()) GTEST_SKIP() << "blocks go straight back under the sanitizers";
  void* block = smi::recycled_allocate(40);
  ASSERT_NE(block, nullptr);
  smi::recycled_free(block, 40);
  void* larger = smi::recycled_allocate(80);  // another class: not the freed block
  EXPECT_NE(larger, block);
  void* other_thread = nullptr;
  std::thread([&] {
    other_thread = smi::recycled_allocate(40);
    smi::recycled_free(other_thread, 40);
  }).join();
  EXPECT_NE(other_thread, block);
  void* same_class = smi::recycled_allocate(33);  // 33 to 48 bytes share the class
  EXPECT_EQ(same_class, block);
  smi::recycled_free(same_class, 33);
  smi::recycled_free(larger, 80);
}

TEST(RecycledBlocks, ValuesCrossThreadsIntact) {
  constexpr int kValues = 2000;
  std::vector<IQelSmiValue*> made(kValues, nullptr);
  std::thread maker([&] {
    for (int i = 0; i < kValues; ++i) made[i] = create_smi_value_int32(kSmiInteger, i);
  });
  maker.join();
  // Released here, their blocks join this thread's lists and serve the
  // values remade here: no content may show through.
  for (IQelSmiValue* value : made) value->release();
  std::vector<SmiValuePtr> again;
  for (int i = 0; i < kValues; ++i) again.emplace_back(create_smi_value_int32(kSmiInteger, -i));
  for (int i = 0; i < kValues; ++i) EXPECT_EQ(again[i]->get_int32(nullptr), -i);
}

}  // namespace
}  // namespace orv::test
