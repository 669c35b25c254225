#include "device/version_parse.h"

#include <cctype>
#include <cstdint>
#include <limits>

namespace orv::device {
namespace {

bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// One %d: white space, an optional sign, at least one digit.
bool read_number(const char*& p, int32_t* out) {
  while (is_space(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (!is_digit(*p)) return false;
  int64_t value = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  for (; is_digit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) return false;
  }
  *out = static_cast<int32_t>(negative ? -value : value);
  return true;
}

}  // namespace

bool parse_rom_version(const char* text, int32_t* major, int32_t* minor, int32_t* revision) {
  if (text == nullptr) return false;
  int32_t numbers[3] = {};
  int read = 0;
  const char* p = text;
  for (const char* f = kRomVersionPattern; *f != '\0' && read < 3; ++f) {
    if (f[0] == '%' && f[1] == 'd') {
      if (!read_number(p, &numbers[read])) return false;
      ++read;
      ++f;
    } else if (is_space(*f)) {
      while (is_space(*p)) ++p;
    } else if (*p == *f) {
      ++p;
    } else {
      return false;
    }
  }
  if (read < 3) return false;
  *major = numbers[0];
  *minor = numbers[1];
  *revision = numbers[2];
  return true;
}

}  // namespace orv::device
