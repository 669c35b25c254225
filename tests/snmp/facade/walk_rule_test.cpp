#include "snmp/facade/walk_rule.h"

#include <gtest/gtest.h>

namespace orv::facade {
namespace {

TEST(CompareOidArcs, OrdersByArcValueNotByCharacters) {
  EXPECT_LT(compare_oid_arcs("1.3.6.1.9", "1.3.6.1.10"), 0);
  EXPECT_GT(compare_oid_arcs("1.3.6.1.10", "1.3.6.1.9"), 0);
  EXPECT_LT(compare_oid_arcs("1.3.6.1.2.1.25.3.2.1.3.99", "1.3.6.1.2.1.25.3.2.1.4.1"), 0);
  EXPECT_EQ(compare_oid_arcs("1.3.6.1.2.1", "1.3.6.1.2.1"), 0);
  // A prefix sorts before its continuations, as GETNEXT order has it.
  EXPECT_LT(compare_oid_arcs("1.3.6.1", "1.3.6.1.0"), 0);
  EXPECT_GT(compare_oid_arcs("1.3.6.1.0", "1.3.6.1"), 0);
  EXPECT_EQ(compare_oid_arcs("1.3.06.1", "1.3.6.1"), 0);
  EXPECT_LT(compare_oid_arcs("1.3.4294967295", "1.3.4294967296"), 0);
}

constexpr const char* kRoot = "1.3.6.1.2.1.43.8.2.1.13";

TEST(WalkRowVerdict, TakesRowsBelowTheRootThatAdvance) {
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, "1.3.6.1.2.1.43.8.2.1.13.1.1", 0), kWalkRow);
  EXPECT_EQ(walk_row_verdict(kRoot, "1.3.6.1.2.1.43.8.2.1.13.1.9", "1.3.6.1.2.1.43.8.2.1.13.1.10", 0),
            kWalkRow);
  // The first exchange may carry no binding to compare with.
  EXPECT_EQ(walk_row_verdict(kRoot, nullptr, "1.3.6.1.2.1.43.8.2.1.13.1.1", 0), kWalkRow);
  // A proper prefix of the root still counts as the table's.
  EXPECT_EQ(walk_row_verdict(kRoot, nullptr, "1.3.6.1.2.1.43.8.2.1", 0), kWalkRow);
}

TEST(WalkRowVerdict, EndsWhenTheFirstColumnLeavesTheTable) {
  // Next column, next table, the root itself, a look-alike sibling.
  EXPECT_EQ(walk_row_verdict(kRoot, "1.3.6.1.2.1.43.8.2.1.13.1.3", "1.3.6.1.2.1.43.8.2.1.14.1.1", 0),
            kWalkEnd);
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, "1.3.6.1.2.1.43.9.2.1.1.1.1", 0), kWalkEnd);
  EXPECT_EQ(walk_row_verdict(kRoot, nullptr, kRoot, 0), kWalkEnd);
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, "1.3.6.1.2.1.43.8.2.1.130.1", 0), kWalkEnd);
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, "1.3.6.1.2.1.43.8.2.1.13.", 0), kWalkEnd);
}

TEST(WalkRowVerdict, EndsOnEveryAgentThatStopsAdvancing) {
  const char* last = "1.3.6.1.2.1.43.8.2.1.13.1.3";
  // An SNMPv1 agent past its last object answers noSuchName and echoes the
  // request: both the error-status and the echo end the walk.
  EXPECT_EQ(walk_row_verdict(kRoot, last, last, 2), kWalkEnd);
  EXPECT_EQ(walk_row_verdict(kRoot, last, last, 0), kWalkEnd);
  // Going backwards is no progress either.
  EXPECT_EQ(walk_row_verdict(kRoot, last, "1.3.6.1.2.1.43.8.2.1.13.1.2", 0), kWalkEnd);
  // Any other error-status refuses it, even with an OID inside the table.
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, "1.3.6.1.2.1.43.8.2.1.13.1.1", 5), kWalkRefused);
  EXPECT_EQ(walk_row_verdict(kRoot, kRoot, nullptr, 0), kWalkEnd);
}

}  // namespace
}  // namespace orv::facade
