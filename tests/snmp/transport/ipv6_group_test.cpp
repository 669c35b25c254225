// The "::" expansion and reading of IPv6 multicast group texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "snmp/transport/ipv6_group.h"

namespace orv::session {
namespace {

std::string expanded(const char* text) {
  std::string out;
  return expand_ipv6_group_text(text, &out) ? out : "<refused>";
}

TEST(Ipv6GroupText, DoubleColonBecomesTheMissingZeroGroups) {
  EXPECT_EQ(expanded("ff02::1"), "ff02:0:0:0:0:0:0:1");
  EXPECT_EQ(expanded("::1"), "0:0:0:0:0:0:0:1");
  EXPECT_EQ(expanded("ff02::"), "ff02:0:0:0:0:0:0:0");
  EXPECT_EQ(expanded("::"), "0:0:0:0:0:0:0:0");
  EXPECT_EQ(expanded("ff05:1::1:3"), "ff05:1:0:0:0:0:1:3");
  EXPECT_EQ(expanded("1:2:3:4:5:6::8"), "1:2:3:4:5:6:0:8");
}

TEST(Ipv6GroupText, TextsThatCannotMakeEightGroupsAreRefused) {
  EXPECT_EQ(expanded("1::2::3"), "<refused>");
  EXPECT_EQ(expanded("1:2:3:4::5:6:7:8"), "<refused>");
  EXPECT_EQ(expanded(nullptr), "<refused>");
}

TEST(Ipv6GroupText, TextWithoutDoubleColonIsCutTo43Characters) {
  std::string longer(60, 'a');
  EXPECT_EQ(expanded(longer.c_str()), std::string(43, 'a'));
  EXPECT_EQ(expanded("ff02:0:0:0:0:0:0:1"), "ff02:0:0:0:0:0:0:1");
}

TEST(Ipv6Group, GroupsAreStoredHighByteFirst) {
  uint8_t bytes[16];
  ASSERT_EQ(parse_ipv6_group("ff02::1", bytes), kOk);
  const uint8_t all_nodes[16] = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
  EXPECT_EQ(std::memcmp(bytes, all_nodes, 16), 0);
  ASSERT_EQ(parse_ipv6_group("FF05:ABCD::1:0203%e0", bytes), kOk);
  const uint8_t scoped[16] = {0xff, 0x05, 0xab, 0xcd, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x02, 0x03};
  EXPECT_EQ(std::memcmp(bytes, scoped, 16), 0);
}

TEST(Ipv6Group, UnreadableGroupsGiveInvalidArgumentAndLeaveTheOutputAlone) {
  uint8_t bytes[16];
  std::memset(bytes, 0x5a, sizeof bytes);
  for (const char* bad : {"ff02:1", "ff02::1::2", "ff02::1x", "ff02::10000", "g::1", "", ":::",
                          "1:2:3:4:5:6:7:8:9"}) {
    EXPECT_EQ(parse_ipv6_group(bad, bytes), kErrInvalidArg) << bad;
  }
  EXPECT_EQ(parse_ipv6_group(nullptr, bytes), kErrInvalidArg);
  for (uint8_t b : bytes) EXPECT_EQ(b, 0x5a);
}

}  // namespace
}  // namespace orv::session
