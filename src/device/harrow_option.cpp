// COrvHarrowOption: the device-family class (Part 1.3). The SNMP check
// itself (is_supported_device) comes with the get-data request object.
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
  // Part 1.3's is_supported_device() joins here with the get-data request
  // object (Part 3.1); until then the open accepts every printer.
  return orv::kOk;
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
