#include "light_agent/snmprec_store.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace orv::lab {
namespace {

bool hex_octets(const std::string& hex, std::string* out) {
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    char* end = nullptr;
    const std::string pair = hex.substr(i, 2);
    const long octet = std::strtol(pair.c_str(), &end, 16);
    if (end != pair.c_str() + 2) return false;
    out->push_back(static_cast<char>(octet));
  }
  return true;
}

// The TLV of a value of the file's type tag ("2", "4x", "2:writecache", ...).
bool encode_value(const std::string& type, const std::string& text, std::string* tlv) {
  const std::string base = type.substr(0, type.find(':'));
  std::string content;
  std::string value = text;
  if (type.find(":writecache") != std::string::npos && value.rfind("value=", 0) == 0) {
    value = value.substr(6);
  }
  uint8_t tag = 0;
  if (base == "2") {
    tag = 0x02;
    content = ber_signed_content(std::strtoll(value.c_str(), nullptr, 10));
  } else if (base == "4") {
    tag = 0x04;
    content = value;
  } else if (base == "4x") {
    tag = 0x04;
    if (!hex_octets(value, &content)) return false;
  } else if (base == "6") {
    Arcs arcs;
    tag = 0x06;
    if (!parse_arcs(value, &arcs)) return false;
    content = ber_oid_content(arcs);
  } else if (base == "64") {
    tag = 0x40;
    Arcs parts;
    if (!parse_arcs(value, &parts) || parts.size() != 4) return false;
    for (uint32_t part : parts) content.push_back(static_cast<char>(part));
  } else if (base == "65" || base == "66" || base == "67" || base == "70") {
    tag = static_cast<uint8_t>(0x40 + std::atoi(base.c_str()) - 64);
    content = ber_unsigned_content(std::strtoull(value.c_str(), nullptr, 10));
  } else {
    return false;
  }
  ber_put_tlv(tlv, tag, content);
  return true;
}

}  // namespace

void ber_put_length(std::string* out, size_t length) {
  if (length < 0x80) {
    out->push_back(static_cast<char>(length));
    return;
  }
  std::string bytes;
  for (; length != 0; length >>= 8) bytes.insert(bytes.begin(), static_cast<char>(length & 0xFF));
  out->push_back(static_cast<char>(0x80 | bytes.size()));
  out->append(bytes);
}

void ber_put_tlv(std::string* out, uint8_t tag, const std::string& content) {
  out->push_back(static_cast<char>(tag));
  ber_put_length(out, content.size());
  out->append(content);
}

std::string ber_oid_content(const Arcs& oid) {
  std::string out;
  if (oid.size() < 2) return std::string(1, '\0');
  auto put_arc = [&out](uint64_t arc) {
    std::string bytes(1, static_cast<char>(arc & 0x7F));
    for (arc >>= 7; arc != 0; arc >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (arc & 0x7F)));
    out.append(bytes);
  };
  put_arc(uint64_t{oid[0]} * 40 + oid[1]);
  for (size_t i = 2; i < oid.size(); ++i) put_arc(oid[i]);
  return out;
}

std::string ber_signed_content(int64_t value) {
  std::string out;
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
  // Minimal two's complement: drop a leading octet that only repeats the sign.
  while (out.size() > 1 && ((out[0] == 0 && !(out[1] & 0x80)) ||
                            (out[0] == '\xff' && (out[1] & 0x80)))) {
    out.erase(out.begin());
  }
  return out;
}

std::string ber_unsigned_content(uint64_t value) {
  std::string out;
  do {
    out.insert(out.begin(), static_cast<char>(value & 0xFF));
    value >>= 8;
  } while (value != 0);
  if (static_cast<uint8_t>(out[0]) & 0x80) out.insert(out.begin(), '\0');
  return out;
}

bool parse_arcs(const std::string& text, Arcs* out) {
  out->clear();
  size_t pos = text.empty() || text[0] != '.' ? 0 : 1;
  while (pos < text.size()) {
    char* end = nullptr;
    const unsigned long arc = std::strtoul(text.c_str() + pos, &end, 10);
    if (end == text.c_str() + pos || arc > UINT32_MAX) return false;
    out->push_back(static_cast<uint32_t>(arc));
    pos = static_cast<size_t>(end - text.c_str());
    if (pos < text.size() && text[pos++] != '.') return false;
  }
  return !out->empty();
}

bool SnmprecStore::load(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    const size_t first = line.find('|');
    const size_t second = first == std::string::npos ? first : line.find('|', first + 1);
    StoredObject object;
    if (second == std::string::npos || !parse_arcs(line.substr(0, first), &object.oid) ||
        !encode_value(line.substr(first + 1, second - first - 1), line.substr(second + 1),
                      &object.value)) {
      *error = path + ":" + std::to_string(number) + ": cannot read the line";
      return false;
    }
    objects_.push_back(std::move(object));
  }
  std::sort(objects_.begin(), objects_.end(),
            [](const StoredObject& a, const StoredObject& b) { return a.oid < b.oid; });
  return true;
}

const StoredObject* SnmprecStore::find(const Arcs& oid) const {
  auto it = std::lower_bound(objects_.begin(), objects_.end(), oid,
                             [](const StoredObject& o, const Arcs& key) { return o.oid < key; });
  return it != objects_.end() && it->oid == oid ? &*it : nullptr;
}

const StoredObject* SnmprecStore::next(const Arcs& oid) const {
  auto it = std::upper_bound(objects_.begin(), objects_.end(), oid,
                             [](const Arcs& key, const StoredObject& o) { return key < o.oid; });
  return it != objects_.end() ? &*it : nullptr;
}

}  // namespace orv::lab
