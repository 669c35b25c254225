#include "snmp/facade/exchange.h"

namespace orv::facade {
namespace {

// A request's error fields go out as 0, whatever an earlier answer left in
// the reused PDU.
void prepare(IQesPdu* pdu, int32_t pdu_type) {
  pdu->set_type(pdu_type);
  pdu->set_error_status(0);
  pdu->set_error_index(0);
}

}  // namespace

Result CQelExchange::open() {
  Result rc = kOk;
  dispatcher_.reset(qes_create_session_dispatcher(&rc));
  if (!dispatcher_) return rc != kOk ? rc : kErrNoMemory;
  return kOk;
}

Result CQelExchange::send(IQesPdu* pdu, IQesSnmpTarget* target, int32_t pdu_type) {
  if (!dispatcher_ || pdu == nullptr || target == nullptr) return kErrInvalidArg;
  prepare(pdu, pdu_type);
  return dispatcher_->send_sync(pdu, target);
}

Result CQelExchange::send_bulk(IQesPdu* pdu, IQesSnmpTarget* target, int32_t max_repetitions) {
  if (!dispatcher_ || pdu == nullptr || target == nullptr || max_repetitions < 1) {
    return kErrInvalidArg;
  }
  // A GetBulkRequest carries non-repeaters and max-repetitions where the
  // other requests carry the error fields.
  prepare(pdu, kPduGetBulkRequest);
  pdu->set_error_index(max_repetitions);
  return dispatcher_->send_sync(pdu, target);
}

Result CQelExchange::broadcast(IQesPdu* pdu, IQesSnmpTarget* target,
                               IQesSnmpPacketList** answers) {
  if (!dispatcher_ || pdu == nullptr || target == nullptr || answers == nullptr) {
    return kErrInvalidArg;
  }
  prepare(pdu, kPduGetRequest);
  IQesSnmpPacketList* found = nullptr;
  const Result rc = dispatcher_->send_broad_cast_sync(pdu, target, &found);
  if (rc != kOk) return rc;
  *answers = found;
  return kOk;
}

}  // namespace orv::facade
