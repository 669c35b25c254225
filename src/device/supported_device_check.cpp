// COrvHarrowOption::is_supported_device: reads the printer's sysObjectID
// and accepts only printers under the family prefix.
#include "device/dev_comm_option.h"
#include "device/model_table.h"
#include "device/option_request.h"
#include "device/text_copy.h"

using orv::device::OptionRequest;

long COrvHarrowOption::is_supported_device() const {
  GetDataPtr request;
  long rc = OptionRequest::create(&request);
  if (rc != orv::kOk) return rc;

  // An address text of another family than the protocol recorded is refused
  // before anything is sent.
  int32_t detected = 0;
  rc = request->get_protocol(OptionRequest::address(*this), &detected);
  if (rc != orv::kOk) return rc;
  if (detected != OptionRequest::protocol(*this)) return orv::kErrInvalidArg;

  rc = OptionRequest::configure(*this, request.get());
  if (rc != orv::kOk) return rc;
  rc = OptionRequest::add_oid(request.get(), orv::device::kSysObjectIdOid, true);
  if (rc != orv::kOk) return rc;

  char text[kGetDataTextSize] = {};
  rc = request->get_data(text);
  if (rc != orv::kOk) return rc;  // a silent or failing printer is not logged here

  const bool supported = orv::device::oid_under_prefix(text, orv::device::kFamilyPrefix);
  // Kept whether or not it matched, so that is_supported_OID answers for it.
  orv::device::copy_text(m_sysObjectID, text);
  return supported ? orv::kOk : orv::kErrInvalidArg;
}
