#include "device/option_request.h"

#include "log/log.h"
#include "result_codes.h"

namespace orv::device {

long log_failed_step(const char* step, long rc) {
  orv::log::qel_log(kLogCategory, orv::log::kError, "fail %s. result=%ld", step, rc);
  return rc;
}

long OptionRequest::create(GetDataPtr* out) {
  int32_t rc = kOk;
  out->reset(qel_create_get_data(&rc));
  if (*out == nullptr) {
    if (rc == kOk) rc = kErrNoMemory;
    return log_failed_step("qel_create_get_data()", rc);
  }
  return kOk;
}

long OptionRequest::configure(const COrvDevCommOption& store, IQelGetData* request) {
  if (store.m_communitySet) request->set_community(store.m_community);
  const QelSecurityParams security{store.m_userName,       store.m_securityLevel,
                                   store.m_authProtocol,   store.m_privProtocol,
                                   store.m_authPassPhrase, store.m_privPassPhrase,
                                   store.m_contextName};
  const long rc = request->init(store.m_address, store.m_protocol, store.m_port,
                                store.m_securityModel, &security,
                                static_cast<uint32_t>(store.m_timeout),
                                static_cast<uint32_t>(store.m_retries),
                                static_cast<uint32_t>(store.m_maxMessageSize));
  if (rc != kOk) return log_failed_step("pGetData->init()", rc);
  return kOk;
}

long OptionRequest::open(const COrvDevCommOption& store, GetDataPtr* out) {
  const long rc = create(out);
  if (rc != kOk) return rc;
  return configure(store, out->get());
}

long OptionRequest::add_oid(IQelGetData* request, const char* oid, bool instance_suffix) {
  const long rc = request->add_oid_string(oid, instance_suffix);
  if (rc != kOk) return log_failed_step("pGetData->add_oid_string()", rc);
  return kOk;
}

}  // namespace orv::device
