// Allocation failures forced through the C interface: this executable
// replaces operator new, which liborv.so then uses as well, and makes every
// allocation fail from the Nth on. No exception may reach the host.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "orv/orv.h"
#include "support/lab.h"

namespace {

// Allocations still granted; -1 grants all.
std::atomic<long> g_granted{-1};

void* allocate(std::size_t size) {
  long left = g_granted.load();
  while (left > 0 && !g_granted.compare_exchange_weak(left, left - 1)) {
  }
  if (left == 0) throw std::bad_alloc();
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* allocate_nothrow(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate_nothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate_nothrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Runs `call` with `granted` allocations left, then grants all again.
template <typename Call>
int32_t with_allocations(long granted, Call call) {
  g_granted = granted;
  const int32_t rc = call();
  g_granted = -1;
  return rc;
}

TEST(OutOfMemory, AJobCountAnswersTheOutOfMemoryCodeWhereverMemoryRunsOut) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});
  const std::string address = orv::test::free_loopback_address();
  orv::test::SnmpsimAgent printer(
      orv::test::SnmpsimOptions{.endpoints = {address + ":161"}, .serve = {"printer-a:public"}});
  OrvHandle h = nullptr;
  ASSERT_EQ(OrvInit(&h), 0);
  ASSERT_EQ(OrvInitDevice(h, address.c_str(), 1, 1000, 1), 0);
  int32_t count = 0;
  auto job_count = [&] { return OrvGetNumberOfJobInfo(h, ORV_JOBS_ALL, &count); };
  // The first count also reads the character set; the later ones do not.
  ASSERT_EQ(job_count(), 0);
  // How many allocations one whole count makes.
  const long plenty = 1L << 40;
  g_granted = plenty;
  ASSERT_EQ(job_count(), 0);
  const long needed = plenty - g_granted.exchange(-1);
  ASSERT_EQ(count, 5);
  // The library's own allocations come here: a count makes hundreds.
  ASSERT_GT(needed, 100) << "operator new is not replaced in liborv.so";
  // Every allocation of the first hundred, then a spread over the rest.
  const long step = needed / 200 + 1;
  for (long granted = 0; granted < needed; granted += granted < 100 ? 1 : step) {
    count = 77;
    EXPECT_EQ(with_allocations(granted, job_count), -3) << "after " << granted << " of " << needed;
    EXPECT_EQ(count, 77);
  }
  EXPECT_EQ(with_allocations(needed, job_count), 0);
  EXPECT_EQ(count, 5);
  OrvUnInit(h);
}

}  // namespace
