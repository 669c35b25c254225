#include "snmp/smi/oid_text.h"

#include <cstring>

#include "snmp/smi/number_text.h"
#include "snmp/smi/qel_oid.h"

namespace orv::smi {

bool oid_text_is_valid(const char* text, size_t length) {
  size_t arc_start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == '.') {
      const size_t arc_length = i - arc_start;
      if (length == 0) return true;
      if (arc_length == 0) return false;  // leading, trailing or doubled dot
      if (arc_length > 1 && text[arc_start] == '0') return false;
      arc_start = i + 1;
    } else if (text[i] < '0' || text[i] > '9') {
      return false;
    }
  }
  return true;
}

uint32_t oid_text_arc_count(const char* text, size_t length) {
  if (length == 0) return 0;
  uint32_t dots = 0;
  for (const char* p = text; (p = static_cast<const char*>(std::memchr(p, '.', text + length - p))); ++p) ++dots;
  return dots + 1;
}

int32_t oid_text_compare(const char* a, size_t a_length, const char* b, size_t b_length) {
  const size_t common = a_length < b_length ? a_length : b_length;
  if (common != 0) {
    const int order = std::memcmp(a, b, common);
    if (order != 0) return order < 0 ? kOidBefore : kOidAfter;
  }
  if (a_length == b_length) return kOidEqual;
  if (a_length < b_length) return b[a_length] == '.' ? kOidPrefixOfOther : kOidBefore;
  return a[b_length] == '.' ? kOidOtherIsPrefix : kOidAfter;
}

bool oid_text_read_arc(const char* text, size_t length, size_t* position, uint32_t* arc) {
  size_t i = *position;
  uint64_t value = 0;
  bool sound = i < length && text[i] != '.';
  for (; i < length && text[i] != '.'; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') {
      sound = false;
      continue;
    }
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) {
      value = UINT32_MAX;
      sound = false;
    }
  }
  *arc = static_cast<uint32_t>(value);
  *position = i < length ? i + 1 : i;
  return sound;
}

OidArcsParse oid_text_append_arcs(const char* text, size_t length, ArcArray* arcs) {
  if (length == 0) return OidArcsParse::kOk;
  if (length > UINT32_MAX) return OidArcsParse::kNoArcForm;
  // Every arc but the last takes at least two characters; when that bound
  // does not fit the room there is, the dots are counted for the exact one.
  uint32_t most = static_cast<uint32_t>(length / 2 + 1);
  if (most > arcs->room()) most = oid_text_arc_count(text, length);
  uint32_t* const first = arcs->append_room(most);
  if (!first) return OidArcsParse::kNoMemory;
  uint32_t* out = first;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const auto* const end = p + length;
  for (;;) {
    const auto* start = p;
    uint64_t value = *p++ - unsigned{'0'};
    if (value > 9) return OidArcsParse::kNoArcForm;  // an empty arc or another character
    if (p == end) {
      *out++ = static_cast<uint32_t>(value);
      break;
    }
    if (*p != '.') {  // most arcs of MIB names have one digit and skip this
      if (value == 0) return OidArcsParse::kNoArcForm;  // a leading zero, or "0" and no dot
      // Up to 10 digits fit; more are refused by their count.
      for (unsigned digit; p != end && (digit = *p - unsigned{'0'}) <= 9; ++p) value = value * 10 + digit;
      if (p - start > 10 || value > UINT32_MAX) return OidArcsParse::kNoArcForm;
      if (p == end) {
        *out++ = static_cast<uint32_t>(value);
        break;
      }
      if (*p != '.') return OidArcsParse::kNoArcForm;
    }
    *out++ = static_cast<uint32_t>(value);
    if (++p == end) return OidArcsParse::kNoArcForm;  // a trailing dot
  }
  arcs->extend_to(out);
  return OidArcsParse::kOk;
}

size_t oid_arcs_print(const uint32_t* arcs, uint32_t count, bool dot_first, char* out) {
  char* p = out;
  for (uint32_t i = 0; i < count; ++i) {
    if (i > 0 || dot_first) *p++ = '.';
    p += format_u32(arcs[i], p);
  }
  return static_cast<size_t>(p - out);
}

}  // namespace orv::smi
