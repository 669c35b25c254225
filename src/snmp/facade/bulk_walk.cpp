#include "snmp/facade/bulk_walk.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "snmp/facade/walk_columns.h"
#include "snmp/facade/walk_rule.h"
#include "snmp/message/codec_log.h"
#include "snmp/message/snmp_tags.h"
#include "snmp/message/var_bind.h"
#include "snmp/message/var_bind_list.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

constexpr int32_t kErrorStatusTooBig = 1;

// One row of a bulk answer: the bindings of repetition `repetition` of the
// columns that are still live, as a PDU the GETNEXT walk's rules take.
Result slice_row(const IQesPdu* answer, const std::vector<uint32_t>& asked,
                 const std::vector<uint32_t>& live, uint32_t repetition, PduPtr* out) {
  Result rc = kOk;
  PduPtr row(answer->clone(&rc));
  if (!row) return rc != kOk ? rc : kErrNoMemory;
  VarBindListPtr cells(qes_create_var_bind_list(&rc));
  if (!cells) return rc != kOk ? rc : kErrNoMemory;
  const IQesVarBindList* bindings = answer->var_bind_list();
  const uint32_t width = static_cast<uint32_t>(asked.size());
  for (uint32_t k = 0; k < width; ++k) {
    if (std::find(live.begin(), live.end(), asked[k]) == live.end()) continue;
    VarBindPtr kept(bindings->at(repetition * width + k)->clone(&rc));
    if (!kept) return rc != kOk ? rc : kErrNoMemory;
    if ((rc = cells->append(kept.get())) != kOk) return rc;
    kept.release();
  }
  row->set_var_bind_list(cells.release());
  *out = std::move(row);
  return kOk;
}

bool ends_view(const IQesVarBind* binding) {
  return binding->value() != nullptr && binding->value()->kind() == kSmiEndOfMibView;
}

class BulkWalk {
 public:
  BulkWalk(IQesPdu* pdu, const char* root, uint32_t max_repetitions)
      : pdu_(pdu), root_(root), repetitions_(max_repetitions) {
    columns_.start(pdu);
  }

  Result run(CQelExchange& exchange, IQesSnmpTarget* target, IQesPduList* collector) {
    for (;;) {
      const std::vector<uint32_t> asked = columns_.live();
      const uint32_t width = static_cast<uint32_t>(asked.size());
      Result rc = clear_binding_values(pdu_);
      if (rc != kOk) return rc;
      PduPtr request(pdu_->clone(&rc));  // what to ask again after tooBig
      if (!request) return rc != kOk ? rc : kErrNoMemory;
      const uint32_t asked_rows = bulk_repetitions(repetitions_, width);
      rc = exchange.send_bulk(pdu_, target, static_cast<int32_t>(asked_rows));
      if ((rc == kErrTooBig || pdu_->error_status() == kErrorStatusTooBig) && asked_rows > 1) {
        repetitions_ = asked_rows / 2;
        pdu_->copy_from(request.get());
        continue;
      }
      if (rc != kOk) return rc;
      const IQesVarBindList* answer = pdu_->var_bind_list();
      const uint32_t rows = answer != nullptr && width != 0 ? answer->count() / width : 0;
      if (rows == 0) {
        // Only an error answer may hold less than a row: the walk rules judge it.
        if (pdu_->error_status() == 0) return kErrNoValue;
        return verdict_of_error();
      }
      if (pdu_->error_status() != 0) return verdict_of_error();
      PduPtr last;
      for (uint32_t r = 0; r < rows; ++r) {
        PduPtr row;
        if ((rc = slice_row(pdu_, asked, columns_.live(), r, &row)) != kOk) return rc;
        const IQesVarBind* first = row->var_bind_list()->at(0);
        if (first == nullptr || first->oid() == nullptr) return kErrNoValue;
        const WalkStep step = ends_view(first) ? kWalkEnd
                                               : walk_row_verdict(root_, asked_.c_str(),
                                                                  first->oid()->text(), 0);
        if (step == kWalkEnd) return kOk;
        if (rows_++ == kWalkRowLimit) {
          snmp_log().log(log::kError, "walk of %s stopped after %u rows.", root_,
                         static_cast<unsigned>(kWalkRowLimit));
          return kErrNoValue;
        }
        asked_.assign(first->oid()->text());
        if ((rc = columns_.keep_row(row.get(), collector)) != kOk) return rc;
        last = std::move(row);
      }
      // The next request goes on from the last row's live columns.
      pdu_->set_var_bind_list(last->var_bind_list()->clone(&rc));
      if (rc != kOk) return rc;
    }
  }

  void set_asked(const char* oid) { asked_.assign(oid); }

 private:
  Result verdict_of_error() const {
    const IQesVarBind* first =
        pdu_->var_bind_list() != nullptr ? pdu_->var_bind_list()->at(0) : nullptr;
    const char* answered =
        first != nullptr && first->oid() != nullptr ? first->oid()->text() : asked_.c_str();
    if (walk_row_verdict(root_, asked_.c_str(), answered, pdu_->error_status()) == kWalkEnd) {
      return kOk;
    }
    snmp_log().log(log::kError, "walk of %s refused: error-status %d, error-index %d.", root_,
                   static_cast<int>(pdu_->error_status()), static_cast<int>(pdu_->error_index()));
    return kErrNoValue;
  }

  IQesPdu* pdu_;
  const char* root_;
  uint32_t repetitions_;
  WalkColumns columns_;
  std::string asked_;
  uint32_t rows_ = 0;
};

}  // namespace

uint32_t bulk_repetitions(uint32_t max_repetitions, uint32_t columns) {
  const uint32_t fit = columns != 0 ? kBulkBindingBudget / columns : max_repetitions;
  return std::max<uint32_t>(1, std::min(max_repetitions, fit));
}

Result walk_table_bulk(CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target,
                       IQesPduList* collector, const char* root, uint32_t max_repetitions) {
  if (pdu == nullptr || target == nullptr || collector == nullptr || root == nullptr ||
      pdu->var_bind_list() == nullptr || pdu->var_bind_list()->count() == 0 ||
      max_repetitions == 0) {
    return kErrInvalidArg;
  }
  Result rc = kOk;
  OidPtr root_oid(create_oid_from_text(root, &rc));
  if (!root_oid) return rc != kOk ? rc : kErrNoMemory;
  try {
    BulkWalk walk(pdu, root_oid->text(), max_repetitions);
    const IQesVarBind* first = pdu->var_bind_list()->at(0);
    if (first->oid() != nullptr) walk.set_asked(first->oid()->text());
    return walk.run(exchange, target, collector);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
}

}  // namespace orv::facade
