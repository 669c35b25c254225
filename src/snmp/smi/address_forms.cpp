#include "snmp/smi/address_forms.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace orv::smi {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A run of decimal digits whose value stays within `limit`.
bool read_decimal(const char*& p, uint32_t limit, uint32_t* value) {
  if (!is_digit(*p)) return false;
  uint64_t v = 0;
  while (is_digit(*p)) {
    v = v * 10 + static_cast<uint64_t>(*p++ - '0');
    if (v > limit) return false;
  }
  *value = static_cast<uint32_t>(v);
  return true;
}

// One to `max_digits` hex digits.
bool read_hex(const char*& p, int max_digits, uint32_t* value) {
  uint32_t v = 0;
  int digits = 0;
  for (int d; digits < max_digits && (d = hex_value(*p)) >= 0; ++digits, ++p) v = v * 16 + static_cast<uint32_t>(d);
  *value = v;
  return digits > 0;
}

bool expect(const char*& p, char c) {
  if (*p != c) return false;
  ++p;
  return true;
}

}  // namespace

bool parse_ipv4_prefix(const char* text, uint8_t octets[kIpv4Octets], const char** rest) {
  if (!text) return false;
  const char* p = text;
  for (uint32_t i = 0; i < kIpv4Octets; ++i) {
    uint32_t v = 0;
    if (i > 0 && !expect(p, '.')) return false;
    if (!read_decimal(p, 255, &v)) return false;
    octets[i] = static_cast<uint8_t>(v);
  }
  if (rest) *rest = p;
  return true;
}

bool parse_ipv6_text(const char* text, uint8_t octets[kIpv6Octets]) {
  if (!text) return false;
  const char* p = text;
  for (uint32_t group = 0; group < kIpv6Octets / 2; ++group) {
    uint32_t v = 0;
    if (group > 0 && !expect(p, ':')) return false;
    if (!read_hex(p, 4, &v)) return false;
    octets[2 * group] = static_cast<uint8_t>(v >> 8);
    octets[2 * group + 1] = static_cast<uint8_t>(v);
  }
  return *p == '\0';
}

bool parse_ipv4_port_text(const char* text, uint8_t octets[kIpv4Octets], uint16_t* port) {
  const char* p = nullptr;
  uint32_t v = 0;
  if (!parse_ipv4_prefix(text, octets, &p) || !expect(p, '/') || !read_decimal(p, 0xFFFF, &v) || *p != '\0') {
    return false;
  }
  *port = static_cast<uint16_t>(v);
  return true;
}

bool parse_ipx_text(const char* text, uint8_t octets[kIpxOctets], uint16_t* socket) {
  if (!text) return false;
  const char* p = text;
  for (uint32_t i = 0; i < kIpxOctets; ++i) {
    uint32_t v = 0;
    if (i == 4 && !expect(p, ':')) return false;
    if (!read_hex(p, 2, &v)) return false;
    octets[i] = static_cast<uint8_t>(v);
  }
  uint32_t v = 0;
  if (!expect(p, '/') || !read_hex(p, 4, &v) || *p != '\0') return false;
  *socket = static_cast<uint16_t>(v);
  return true;
}

uint32_t format_ipv4(const uint8_t o[kIpv4Octets], char out[kIpv4TextSize]) {
  // By table: every answer's sender is printed through this (to be compared
  // or normalised), and printing digit by digit costs more than the rest.
  struct OctetText {
    char text[4];  // the digits and a dot
    uint32_t length;
  };
  static constexpr auto kTexts = [] {
    std::array<OctetText, 256> texts{};
    for (uint32_t value = 0; value < texts.size(); ++value) {
      OctetText& t = texts[value];
      if (value >= 100) t.text[t.length++] = static_cast<char>('0' + value / 100);
      if (value >= 10) t.text[t.length++] = static_cast<char>('0' + value / 10 % 10);
      t.text[t.length++] = static_cast<char>('0' + value % 10);
      t.text[t.length] = '.';
    }
    return texts;
  }();
  // Four bytes per octet: the last one ends at most at the 16th byte.
  uint32_t length = 0;
  for (uint32_t i = 0; i < kIpv4Octets; ++i) {
    const OctetText& t = kTexts[o[i]];
    std::memcpy(out + length, t.text, sizeof t.text);
    length += t.length + 1;
  }
  out[--length] = '\0';
  return length;
}

uint32_t format_ipv6(const uint8_t o[kIpv6Octets], char out[kIpv6TextSize]) {
  unsigned g[8];
  for (int i = 0; i < 8; ++i) g[i] = static_cast<unsigned>(o[2 * i] << 8 | o[2 * i + 1]);
  return static_cast<uint32_t>(
      std::snprintf(out, kIpv6TextSize, "%x:%x:%x:%x:%x:%x:%x:%x", g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7]));
}

uint32_t format_ipv4_port(const uint8_t o[kIpv4Octets], uint16_t port, char out[kIpv4PortTextSize]) {
  return static_cast<uint32_t>(
      std::snprintf(out, kIpv4PortTextSize, "%d.%d.%d.%d/%d", o[0], o[1], o[2], o[3], static_cast<int>(port)));
}

uint32_t format_ipx(const uint8_t o[kIpxOctets], uint16_t socket, char out[kIpxTextSize]) {
  return static_cast<uint32_t>(std::snprintf(out, kIpxTextSize, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x/%x", o[0],
                                             o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9],
                                             static_cast<unsigned>(socket)));
}

}  // namespace orv::smi
