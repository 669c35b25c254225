#include "support/snmp_probe.h"

#include <cstdlib>
#include <sstream>

namespace orv::test {
namespace {

void put_length(std::vector<uint8_t>& out, size_t n) {
  if (n < 0x80) {
    out.push_back(static_cast<uint8_t>(n));
    return;
  }
  std::vector<uint8_t> body;
  for (; n > 0; n >>= 8) body.insert(body.begin(), static_cast<uint8_t>(n & 0xFF));
  out.push_back(static_cast<uint8_t>(0x80 | body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

std::vector<uint8_t> tlv(uint8_t tag, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out{tag};
  put_length(out, body.size());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> integer(int64_t v) {
  std::vector<uint8_t> body;
  do {
    body.insert(body.begin(), static_cast<uint8_t>(v & 0xFF));
    v >>= 8;
  } while (!((v == 0 && !(body.front() & 0x80)) || (v == -1 && (body.front() & 0x80))));
  return tlv(0x02, body);
}

std::vector<uint8_t> oid(const std::string& text) {
  std::vector<unsigned long> arcs;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, '.')) {
    if (!part.empty()) arcs.push_back(std::strtoul(part.c_str(), nullptr, 10));
  }
  std::vector<uint8_t> body;
  for (size_t i = arcs.size() < 2 ? 0 : 1; i < arcs.size(); ++i) {
    unsigned long a = (i == 1) ? arcs[0] * 40 + arcs[1] : arcs[i];
    std::vector<uint8_t> enc{static_cast<uint8_t>(a & 0x7F)};
    for (a >>= 7; a > 0; a >>= 7) enc.insert(enc.begin(), static_cast<uint8_t>(0x80 | (a & 0x7F)));
    body.insert(body.end(), enc.begin(), enc.end());
  }
  return tlv(0x06, body);
}

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A cursor over one constructed element's contents.
struct Reader {
  const std::vector<uint8_t>& buf;
  size_t pos;
  size_t end;

  // Tag, then [start, stop) of the body; false when the element is cut.
  bool next(int& tag, size_t& start, size_t& stop) {
    if (pos + 2 > end) return false;
    tag = buf[pos];
    size_t len = buf[pos + 1];
    size_t p = pos + 2;
    if (len & 0x80) {
      size_t n = len & 0x7F;
      if (n == 0 || n > 4 || p + n > end) return false;
      len = 0;
      for (size_t i = 0; i < n; ++i) len = (len << 8) | buf[p + i];
      p += n;
    }
    if (p + len > end) return false;
    start = p;
    stop = p + len;
    pos = stop;
    return true;
  }
};

int32_t read_int(const std::vector<uint8_t>& b, size_t start, size_t stop) {
  int64_t v = (start < stop && (b[start] & 0x80)) ? -1 : 0;
  for (size_t i = start; i < stop; ++i) v = (v << 8) | b[i];
  return static_cast<int32_t>(v);
}

std::string read_oid(const std::vector<uint8_t>& b, size_t start, size_t stop) {
  std::string text;
  unsigned long value = 0;
  bool first = true;
  for (size_t i = start; i < stop; ++i) {
    value = (value << 7) | (b[i] & 0x7F);
    if (b[i] & 0x80) continue;
    if (first) {
      unsigned long head = value < 80 ? value / 40 : 2;
      text = std::to_string(head) + "." + std::to_string(value - head * 40);
      first = false;
    } else {
      text.append(".").append(std::to_string(value));  // not "." + ...: a false -Wrestrict at -O3
    }
    value = 0;
  }
  return text;
}

std::vector<uint8_t> message(int version, const std::string& community, uint8_t pdu_tag,
                             int32_t request_id, const std::vector<uint8_t>& binds) {
  auto pdu = tlv(pdu_tag, concat({integer(request_id), integer(0), integer(0), tlv(0x30, binds)}));
  return tlv(0x30, concat({integer(version), tlv(0x04, {community.begin(), community.end()}), pdu}));
}

}  // namespace

std::vector<uint8_t> snmp_get_request(int32_t request_id, const std::string& community,
                                      const std::vector<std::string>& oids, int version) {
  std::vector<uint8_t> binds;
  for (const auto& o : oids) {
    auto b = tlv(0x30, concat({oid(o), {0x05, 0x00}}));
    binds.insert(binds.end(), b.begin(), b.end());
  }
  return message(version, community, 0xA0, request_id, binds);
}

std::vector<uint8_t> snmp_oid_response(int32_t request_id, const std::string& community,
                                       const std::string& name, const std::string& value,
                                       int version) {
  return message(version, community, 0xA2, request_id, tlv(0x30, concat({oid(name), oid(value)})));
}

std::optional<SnmpReply> parse_snmp_reply(const std::vector<uint8_t>& bytes) {
  int tag = 0;
  size_t s = 0;
  size_t e = 0;
  Reader top{bytes, 0, bytes.size()};
  if (!top.next(tag, s, e) || tag != 0x30) return std::nullopt;
  Reader msg{bytes, s, e};
  SnmpReply r;
  if (!msg.next(tag, s, e) || tag != 0x02) return std::nullopt;
  if (!msg.next(tag, s, e) || tag != 0x04) return std::nullopt;
  if (!msg.next(tag, s, e) || (tag & 0xE0) != 0xA0) return std::nullopt;
  r.pdu_tag = tag;
  Reader pdu{bytes, s, e};
  int32_t* fields[3] = {&r.request_id, &r.error_status, &r.error_index};
  for (auto* f : fields) {
    if (!pdu.next(tag, s, e) || tag != 0x02) return std::nullopt;
    *f = read_int(bytes, s, e);
  }
  if (!pdu.next(tag, s, e) || tag != 0x30) return std::nullopt;
  Reader list{bytes, s, e};
  while (list.pos < list.end) {
    if (!list.next(tag, s, e) || tag != 0x30) return std::nullopt;
    Reader bind{bytes, s, e};
    if (!bind.next(tag, s, e) || tag != 0x06) return std::nullopt;
    r.oids.push_back(read_oid(bytes, s, e));
    if (!bind.next(tag, s, e)) return std::nullopt;
    r.octet_values.push_back(tag == 0x04 ? std::string(bytes.begin() + s, bytes.begin() + e) : "");
  }
  return r;
}

}  // namespace orv::test
