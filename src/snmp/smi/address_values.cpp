#include "snmp/smi/address_values.h"

#include "snmp/smi/value_visitor.h"

namespace orv::smi {
namespace {

Result set_buffer_text(IQelBuffer* buffer, const char* text, uint32_t length) {
  return buffer ? buffer->set_bytes(text, length) : kErrInvalidArg;
}

Result set_port_number(uint32_t value, uint16_t* port) {
  if (value > 0xFFFF) return kErrInvalidArg;
  *port = static_cast<uint16_t>(value);
  return kOk;
}

}  // namespace

// IpAddress

Result CQelIpAddress::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_ip_address(this) : kErrInvalidArg;
}

uint32_t CQelIpAddress::get_uint32(Result* status) const {
  const uint8_t* o = octets();
  put_status(status, kOk);
  return static_cast<uint32_t>(o[0]) << 24 | static_cast<uint32_t>(o[1]) << 16 | static_cast<uint32_t>(o[2]) << 8 | o[3];
}

Result CQelIpAddress::set_uint32(uint32_t value) {
  const uint8_t o[kIpv4Octets] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                                  static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  return set_bytes(o, kIpv4Octets);
}

Result CQelIpAddress::write_text(IQelBuffer* buffer) const {
  char text[kIpv4TextSize];
  return set_buffer_text(buffer, text, format_ipv4(octets(), text));
}

Result CQelIpAddress::set_text(const char* text) {
  uint8_t o[kIpv4Octets];
  if (!parse_ipv4_prefix(text, o, nullptr)) return kErrInvalidArg;
  return set_bytes(o, kIpv4Octets);
}

// IPv4 address with port

Result CQelIpv4PortAddress::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_ipv4_port_address(this) : kErrInvalidArg;
}

Result CQelIpv4PortAddress::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelIpv4PortAddress>(other);
  if (!source) return kErrInvalidArg;
  port_ = source->port_;
  return CQelIpAddress::assign(other);
}

void CQelIpv4PortAddress::clear() {
  port_ = 0;
  CQelIpAddress::clear();
}

bool CQelIpv4PortAddress::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelIpv4PortAddress>(other);
  return source && source->port_ == port_ && CQelIpAddress::equals(other);
}

Result CQelIpv4PortAddress::write_text(IQelBuffer* buffer) const {
  char text[kIpv4PortTextSize];
  return set_buffer_text(buffer, text, format_ipv4_port(octets(), port_, text));
}

Result CQelIpv4PortAddress::set_text(const char* text) {
  uint8_t o[kIpv4Octets];
  uint16_t port = 0;
  if (!parse_ipv4_port_text(text, o, &port)) return kErrInvalidArg;
  port_ = port;
  return set_bytes(o, kIpv4Octets);
}

uint16_t CQelIpv4PortAddress::get_uint16(Result* status) const {
  put_status(status, kOk);
  return port_;
}

Result CQelIpv4PortAddress::set_high32(uint32_t port) { return set_port_number(port, &port_); }

// IPv6 address

Result CQelIpv6Address::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_ipv6_address(this) : kErrInvalidArg;
}

Result CQelIpv6Address::write_text(IQelBuffer* buffer) const {
  char text[kIpv6TextSize];
  return set_buffer_text(buffer, text, format_ipv6(octets(), text));
}

Result CQelIpv6Address::set_text(const char* text) {
  uint8_t o[kIpv6Octets];
  if (!parse_ipv6_text(text, o)) return kErrInvalidArg;
  return set_bytes(o, kIpv6Octets);
}

// IPX address with socket

Result CQelIpxAddress::accept(IQesValueVisitor* visitor) {
  return visitor ? visitor->visit_ipx_address(this) : kErrInvalidArg;
}

Result CQelIpxAddress::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelIpxAddress>(other);
  if (!source) return kErrInvalidArg;
  socket_ = source->socket_;
  return CQelOctetString::assign(other);
}

void CQelIpxAddress::clear() {
  socket_ = 0;
  CQelOctetString::clear();
}

bool CQelIpxAddress::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelIpxAddress>(other);
  return source && source->socket_ == socket_ && CQelOctetString::equals(other);
}

Result CQelIpxAddress::write_text(IQelBuffer* buffer) const {
  char text[kIpxTextSize];
  return set_buffer_text(buffer, text, format_ipx(octets(), socket_, text));
}

Result CQelIpxAddress::set_text(const char* text) {
  uint8_t o[kIpxOctets];
  uint16_t socket = 0;
  if (!parse_ipx_text(text, o, &socket)) return kErrInvalidArg;
  socket_ = socket;
  return set_bytes(o, kIpxOctets);
}

uint16_t CQelIpxAddress::get_uint16(Result* status) const {
  put_status(status, kOk);
  return socket_;
}

Result CQelIpxAddress::set_high32(uint32_t socket) { return set_port_number(socket, &socket_); }

}  // namespace orv::smi
