#include "status/job_index.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "result_codes.h"

namespace orv::status {

namespace {

// The arcs of a dotted decimal text; false when it is not one.
bool parse_arcs(const char* text, std::vector<uint32_t>* arcs) {
  if (text == nullptr || *text == '\0') return false;
  const char* p = text;
  while (true) {
    if (*p < '0' || *p > '9') return false;
    char* end = nullptr;
    const unsigned long long arc = std::strtoull(p, &end, 10);
    if (arc > UINT32_MAX) return false;
    arcs->push_back(static_cast<uint32_t>(arc));
    if (*end == '\0') return true;
    if (*end != '.') return false;
    p = end + 1;
  }
}

// The arcs after the first two, at most `most` of them, as octets.
int32_t decode_index_octets(const char* index_text, size_t most, std::string* octets) {
  octets->clear();
  std::vector<uint32_t> arcs;
  if (!parse_arcs(index_text, &arcs) || arcs.size() < 2) return kErrInvalidArg;
  for (size_t i = 2; i < arcs.size() && octets->size() < most; ++i) {
    if (arcs[i] > 255) {
      octets->clear();
      return kErrArcTooLarge;
    }
    octets->push_back(static_cast<char>(arcs[i]));
  }
  return kOk;
}

}  // namespace

int32_t decode_job_id(const char* index_text, char* out, size_t size) {
  if (out == nullptr || size <= kJobIdOctets) return kErrInvalidArg;
  std::memset(out, 0, size);
  std::string octets;
  const int32_t rc = decode_index_octets(index_text, kJobIdOctets, &octets);
  if (rc == kOk) std::memcpy(out, octets.data(), octets.size());
  return rc;
}

int32_t decode_job_identifier(const char* index_text, std::string* id) {
  return decode_index_octets(index_text, kJobIdMaxOctets, id);
}

bool is_job_index(const char* index_text) {
  std::vector<uint32_t> arcs;
  return parse_arcs(index_text, &arcs) && arcs.size() >= 2 && arcs[0] == kJobIndexGroup &&
         arcs[1] == arcs.size() - 2;
}

int32_t job_id_suffix(const char* job_id, char* out, size_t size) {
  if (job_id == nullptr || out == nullptr || size == 0) return kErrInvalidArg;
  const size_t length = std::strlen(job_id);
  int written = std::snprintf(out, size, "%u.%zu", kJobIndexGroup, length);
  size_t used = written > 0 ? static_cast<size_t>(written) : size;
  for (size_t i = 0; i < length && used < size; ++i) {
    written = std::snprintf(out + used, size - used, ".%u",
                            static_cast<unsigned>(static_cast<unsigned char>(job_id[i])));
    used += written > 0 ? static_cast<size_t>(written) : size;
  }
  if (used >= size) {
    out[0] = '\0';
    return kErrInvalidArg;
  }
  return kOk;
}

const char* index_after(const char* oid_text, const char* column) {
  if (oid_text == nullptr || column == nullptr) return nullptr;
  const size_t n = std::strlen(column);
  if (std::strncmp(oid_text, column, n) != 0 || oid_text[n] != '.') return nullptr;
  return oid_text + n + 1;
}

int64_t first_index_arc(const char* oid_text, const char* column) {
  const char* p = index_after(oid_text, column);
  if (p == nullptr || *p < '0' || *p > '9') return -1;
  char* end = nullptr;
  const unsigned long long arc = std::strtoull(p, &end, 10);
  if ((*end != '\0' && *end != '.') || arc > UINT32_MAX) return -1;
  return static_cast<int64_t>(arc);
}

OrvJobTime job_time(const uint8_t* octets, uint32_t length) {
  uint8_t o[7] = {};
  if (octets != nullptr) std::memcpy(o, octets, length < sizeof o ? length : sizeof o);
  OrvJobTime t;
  t.year = static_cast<int16_t>(o[0] * 256 + o[1]);
  t.month = o[2];
  t.day = o[3];
  t.hour = o[4];
  t.minute = o[5];
  t.second = o[6];
  return t;
}

}  // namespace orv::status
