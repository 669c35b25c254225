// The binary layouts of orv/orv.h, checked again from C++ at run time (the
// header checks them at compile time as well).
#include <gtest/gtest.h>

#include <cstddef>

#include "orv/orv.h"

TEST(HeaderLayout, RecordSizes) {
  EXPECT_EQ(sizeof(OrvUSMParameters), 716u);
  EXPECT_EQ(sizeof(OrvStorageInfo), 268u);
  EXPECT_EQ(sizeof(OrvDeviceInfo), 264u);
  EXPECT_EQ(sizeof(OrvPrinterInfo), 8u);
  EXPECT_EQ(sizeof(OrvInputTrayInfo), 552u);
  EXPECT_EQ(sizeof(OrvOutputTrayInfo), 328u);
  EXPECT_EQ(sizeof(OrvTonerInfo), 268u);
  EXPECT_EQ(sizeof(OrvAlertInfo), 276u);
  EXPECT_EQ(sizeof(OrvJobInfo), 1336u);
}

TEST(HeaderLayout, UsmParametersArePacked) {
  EXPECT_EQ(alignof(OrvUSMParameters), 1u);
  EXPECT_EQ(offsetof(OrvUSMParameters, user_name), 0u);
  EXPECT_EQ(offsetof(OrvUSMParameters, security_level), 64u);
  EXPECT_EQ(offsetof(OrvUSMParameters, context_name), 204u);
}

TEST(HeaderLayout, SelectedOffsets) {
  EXPECT_EQ(offsetof(OrvInputTrayInfo, media_color), 488u);
  EXPECT_EQ(offsetof(OrvAlertInfo, description), 20u);
  EXPECT_EQ(offsetof(OrvJobInfo, job_id), 788u);
  EXPECT_EQ(offsetof(OrvJobInfo, time_t16c7), 1324u);
  EXPECT_EQ(offsetof(OrvPrinterInfo, detected_error_state), 4u);
}
