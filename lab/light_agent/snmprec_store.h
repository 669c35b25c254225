// The objects of one .snmprec file (tests/data), sorted by OID, each value
// kept BER-encoded so that an answer copies bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv::lab {

using Arcs = std::vector<uint32_t>;

struct StoredObject {
  Arcs oid;
  std::string value;  // the whole TLV
};

class SnmprecStore {
 public:
  // False (and `error` set) when the file cannot be read or a line is
  // malformed.
  bool load(const std::string& path, std::string* error);
  // The object of exactly `oid`, or nullptr.
  const StoredObject* find(const Arcs& oid) const;
  // The first object after `oid`, or nullptr past the last.
  const StoredObject* next(const Arcs& oid) const;
  size_t size() const { return objects_.size(); }

 private:
  std::vector<StoredObject> objects_;
};

// BER pieces the store and the agent share.
void ber_put_length(std::string* out, size_t length);
void ber_put_tlv(std::string* out, uint8_t tag, const std::string& content);
std::string ber_oid_content(const Arcs& oid);
std::string ber_signed_content(int64_t value);
std::string ber_unsigned_content(uint64_t value);
bool parse_arcs(const std::string& text, Arcs* out);

}  // namespace orv::lab
