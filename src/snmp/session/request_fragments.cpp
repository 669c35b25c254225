// Splitting a request whose encoding or answer is too big into pieces, and
// merging the pieces' answers back into the caller's PDU.
#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/session/pdu_bindings.h"
#include "snmp/session/request_session.h"

namespace orv {
using session::binding_count;

Result RequestSession::fragment_pdu(IQesPdu* pdu, uint32_t pieces, IQesPduList** out) {
  if (!pdu || !out || pieces == 0) return kErrInvalidArg;
  *out = nullptr;
  VarBindListPtr bindings(pdu->detach_var_bind_list());
  const uint32_t total = bindings ? bindings->count() : 0;
  const uint32_t per = total / pieces;
  const uint32_t extra = total % pieces;
  if (per == 0) {
    snmp_log().log(log::kError, "[RequestSession::fragment_pdu] can't fragment the packet[%d] any more.",
                   pdu->request_id());
    pdu->set_var_bind_list(bindings.release());
    return kErrCannotSplit;
  }
  Result rc = kOk;
  PduListPtr list(qes_create_pdu_list(&rc));
  if (!list) {
    pdu->set_var_bind_list(bindings.release());
    return rc != kOk ? rc : kErrNoMemory;
  }
  for (uint32_t i = 0; i < pieces && rc == kOk; ++i) {
    PduPtr piece(pdu->clone(&rc));
    if (!piece) break;
    VarBindListPtr share(bindings->split_front(per + (i < extra ? 1 : 0), &rc));
    if (!share) break;
    piece->set_var_bind_list(share.release());
    rc = list->add_back(piece.get());
    if (rc == kOk) {
      piece.release();
    } else {
      VarBindListPtr back(piece->detach_var_bind_list());
      session::prepend_bindings(back.get(), bindings.get());
    }
  }
  if (rc != kOk) {
    // Nothing was sent: the pieces' bindings go back in order.
    for (uint32_t i = list->count(); i-- > 0;) {
      session::prepend_bindings(list->at(i)->var_bind_list(), bindings.get());
    }
    pdu->set_var_bind_list(bindings.release());
    return rc;
  }
  const bool left_over = bindings->count() != 0;
  pdu->set_var_bind_list(bindings.release());
  if (left_over) {
    snmp_log().log(log::kError, "[RequestSession::fragment_pdu] vb size of a fragmented packet is zero.");
    return kErrPlatform;
  }
  *out = list.release();
  return kOk;
}

Result RequestSession::fragment_process(IQesPdu* pdu, IQesSnmpTarget* target, uint32_t pieces) {
  if (!pdu || !target) return kErrInvalidArg;
  IQesPduList* made = nullptr;
  Result rc = fragment_pdu(pdu, pieces, &made);
  if (rc != kOk) return rc;
  PduListPtr list(made);
  snmp_log().log(log::kInfo, "[RequestSession::fragment_process] packet[%d] is fragmented to %d.",
                 pdu->request_id(), static_cast<int>(list->count()));
  for (uint32_t i = 0; i < list->count(); ++i) {
    IQesPdu* piece = list->at(i);
    uint32_t split_count = 0;
    rc = _send_and_receive(piece, target, &split_count);
    if (split_count != 0) rc = fragment_process(piece, target, split_count);
    if (rc != kOk) return rc;
  }

  pdu->set_type(list->at(0)->type());
  pdu->set_error_status(0);
  pdu->set_error_index(0);
  uint32_t offset = 0;
  for (uint32_t i = 0; i < list->count(); ++i) {
    IQesPdu* piece = list->at(i);
    if (pdu->error_status() == 0 && piece->error_status() != 0) {
      pdu->set_error_status(piece->error_status());
      pdu->set_error_index(static_cast<int32_t>(offset) + piece->error_index());
    }
    uint32_t moved = binding_count(piece);
    rc = session::append_bindings(piece, pdu);
    if (rc != kOk) return rc;
    offset += moved;
  }
  // The bindings' statuses follow the merged error, as after one answer.
  if (IQesVarBindList* merged = pdu->var_bind_list(); merged && pdu->error_status() != 0) {
    merged->record_error(pdu->error_status(), pdu->error_index());
  }
  return kOk;
}

}  // namespace orv
