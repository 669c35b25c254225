// COrvHarrowOption: the device-family class. Its SNMP check,
// is_supported_device, lives in supported_device_check.cpp.
#include <cstring>

#include "device/dev_comm_option.h"

COrvHarrowOption::COrvHarrowOption() : COrvDevCommOption(), m_sysObjectID{} {}

// The base's fields, then the 256-byte sysObjectID.
COrvHarrowOption::COrvHarrowOption(const COrvHarrowOption& other) = default;
COrvHarrowOption& COrvHarrowOption::operator=(const COrvHarrowOption& other) = default;

COrvHarrowOption::~COrvHarrowOption() = default;

long COrvHarrowOption::Init(OrvProtocolCode protocol, const char* address, IOrvPluginUSM* usm,
                            unsigned long timeout, unsigned long retries,
                            unsigned long max_message_size) {
  const long rc =
      COrvDevCommOption::Init(protocol, address, usm, timeout, retries, max_message_size);
  if (rc != orv::kOk) return rc;
  return is_supported_device();
}

bool COrvHarrowOption::is_supported_OID(const char* oid) {
  if (oid == nullptr) return true;
  return std::strncmp(m_sysObjectID, oid, std::strlen(oid)) == 0;
}

long COrvHarrowOption::get_option(const char* key, const char** out, int index) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;
  return COrvDevCommOption::get_option(key, out, index);
}

long COrvHarrowOption::get_option(const char* key, long* out, int index) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;
  return COrvDevCommOption::get_option(key, out, index);
}

long COrvHarrowOption::get_option(const char* key, bool* out, int index) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;
  return COrvDevCommOption::get_option(key, out, index);
}
