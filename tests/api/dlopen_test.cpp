// A host that loads liborv.so at run time and looks up all 36 exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "orv/orv.h"

namespace {

const char* const kExports[] = {
    "OrvInit",
    "OrvUnInit",
    "OrvCommandString",
    "OrvCommandInteger",
    "OrvInitDevice",
    "OrvInitDeviceEx",
    "OrvIsSupportedOID",
    "OrvRefreshOptions",
    "OrvGetOptionValueBoolean",
    "OrvGetOptionValueInteger",
    "OrvGetOptionValueUInteger",
    "OrvGetOptionValueString",
    "OrvFindDeviceSNMP",
    "OrvFindDeviceSNMPEx",
    "OrvFindAddFilter",
    "OrvFindClearFilter",
    "OrvFindResetPosition",
    "OrvGetDeviceNext",
    "OrvGetNumberOfStorageInfo",
    "OrvGetNumberOfDeviceInfo",
    "OrvGetNumberOfInputTrayInfo",
    "OrvGetNumberOfOutputTrayInfo",
    "OrvGetNumberOfTonerInfo",
    "OrvGetNumberOfAlertInfo",
    "OrvGetNumberOfJobInfo",
    "OrvGetStorageInfo",
    "OrvGetDeviceInfo",
    "OrvGetInputTrayInfo",
    "OrvGetOutputTrayInfo",
    "OrvGetTonerInfo",
    "OrvGetAlertInfo",
    "OrvGetJobInfo",
    "OrvGetPrinterInfo",
    "OrvCancelJob",
    "OrvGetCharSet",
    "OrvTransportAvailable",
};
static_assert(sizeof(kExports) / sizeof(kExports[0]) == 36);

class DlopenHost : public ::testing::Test {
 protected:
  void SetUp() override {
    lib_ = dlopen(ORV_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (lib_ != nullptr) dlclose(lib_);
  }
  void* lib_ = nullptr;
};

TEST_F(DlopenHost, FindsAll36Exports) {
  for (const char* name : kExports) {
    EXPECT_NE(dlsym(lib_, name), nullptr) << name;
  }
}

TEST_F(DlopenHost, HidesInternalNames) {
  // Internal C++ classes and helpers are not reachable by name.
  EXPECT_EQ(dlsym(lib_, "map_protocol"), nullptr);
  EXPECT_EQ(dlsym(lib_, "transport_usable"), nullptr);
}

TEST_F(DlopenHost, DrivesAHandleThroughLookedUpFunctions) {
  using InitFn = int32_t (*)(OrvHandle*);
  using UnInitFn = void (*)(OrvHandle);
  using InitDeviceFn = int32_t (*)(OrvHandle, const char*, int32_t, uint32_t, uint32_t);
  using GetIntFn = int32_t (*)(OrvHandle, const char*, uint16_t, int32_t*);
  auto init = reinterpret_cast<InitFn>(dlsym(lib_, "OrvInit"));
  auto uninit = reinterpret_cast<UnInitFn>(dlsym(lib_, "OrvUnInit"));
  auto init_device = reinterpret_cast<InitDeviceFn>(dlsym(lib_, "OrvInitDevice"));
  auto get_int = reinterpret_cast<GetIntFn>(dlsym(lib_, "OrvGetOptionValueInteger"));
  ASSERT_TRUE(init && uninit && init_device && get_int);

  OrvHandle h = nullptr;
  ASSERT_EQ(init(&h), 0);
  int32_t value = 5;
  EXPECT_EQ(get_int(h, "NumberOfInputTray", 0, &value), -8);
  // Refused before any traffic (IPv6 text over IPv4); the option object stays.
  EXPECT_EQ(init_device(h, "::1", 1, 1000, 2), -2);
  EXPECT_EQ(get_int(h, "NumberOfInputTray", 0, &value), 0);
  EXPECT_EQ(value, 0);
  uninit(h);
}

}  // namespace
