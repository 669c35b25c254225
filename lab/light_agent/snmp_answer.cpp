#include "light_agent/snmp_answer.h"

namespace orv::lab {
namespace {

constexpr uint8_t kGet = 0xA0, kGetNext = 0xA1, kSet = 0xA3, kGetBulk = 0xA5;
constexpr uint8_t kNoSuchObject = 0x80, kEndOfMibView = 0x82;
constexpr int64_t kNoSuchName = 2, kNotWritable = 17;
const Arcs kInPackets = {1, 3, 6, 1, 2, 1, 11, 1, 0};

struct Reader {
  const uint8_t* p;
  const uint8_t* end;
  // The next TLV's tag and content; false when it does not fit.
  bool next(uint8_t* tag, const uint8_t** content, size_t* length) {
    if (end - p < 2) return false;
    *tag = *p++;
    size_t n = *p++;
    if (n & 0x80) {
      const size_t octets = n & 0x7F;
      if (octets == 0 || octets > 4 || static_cast<size_t>(end - p) < octets) return false;
      n = 0;
      for (size_t i = 0; i < octets; ++i) n = (n << 8) | *p++;
    }
    if (static_cast<size_t>(end - p) < n) return false;
    *content = p;
    *length = n;
    p += n;
    return true;
  }
  bool integer(int64_t* value) {
    uint8_t tag = 0;
    const uint8_t* c = nullptr;
    size_t n = 0;
    if (!next(&tag, &c, &n) || tag != 0x02 || n == 0 || n > 8) return false;
    int64_t v = static_cast<int8_t>(c[0]);
    for (size_t i = 1; i < n; ++i) v = static_cast<int64_t>(static_cast<uint64_t>(v) << 8) | c[i];
    *value = v;
    return true;
  }
};

bool decode_oid(const uint8_t* c, size_t n, Arcs* out) {
  out->clear();
  uint64_t arc = 0;
  for (size_t i = 0; i < n; ++i) {
    arc = (arc << 7) | (c[i] & 0x7F);
    if (arc > UINT32_MAX + uint64_t{80}) return false;
    if (c[i] & 0x80) continue;
    if (out->empty()) {
      const uint32_t first = arc < 80 ? static_cast<uint32_t>(arc / 40) : 2;
      out->push_back(first);
      out->push_back(static_cast<uint32_t>(arc - first * 40));
    } else {
      out->push_back(static_cast<uint32_t>(arc));
    }
    arc = 0;
  }
  return !out->empty();
}

struct Binding {
  const Arcs* oid;
  std::string value;  // TLV
};

void put_binding(std::string* list, const Arcs& oid, const std::string& value) {
  std::string content;
  ber_put_tlv(&content, 0x06, ber_oid_content(oid));
  content.append(value);
  ber_put_tlv(list, 0x30, content);
}

std::string message(const AgentRequest& r, int64_t status, int64_t index, const std::string& list) {
  std::string pdu;
  ber_put_tlv(&pdu, 0x02, ber_signed_content(r.request_id));
  ber_put_tlv(&pdu, 0x02, ber_signed_content(status));
  ber_put_tlv(&pdu, 0x02, ber_signed_content(index));
  ber_put_tlv(&pdu, 0x30, list);
  std::string body;
  ber_put_tlv(&body, 0x02, ber_signed_content(r.version));
  ber_put_tlv(&body, 0x04, r.community);
  ber_put_tlv(&body, 0xA2, pdu);
  std::string out;
  ber_put_tlv(&out, 0x30, body);
  return out;
}

std::string exception(uint8_t tag) { return std::string{static_cast<char>(tag), '\0'}; }

// The answer of an SNMPv1 agent that lacks binding `index` (from 0): the
// request's bindings echoed with noSuchName.
std::string refused(const AgentRequest& r, int64_t status, size_t index) {
  std::string list;
  for (const Arcs& oid : r.oids) put_binding(&list, oid, std::string("\x05\x00", 2));
  return message(r, status, static_cast<int64_t>(index + 1), list);
}

}  // namespace

bool decode_request(const uint8_t* data, size_t size, AgentRequest* out) {
  Reader outer{data, data + size};
  uint8_t tag = 0;
  const uint8_t* c = nullptr;
  size_t n = 0;
  if (!outer.next(&tag, &c, &n) || tag != 0x30) return false;
  Reader body{c, c + n};
  if (!body.integer(&out->version) || (out->version != 0 && out->version != 1)) return false;
  if (!body.next(&tag, &c, &n) || tag != 0x04) return false;
  out->community.assign(reinterpret_cast<const char*>(c), n);
  if (!body.next(&out->pdu, &c, &n)) return false;
  Reader pdu{c, c + n};
  if (!pdu.integer(&out->request_id) || !pdu.integer(&out->first) || !pdu.integer(&out->second)) {
    return false;
  }
  if (!pdu.next(&tag, &c, &n) || tag != 0x30) return false;
  Reader list{c, c + n};
  out->oids.clear();
  while (list.p < list.end) {
    if (!list.next(&tag, &c, &n) || tag != 0x30) return false;
    Reader binding{c, c + n};
    Arcs oid;
    if (!binding.next(&tag, &c, &n) || tag != 0x06 || !decode_oid(c, n, &oid)) return false;
    out->oids.push_back(std::move(oid));
  }
  return true;
}

std::string answer_request(const AgentRequest& r, const SnmprecStore& store, uint64_t counter,
                           size_t max_size) {
  std::string counted;
  ber_put_tlv(&counted, 0x41, ber_unsigned_content(counter & 0xFFFFFFFFu));
  const bool v1 = r.version == 0;
  std::string list;
  if (r.pdu == kSet) return refused(r, v1 ? kNoSuchName : kNotWritable, 0);
  if (r.pdu == kGet) {
    for (size_t i = 0; i < r.oids.size(); ++i) {
      const StoredObject* found = store.find(r.oids[i]);
      if (r.oids[i] == kInPackets) {
        put_binding(&list, r.oids[i], counted);
      } else if (found != nullptr) {
        put_binding(&list, found->oid, found->value);
      } else if (v1) {
        return refused(r, kNoSuchName, i);
      } else {
        put_binding(&list, r.oids[i], exception(kNoSuchObject));
      }
    }
    return message(r, 0, 0, list);
  }
  const bool bulk = r.pdu == kGetBulk && !v1;
  if (r.pdu != kGetNext && !bulk) return refused(r, v1 ? kNoSuchName : 5, 0);
  const size_t plain = bulk ? std::min<size_t>(static_cast<size_t>(std::max<int64_t>(r.first, 0)),
                                               r.oids.size())
                            : r.oids.size();
  // One GETNEXT step of `oid` into the list; false past the store's end.
  auto step = [&](const Arcs& oid, std::string* into, const Arcs** reached) {
    const StoredObject* found = store.next(oid);
    if (found == nullptr) {
      put_binding(into, oid, exception(kEndOfMibView));
      *reached = &oid;
      return false;
    }
    put_binding(into, found->oid, found->value);
    *reached = &found->oid;
    return true;
  };
  for (size_t i = 0; i < plain; ++i) {
    const Arcs* reached = nullptr;
    if (!step(r.oids[i], &list, &reached) && v1) return refused(r, kNoSuchName, i);
  }
  if (!bulk) return message(r, 0, 0, list);
  std::vector<const Arcs*> last;
  for (size_t i = plain; i < r.oids.size(); ++i) last.push_back(&r.oids[i]);
  const int64_t repetitions = last.empty() ? 0 : std::max<int64_t>(r.second, 0);
  for (int64_t rep = 0; rep < repetitions; ++rep) {
    std::string row;
    bool any = false;
    for (const Arcs*& oid : last) any = step(*oid, &row, &oid) || any;
    // The message around the bindings: header, community, request fields.
    const size_t around = r.community.size() + 40;
    if (list.size() + row.size() + around > max_size && rep > 0) break;
    list += row;
    if (!any) break;  // every column at the end of the view
  }
  return message(r, 0, 0, list);
}

}  // namespace orv::lab
