#include "snmp/smi/empty_values.h"

#include "snmp/smi/value_visitor.h"

namespace orv::smi {

Result CQelNull::accept(IQesValueVisitor* visitor) { return visitor ? visitor->visit_null(this) : kErrInvalidArg; }

Result CQelNull::assign(const IQelSmiValue* other) {
  return same_kind<CQelNull>(other) ? kOk : kErrInvalidArg;
}

bool CQelNull::equals(const IQelSmiValue* other) const { return same_kind<CQelNull>(other) != nullptr; }

bool CQelSmiException::is_exception_kind(uint32_t kind) {
  return kind == kSmiNoSuchObject || kind == kSmiNoSuchInstance || kind == kSmiEndOfMibView;
}

Result CQelSmiException::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_exception(this) : kErrInvalidArg;
}

Result CQelSmiException::assign(const IQelSmiValue* other) {
  return same_kind<CQelSmiException>(other) ? kOk : kErrInvalidArg;
}

bool CQelSmiException::equals(const IQelSmiValue* other) const {
  return same_kind<CQelSmiException>(other) != nullptr;
}

}  // namespace orv::smi
