// The address kinds, all byte buffers of fixed size derived from OCTET
// STRING: IpAddress, the IPv4-address-with-port kind (through IpAddress),
// the IPv6 address kind and the IPX-address-with-socket kind. The two with a
// port or socket number are internal and refuse encoding (-5 from the codec).
#pragma once

#include "snmp/smi/address_forms.h"
#include "snmp/smi/octet_string_values.h"

namespace orv::smi {

class CQelIpAddress : public CQelOctetString {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  uint32_t kind() const override { return kSmiIpAddress; }
  // The four octets as a big-endian number.
  uint32_t get_uint32(Result* status) const override;
  Result set_uint32(uint32_t value) override;
  // "%d.%d.%d.%d".
  Result write_text(IQelBuffer* buffer) const override;
  // Must begin with four dotted numbers of 0..255, else -2.
  Result set_text(const char* text) override;

 protected:
  uint32_t fixed_size() const override { return kIpv4Octets; }
  bool answers_kind(uint32_t kind) const override {
    return kind == kSmiIpAddress || CQelOctetString::answers_kind(kind);
  }
};

class CQelIpv4PortAddress : public CQelIpAddress {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override;
  uint32_t kind() const override { return kSmiIpv4PortAddress; }
  bool equals(const IQelSmiValue* other) const override;
  // "%d.%d.%d.%d/%d".
  Result write_text(IQelBuffer* buffer) const override;
  // All five numbers, else -2.
  Result set_text(const char* text) override;
  uint16_t get_uint16(Result* status) const override;
  Result set_high32(uint32_t port) override;

 private:
  uint16_t port_ = 0;
};

class CQelIpv6Address : public CQelOctetString {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  uint32_t kind() const override { return kSmiIpv6Address; }
  // Eight groups in lower-case hex without leading zeros, never shortened.
  Result write_text(IQelBuffer* buffer) const override;
  // All eight groups, else -2.
  Result set_text(const char* text) override;

 protected:
  uint32_t fixed_size() const override { return kIpv6Octets; }
};

class CQelIpxAddress : public CQelOctetString {
 public:
  Result accept(IQesValueVisitor* visitor) override;
  IQelSmiValue* clone(Result* status) const override { return clone_value(*this, status); }
  Result assign(const IQelSmiValue* other) override;
  void clear() override;
  uint32_t kind() const override { return kSmiIpxAddress; }
  bool equals(const IQelSmiValue* other) const override;
  // "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x/%x".
  Result write_text(IQelBuffer* buffer) const override;
  // All eleven fields, else -2.
  Result set_text(const char* text) override;
  uint16_t get_uint16(Result* status) const override;
  Result set_high32(uint32_t socket) override;

 protected:
  uint32_t fixed_size() const override { return kIpxOctets; }

 private:
  uint16_t socket_ = 0;
};

}  // namespace orv::smi
