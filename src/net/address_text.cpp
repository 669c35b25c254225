#include "net/address_text.h"

#include <sys/socket.h>

#include <cstdio>
#include <cstring>

#include "snmp/smi/address_forms.h"

namespace orv::net {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `count` bytes of two hex digits each from `text`.
bool parse_hex_bytes(const char* text, size_t count, uint8_t* out) {
  for (size_t i = 0; i < count; ++i) {
    int high = hex_value(text[2 * i]);
    int low = hex_value(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return true;
}

}  // namespace

bool parse_ipv4_text(const char* text, std::array<uint8_t, 4>* bytes) {
  if (!text) return false;
  std::array<uint8_t, 4> parsed{};
  const char* p = text;
  for (size_t part = 0; part < parsed.size(); ++part) {
    if (part > 0) {
      if (*p != '.') return false;
      ++p;
    }
    if (*p < '0' || *p > '9') return false;
    unsigned value = 0;
    // Leading zeros may be many; the value is capped so it cannot overflow.
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + static_cast<unsigned>(*p - '0');
      if (value > 255) return false;
      ++p;
    }
    parsed[part] = static_cast<uint8_t>(value);
  }
  if (*p != '\0') return false;
  if (bytes) *bytes = parsed;
  return true;
}

bool parse_ipx_text(const char* text, std::array<uint8_t, 10>* bytes) {
  if (!text || std::strlen(text) != kIpxTextLength || text[8] != ':') return false;
  std::array<uint8_t, 10> parsed{};
  if (!parse_hex_bytes(text, 4, parsed.data()) || !parse_hex_bytes(text + 9, 6, parsed.data() + 4)) {
    return false;
  }
  if (bytes) *bytes = parsed;
  return true;
}

std::string format_ipv4(const std::array<uint8_t, 4>& bytes) {
  char text[smi::kIpv4TextSize];
  return std::string(text, smi::format_ipv4(bytes.data(), text));
}

std::string format_ipv4_host_order(uint32_t address) {
  return format_ipv4({static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
                      static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)});
}

std::string format_mac(const uint8_t* bytes) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", bytes[0], bytes[1], bytes[2],
                bytes[3], bytes[4], bytes[5]);
  return text;
}

std::string format_ipv6_groups(const uint8_t* bytes) {
  char text[40];
  std::snprintf(text, sizeof text,
                "%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x",
                bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7],
                bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14],
                bytes[15]);
  return text;
}

std::string with_scope(const std::string& text, uint32_t scope) {
  return text + "%" + std::to_string(scope);
}

void lower_hex_letters(std::string* text) {
  for (char& c : *text) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  }
}

bool equals_ignore_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

Result detect_ipv4_or_ipx(const char* text, IQelNetworkAddress::EProtocol* protocol) {
  IQelNetworkAddress::EProtocol found = IQelNetworkAddress::kProtocolUnspecified;
  Result result = kErrNoValue;
  if (parse_ipv4_text(text, nullptr)) {
    found = IQelNetworkAddress::kProtocolIpv4;
    result = kOk;
  } else if (parse_ipx_text(text, nullptr)) {
    found = IQelNetworkAddress::kProtocolIpx;
    result = kOk;
  }
  if (protocol) *protocol = found;
  return result;
}

Result normalise_ipv4_or_ipx(const char* text, std::string* normalised) {
  std::array<uint8_t, 4> ipv4{};
  if (parse_ipv4_text(text, &ipv4)) {
    *normalised = format_ipv4(ipv4);
    return kOk;
  }
  if (parse_ipx_text(text, nullptr)) {
    *normalised = text;
    return kOk;
  }
  return kErrNoValue;
}

IQelNetworkAddress::EProtocol protocol_of_family(int family) {
  switch (family) {
    case AF_INET: return IQelNetworkAddress::kProtocolIpv4;
    case AF_IPX: return IQelNetworkAddress::kProtocolIpx;
    case AF_INET6: return IQelNetworkAddress::kProtocolIpv6;
    default: return IQelNetworkAddress::kProtocolUnspecified;
  }
}

int family_of_protocol(IQelNetworkAddress::EProtocol protocol) {
  switch (protocol) {
    case IQelNetworkAddress::kProtocolIpv4: return AF_INET;
    case IQelNetworkAddress::kProtocolIpx: return AF_IPX;
    case IQelNetworkAddress::kProtocolIpv6: return AF_INET6;
    default: return AF_UNSPEC;
  }
}

}  // namespace orv::net
