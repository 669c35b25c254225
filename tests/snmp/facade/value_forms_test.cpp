#include "snmp/facade/value_forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "snmp/facade/get_data.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

// A 256-byte caller buffer inside guard bytes that must stay untouched.
struct GuardedBuffer {
  char bytes[kGetDataTextSize + 8];
  GuardedBuffer() { std::memset(bytes, 'G', sizeof bytes); }
  char* text() { return bytes; }
  bool guard_intact() const {
    for (size_t i = kGetDataTextSize; i < sizeof bytes; ++i) {
      if (bytes[i] != 'G') return false;
    }
    return true;
  }
};

TEST(CopyValueText, KeepsEveryValueOfUpTo255CharactersWhole) {
  const std::string value(255, 'x');
  GuardedBuffer buffer;
  copy_value_text(buffer.text(), kGetDataTextSize, value.data(), 255);
  EXPECT_EQ(std::string(buffer.text()), value);
  EXPECT_TRUE(buffer.guard_intact());
}

TEST(CopyValueText, CutsLongerValuesAtTheBufferAndTerminates) {
  const std::string value(1000, 'y');
  GuardedBuffer buffer;
  copy_value_text(buffer.text(), kGetDataTextSize, value.data(), 1000);
  EXPECT_EQ(std::strlen(buffer.text()), kGetDataTextSize - 1);
  EXPECT_TRUE(buffer.guard_intact());
}

TEST(CopyValueText, EmptyValueLeavesTheEmptyTextNotOldContent) {
  GuardedBuffer buffer;
  std::strcpy(buffer.text(), "old value");
  copy_value_text(buffer.text(), kGetDataTextSize, "", 0);
  EXPECT_STREQ(buffer.text(), "");
  char none[1] = {'Z'};
  copy_value_text(none, 0, "abc", 3);
  EXPECT_EQ(none[0], 'Z');
}

TEST(CopyValueText, StopsAtTheGivenLengthForUnterminatedBytes) {
  const char bytes[] = {'a', 'b', 'c', 'd'};
  GuardedBuffer buffer;
  copy_value_text(buffer.text(), kGetDataTextSize, bytes, 2);
  EXPECT_STREQ(buffer.text(), "ab");
}

TEST(WriteValueText, WritesTheValuesTextForm) {
  SmiValuePtr oid(create_smi_value_text(kSmiOid, "1.3.6.1.4.1.253.8.62.1", nullptr));
  ASSERT_TRUE(oid);
  GuardedBuffer buffer;
  ASSERT_EQ(write_value_text(oid.get(), buffer.text(), kGetDataTextSize), kOk);
  EXPECT_STREQ(buffer.text(), "1.3.6.1.4.1.253.8.62.1");
  EXPECT_EQ(write_value_text(nullptr, buffer.text(), kGetDataTextSize), kErrInvalidArg);
}

TEST(ValueAsInt32, NumbersOfEveryIntegerKindAndMinusOneForTheRest) {
  SmiValuePtr integer(create_smi_value_int32(kSmiInteger, -42, nullptr));
  SmiValuePtr gauge(create_smi_value_uint32(kSmiGauge32, 524288, nullptr));
  SmiValuePtr counter(create_smi_value_uint32(kSmiCounter32, 7, nullptr));
  SmiValuePtr ticks(create_smi_value_uint32(kSmiTimeTicks, 8640000, nullptr));
  SmiValuePtr null_value(create_smi_value(kSmiNull, nullptr));
  SmiValuePtr text(create_smi_value_text(kSmiOctetString, "12", nullptr));
  EXPECT_EQ(value_as_int32(integer.get()), -42);
  EXPECT_EQ(value_as_int32(gauge.get()), 524288);
  EXPECT_EQ(value_as_int32(counter.get()), 7);
  EXPECT_EQ(value_as_int32(ticks.get()), 8640000);
  EXPECT_EQ(value_as_int32(null_value.get()), -1);
  EXPECT_EQ(value_as_int32(text.get()), -1);
  EXPECT_EQ(value_as_int32(nullptr), -1);
}

}  // namespace
}  // namespace orv::facade
