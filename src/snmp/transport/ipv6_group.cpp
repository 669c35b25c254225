#include "snmp/transport/ipv6_group.h"

#include <cstring>
#include <string_view>

namespace orv::session {
namespace {

constexpr int kGroups = 8;

// Groups of a colon-separated run ("" has none).
int group_count(std::string_view run) {
  if (run.empty()) return 0;
  int count = 1;
  for (char c : run) count += c == ':';
  return count;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool expand_ipv6_group_text(const char* text, std::string* expanded) {
  if (!text || !expanded) return false;
  std::string_view all(text);
  size_t gap = all.find("::");
  if (gap == std::string_view::npos) {
    *expanded = std::string(all.substr(0, kIpv6GroupTextLimit));
    return true;
  }
  std::string_view head = all.substr(0, gap);
  std::string_view tail = all.substr(gap + 2);
  if (tail.find("::") != std::string_view::npos) return false;
  int zeros = kGroups - group_count(head) - group_count(tail);
  if (zeros < 1) return false;
  std::string out(head);
  for (int i = 0; i < zeros; ++i) {
    if (!out.empty()) out += ':';
    out += '0';
  }
  if (!tail.empty()) {
    out += ':';
    out += tail;
  }
  *expanded = std::move(out);
  return true;
}

Result parse_ipv6_group(const char* text, uint8_t (&address)[16]) {
  std::string expanded;
  if (!expand_ipv6_group_text(text, &expanded)) return kErrInvalidArg;
  const char* p = expanded.c_str();
  uint8_t bytes[16] = {};
  for (int group = 0; group < kGroups; ++group) {
    if (group > 0) {
      if (*p != ':') return kErrInvalidArg;
      ++p;
    }
    uint32_t value = 0;
    int digits = 0;
    for (int d; (d = hex_digit(*p)) >= 0; ++p, ++digits) value = value * 16 + d;
    if (digits == 0 || digits > 4) return kErrInvalidArg;
    bytes[2 * group] = static_cast<uint8_t>(value >> 8);
    bytes[2 * group + 1] = static_cast<uint8_t>(value & 0xff);
  }
  if (*p != '\0' && *p != '%') return kErrInvalidArg;
  std::memcpy(address, bytes, sizeof bytes);
  return kOk;
}

}  // namespace orv::session
