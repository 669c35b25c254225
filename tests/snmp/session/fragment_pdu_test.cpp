// Sharing a request's bindings over pieces, without the network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session_fixtures.h"
#include "snmp/session/request_session.h"

namespace orv {
namespace {

using testing::make_get;
using testing::numbered_oids;

TEST(FragmentPdu, FirstPiecesTakeTheRemainderAndOrderIsKept) {
  std::vector<std::string> oids = numbered_oids(10);
  PduPtr pdu = make_get(oids, kPduGetNextRequest);
  pdu->set_request_id(77);
  IQesPduList* made = nullptr;
  ASSERT_EQ(RequestSession::fragment_pdu(pdu.get(), 3, &made), kOk);
  PduListPtr pieces(made);
  ASSERT_EQ(pieces->count(), 3u);
  const uint32_t sizes[] = {4, 3, 3};
  size_t next = 0;
  for (uint32_t i = 0; i < 3; ++i) {
    IQesPdu* piece = pieces->at(i);
    EXPECT_EQ(piece->type(), kPduGetNextRequest);
    ASSERT_EQ(testing::count_of(piece), sizes[i]) << i;
    for (uint32_t j = 0; j < sizes[i]; ++j) EXPECT_EQ(testing::oid_at(piece, j), oids[next++]);
  }
  // Every binding went to a piece.
  EXPECT_EQ(testing::count_of(pdu.get()), 0u);
}

TEST(FragmentPdu, MorePiecesThanBindingsCannotBeMade) {
  PduPtr pdu = make_get(numbered_oids(2));
  IQesPduList* made = reinterpret_cast<IQesPduList*>(0x1);
  EXPECT_EQ(RequestSession::fragment_pdu(pdu.get(), 3, &made), kErrCannotSplit);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(testing::count_of(pdu.get()), 2u);
  EXPECT_EQ(RequestSession::fragment_pdu(pdu.get(), 0, &made), kErrInvalidArg);
  EXPECT_EQ(RequestSession::fragment_pdu(nullptr, 2, &made), kErrInvalidArg);
}

}  // namespace
}  // namespace orv
