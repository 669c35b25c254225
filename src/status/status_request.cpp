#include "status/status_request.h"

#include "device/option_request.h"
#include "result_codes.h"
#include "status/device_status.h"

namespace orv::status {

using orv::device::log_failed_step;
using orv::device::OptionRequest;

namespace {

int32_t open_with(const COrvDeviceStatus& status, const char* community, GetDataPtr* out,
                  uint32_t repetitions = 0) {
  int32_t rc = static_cast<int32_t>(OptionRequest::create(out));
  if (rc != kOk) return rc;
  IQelGetData* request = out->get();
  if (community != nullptr) request->set_community(community);
  request->set_max_repetitions(repetitions);
  const SecurityParams& p = status.security_params();
  const QelSecurityParams security{p.user_name,        p.security_level,   p.auth_protocol,
                                   p.priv_protocol,    p.auth_pass_phrase, p.priv_pass_phrase,
                                   p.context_name};
  rc = request->init(status.address(), status.protocol(), status.port(), status.security_model(),
                     &security, status.timeout(), status.retries(), status.max_message_size());
  if (rc != kOk) return static_cast<int32_t>(log_failed_step("pGetData->init()", rc));
  return kOk;
}

int32_t open_one(const COrvDeviceStatus& status, const char* oid, GetDataPtr* out) {
  const int32_t rc = StatusRequest::open(status, out);
  if (rc != kOk) return rc;
  return static_cast<int32_t>(OptionRequest::add_oid(out->get(), oid, false));
}

}  // namespace

int32_t StatusRequest::open(const COrvDeviceStatus& status, GetDataPtr* out) {
  return open_with(status, status.read_community_set() ? status.read_community() : nullptr, out);
}

int32_t StatusRequest::open_for_write(const COrvDeviceStatus& status, GetDataPtr* out) {
  return open_with(status, status.write_community(), out);
}

int32_t StatusRequest::walk(const COrvDeviceStatus& status, const char* const* columns,
                            size_t count, orv::device::TableRows* rows) {
  GetDataPtr request;
  int32_t rc = open_with(status, status.read_community_set() ? status.read_community() : nullptr,
                         &request, status.walk_repetitions(columns[0]));
  if (rc != kOk) return rc;
  for (size_t i = 0; i < count; ++i) {
    rc = static_cast<int32_t>(OptionRequest::add_oid(request.get(), columns[i], false));
    if (rc != kOk) return rc;
  }
  rc = static_cast<int32_t>(rows->walk(request.get(), columns[0]));
  if (rc == kOk) status.note_walked_rows(columns[0], rows->count());
  return rc;
}

int32_t StatusRequest::get_text(const COrvDeviceStatus& status, const char* oid, char* text) {
  GetDataPtr request;
  int32_t rc = open_one(status, oid, &request);
  if (rc != kOk) return rc;
  rc = request->get_data(text);
  // An object the printer lacks is the caller's to judge.
  if (rc != kOk && rc != kErrNoValue) {
    return static_cast<int32_t>(log_failed_step("pGetData->get_data()", rc));
  }
  return rc;
}

int32_t StatusRequest::get_int(const COrvDeviceStatus& status, const char* oid, int32_t* value) {
  GetDataPtr request;
  int32_t rc = open_one(status, oid, &request);
  if (rc != kOk) return rc;
  rc = request->get_data(value);
  if (rc != kOk) return static_cast<int32_t>(log_failed_step("pGetData->get_data()", rc));
  return kOk;
}

int32_t int32_of(const IQelSmiValue* value) {
  if (value == nullptr) return -1;
  Result status = kOk;
  const int32_t number = value->get_int32(&status);
  return status == kOk ? number : -1;
}

const uint8_t* octets_of(const IQelSmiValue* value, uint32_t* length) {
  *length = 0;
  if (value == nullptr || value->kind() != kSmiOctetString) return nullptr;
  const uint8_t* octets = value->get_bytes(length);
  if (octets == nullptr) *length = 0;
  return octets;
}

uint32_t uint32_of(const IQelSmiValue* value) {
  return value != nullptr ? value->get_uint32() : 0xFFFFFFFFu;
}

}  // namespace orv::status
