// The pure decisions of the sessions: tries, size limits, split counts, tick
// arithmetic, broadcast senders, session selection and the request-id start.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "net/network_address.h"
#include "snmp/session/broadcast_sender_rule.h"
#include "snmp/session/request_id.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/session/session_ticks.h"
#include "snmp/session/split_rules.h"

namespace orv::session {
namespace {

TEST(TryCount, RetriesPlusOneBoundedAndNegativeMeansNoTry) {
  EXPECT_EQ(try_count(0), 1u);
  EXPECT_EQ(try_count(2), 3u);
  EXPECT_EQ(try_count(-1), 0u);
  EXPECT_EQ(try_count(INT_MIN), 0u);
  EXPECT_EQ(try_count(kMaxRetries), static_cast<uint32_t>(kMaxRetries) + 1);
  // What a host passes as an unsigned "all bits set" arrives as -1; the
  // largest positive count is bounded, never wrapped.
  EXPECT_EQ(try_count(INT_MAX), static_cast<uint32_t>(kMaxRetries) + 1);
}

TEST(MaxMessageSize, ZeroSelectsTheProtocolLimit) {
  EXPECT_EQ(effective_max_message_size(0, IQelNetworkAddress::kProtocolIpv4), 1400u);
  EXPECT_EQ(effective_max_message_size(0, IQelNetworkAddress::kProtocolIpv6), 1400u);
  EXPECT_EQ(effective_max_message_size(0, IQelNetworkAddress::kProtocolIpx), 546u);
  EXPECT_EQ(effective_max_message_size(484, IQelNetworkAddress::kProtocolIpv4), 484u);
}

TEST(SplitCount, UnfitRequestsSplitByWhatFit) {
  EXPECT_EQ(split_count_for_unfit(10, 10), 2u);  // every binding fit, the header did not
  EXPECT_EQ(split_count_for_unfit(10, 3), 4u);
  EXPECT_EQ(split_count_for_unfit(10, 5), 2u);
  EXPECT_EQ(split_count_for_unfit(10, 0), 0u);   // no piece could ever be sent
}

TEST(SplitCount, LongRequestsSplitByLength) {
  EXPECT_EQ(split_count_for_length(1500, 484), 4u);
  EXPECT_EQ(split_count_for_length(1401, 1400), 2u);
  EXPECT_EQ(split_count_for_length(968, 484), 2u);
  EXPECT_EQ(split_count_for_length(1500, 0), 0u);
}

TEST(Ticks, ElapsedTimeIsRightAcrossTheWrap) {
  EXPECT_EQ(remaining_after(1000, 100, 350), 750);
  EXPECT_EQ(remaining_after(1000, 0xFFFFFF00u, 0x10u), 1000 - 0x110);
  EXPECT_EQ(remaining_after(100, 0xFFFFFFFFu, 99u), 0);
  EXPECT_LT(remaining_after(100, 0xFFFFFFF0u, 0x100u), 0);
}

TEST(BroadcastSenders, IpxKeepsTheDestinationsNetworkOnly) {
  EXPECT_TRUE(ipx_sender_accepted("00000000:ffffffffffff", "0000beef:00c0ffee0102"));
  EXPECT_TRUE(ipx_sender_accepted("0000000A:ffffffffffff", "0000000a:00c0ffee0102"));
  EXPECT_FALSE(ipx_sender_accepted("0000000a:ffffffffffff", "0000000b:00c0ffee0102"));
  EXPECT_FALSE(ipx_sender_accepted("0000000a:ffffffffffff", "0000"));
  EXPECT_FALSE(ipx_sender_accepted(nullptr, "0000000a:00c0ffee0102"));
  EXPECT_TRUE(broadcast_sender_accepted(IQelNetworkAddress::kProtocolIpv4, "255.255.255.255",
                                        "198.18.0.11"));
  EXPECT_TRUE(broadcast_sender_accepted(IQelNetworkAddress::kProtocolIpv6, "ff02::1", "fe80::1"));
  EXPECT_FALSE(broadcast_sender_accepted(IQelNetworkAddress::kProtocolIpx,
                                         "0000000a:ffffffffffff", "0000000b:00c0ffee0102"));
}

TEST(SessionSelection, ByMessageModelAndVersion) {
  EXPECT_EQ(session_kind_for(kTargetCommunity, kSnmpV1), SessionKind::kCommunity);
  EXPECT_EQ(session_kind_for(kTargetCommunity, kSnmpV2c), SessionKind::kCommunity);
  EXPECT_EQ(session_kind_for(kTargetCommunity, kSnmpVersion3), SessionKind::kNone);
  EXPECT_EQ(session_kind_for(kTargetSnmpV3, kSnmpVersion3), SessionKind::kUserBased);
  EXPECT_EQ(session_kind_for(kTargetSnmpV3, kSnmpV1), SessionKind::kNone);
  EXPECT_EQ(session_kind_for(7, kSnmpV1), SessionKind::kNone);
  EXPECT_EQ(session_kind_for(kTargetCommunity, -1), SessionKind::kNone);
}

// A fresh process (the death-test child is started anew) hands out 0, then 1.
TEST(RequestIdDeathTest, FirstIdsOfAProcessAreZeroThenOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        uint32_t first = next_request_id();
        uint32_t second = next_request_id();
        std::exit(first == 0 && second == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orv::session
