#include "snmp/smi/smi_factory.h"

#include "snmp/smi/address_values.h"
#include "snmp/smi/empty_values.h"
#include "snmp/smi/number_values.h"
#include "snmp/smi/octet_string_values.h"
#include "snmp/smi/oid_value.h"

namespace orv {
namespace {

using namespace smi;

CQelSmiValue* construct(uint32_t kind) {
  switch (kind) {
    case kSmiInteger: return new (std::nothrow) CQelInteger();
    case kSmiOctetString: return new (std::nothrow) CQelOctetString();
    case kSmiNull: return new (std::nothrow) CQelNull();
    case kSmiOid: return new (std::nothrow) CQelOid();
    case kSmiIpAddress: return new (std::nothrow) CQelIpAddress();
    case kSmiCounter32: return new (std::nothrow) CQelCounter32();
    case kSmiGauge32: return new (std::nothrow) CQelGauge32();
    case kSmiTimeTicks: return new (std::nothrow) CQelTimeTicks();
    case kSmiOpaque: return new (std::nothrow) CQelOpaque();
    case kSmiCounter64: return new (std::nothrow) CQelCounter64();
    case kSmiIpv6Address: return new (std::nothrow) CQelIpv6Address();
    case kSmiNoSuchObject:
    case kSmiNoSuchInstance:
    case kSmiEndOfMibView: return new (std::nothrow) CQelSmiException(kind);
    case kSmiIpv4PortAddress: return new (std::nothrow) CQelIpv4PortAddress();
    case kSmiIpxAddress: return new (std::nothrow) CQelIpxAddress();
    default: return nullptr;
  }
}

bool known_kind(uint32_t kind) {
  switch (kind) {
    case kSmiInteger: case kSmiOctetString: case kSmiNull: case kSmiOid: case kSmiIpAddress:
    case kSmiCounter32: case kSmiGauge32: case kSmiTimeTicks: case kSmiOpaque: case kSmiCounter64:
    case kSmiIpv6Address: case kSmiNoSuchObject: case kSmiNoSuchInstance: case kSmiEndOfMibView:
    case kSmiIpv4PortAddress: case kSmiIpxAddress: return true;
    default: return false;
  }
}

// Hands out `value` when `r` is 0, else releases it; `status` gets `r`.
template <typename T>
T* settle(QelPtr<T> value, Result r, Result* status) {
  put_status(status, r);
  return r == kOk ? value.release() : nullptr;
}

}  // namespace

IQelSmiValue* create_smi_value(uint32_t kind, Result* status) {
  if (!known_kind(kind)) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  CQelSmiValue* made = construct(kind);
  if (!made) {
    put_status(status, kErrNoMemory);
    return nullptr;
  }
  SmiValuePtr value(made);
  return settle(std::move(value), made->init(), status);
}

IQelSmiValue* create_smi_value_int32(uint32_t kind, int32_t number, Result* status) {
  SmiValuePtr value(create_smi_value(kind, status));
  if (!value) return nullptr;
  const Result r = value->set_int32(number);
  return settle(std::move(value), r, status);
}

IQelSmiValue* create_smi_value_uint32(uint32_t kind, uint32_t number, Result* status) {
  SmiValuePtr value(create_smi_value(kind, status));
  if (!value) return nullptr;
  const Result r = value->set_uint32(number);
  return settle(std::move(value), r, status);
}

IQelSmiValue* create_smi_value_text(uint32_t kind, const char* text, Result* status) {
  if (!text) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  SmiValuePtr value(create_smi_value(kind, status));
  if (!value) return nullptr;
  Result r = value->set_text(text);
  if (r == kOk && !value->is_valid()) r = kErrInvalidArg;
  return settle(std::move(value), r, status);
}

IQelOid* create_oid(Result* status) {
  auto* oid = new (std::nothrow) CQelOid();
  put_status(status, oid ? kOk : kErrNoMemory);
  return oid;
}

IQelOid* create_oid_from_text(const char* text, Result* status) {
  if (!text) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  OidPtr oid(create_oid(status));
  if (!oid) return nullptr;
  Result r = oid->set_text(text);
  if (r == kOk && !oid->is_valid()) r = kErrInvalidArg;
  return settle(std::move(oid), r, status);
}

IQelOid* create_oid_from_arcs(const uint32_t* arcs, uint32_t count, Result* status) {
  OidPtr oid(create_oid(status));
  if (!oid) return nullptr;
  const Result r = oid->set_arcs(arcs, count);
  return settle(std::move(oid), r, status);
}

}  // namespace orv
