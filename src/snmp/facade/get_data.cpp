#include "snmp/facade/get_data.h"

#include <new>

#include "snmp/facade/bulk_walk.h"
#include "snmp/facade/request_object.h"
#include "snmp/facade/table_walk.h"
#include "snmp/facade/value_forms.h"
#include "snmp/message/codec_log.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

class CQelGetData final : public CQelRequestObject<IQelGetData> {
 public:
  int32_t add_oid_string(const char* oid, bool instance_suffix) override {
    return core_.add_null_binding(oid, instance_suffix ? "0" : nullptr);
  }

  int32_t add_oid_string(const char* oid, const char* suffix, int32_t value) override {
    Result rc = kOk;
    SmiValuePtr integer(create_smi_value_int32(kSmiInteger, value, &rc));
    if (!integer) return rc != kOk ? rc : kErrNoMemory;
    return core_.add_binding(oid, suffix, std::move(integer));
  }

  int32_t set_data() override {
    Result rc = exchange(kPduSetRequest);
    if (rc != kOk) return rc;
    // Any error-status means the agent did not set the value: noSuchName
    // and noAccess as callers know them, and every other refusal as well,
    // so that a refused SET is never reported as done.
    return core_.pdu()->error_status() != 0 ? kErrNoValue : kOk;
  }

  int32_t get_data(IQesPduList* collector, const char* root_oid) override {
    snmp_log().log(log::kTrace, "[%s] enter.", "IQelGetData::get_data(walk)");
    Result rc = walk(collector, root_oid);
    snmp_log().log(log::kTrace, "[%s] exit.", "IQelGetData::get_data(walk)");
    return rc;
  }

  int32_t get_data(char* text) override {
    if (text == nullptr) return kErrInvalidArg;
    Result rc = exchange(kPduGetRequest);
    if (rc != kOk) return rc;
    const IQesVarBind* binding = response_binding(0);
    // An object the agent lacks has no text: the missing-value code, as
    // for an answer without the binding.
    if (binding == nullptr || value_is_absent(binding->value())) return kErrNoValue;
    return write_value_text(binding->value(), text, kGetDataTextSize);
  }

  int32_t get_data(int32_t* values, int32_t count) override {
    if (count < 0 || (values == nullptr && count > 0)) return kErrInvalidArg;
    Result rc = exchange(kPduGetRequest);
    if (rc != kOk) return rc;
    for (int32_t i = 0; i < count; ++i) {
      const IQesVarBind* binding = response_binding(static_cast<uint32_t>(i));
      if (binding == nullptr) return kErrNoValue;
      values[i] = value_as_int32(binding->value());
    }
    return kOk;
  }

  // The array form of one value: the first binding, or -7 without one.
  int32_t get_data(int32_t* value) override {
    return value != nullptr ? get_data(value, 1) : kErrInvalidArg;
  }

  void set_max_repetitions(uint32_t max_repetitions) override {
    core_.set_max_repetitions(max_repetitions);
  }

  ~CQelGetData() override = default;

 private:
  // One GET or SET of the PDU's bindings.
  Result exchange(int32_t pdu_type) {
    return with_exchange([pdu_type](CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target) {
      return exchange.send(pdu, target, pdu_type);
    });
  }

  Result walk(IQesPduList* collector, const char* root_oid) {
    return with_exchange([&](CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target) {
      const uint32_t repetitions = core_.max_repetitions();
      if (repetitions != 0) {
        return walk_table_bulk(exchange, pdu, target, collector, root_oid, repetitions);
      }
      return walk_table(exchange, pdu, target, collector, root_oid);
    });
  }

  const IQesVarBind* response_binding(uint32_t index) const {
    const IQesVarBindList* list = core_.pdu()->var_bind_list();
    const IQesVarBind* binding = list != nullptr ? list->at(index) : nullptr;
    return binding != nullptr && binding->value() != nullptr ? binding : nullptr;
  }

};

}  // namespace
}  // namespace orv::facade

IQelGetData* qel_create_get_data(int32_t* result) {
  IQelGetData* made = new (std::nothrow) orv::facade::CQelGetData;
  if (result != nullptr) *result = made != nullptr ? orv::kOk : orv::kErrNoMemory;
  return made;
}
