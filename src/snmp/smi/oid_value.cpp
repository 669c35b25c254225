#include "snmp/smi/oid_value.h"

#include <cstring>

#include "snmp/smi/number_text.h"
#include "snmp/smi/oid_text.h"
#include "snmp/smi/value_visitor.h"

namespace orv::smi {
namespace {

// The position just behind `arcs` arcs counted from `position` (and behind
// the dot that ends the last of them, when there is one).
size_t skip_arcs(const char* text, size_t length, size_t position, uint32_t arcs) {
  for (; arcs > 0 && position < length; --arcs) {
    const void* dot = std::memchr(text + position, '.', length - position);
    position = dot ? static_cast<size_t>(static_cast<const char*>(dot) - text) + 1 : length;
  }
  return position;
}

}  // namespace

Result CQelOid::accept(IQesValueVisitor* visitor) { return visitor ? visitor->visit_oid(this) : kErrInvalidArg; }

Result CQelOid::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelOid>(other);
  if (!source) return kErrInvalidArg;
  if (source == this) return kOk;
  if (Result r = text_.assign(source->text_.data(), source->text_.size()); r != kOk) return r;
  count_ = source->count_;
  count_known_ = source->count_known_;
  offsets_known_ = false;
  return kOk;
}

void CQelOid::clear() {
  text_.clear();
  count_ = 0;
  count_known_ = true;
  offsets_known_ = false;
}

bool CQelOid::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelOid>(other);
  return source && text_.equals(source->text_.data(), source->text_.size());
}

Result CQelOid::query(uint32_t id, void** out) {
  if (out && id == (kQueryKindBase | kSmiOid)) {
    *out = static_cast<IQelOid*>(this);
    return kOk;
  }
  return CQelSmiValue::query(id, out);
}

bool CQelOid::is_valid() const { return oid_text_is_valid(text_.c_str(), text_.size()); }

Result CQelOid::write_text(IQelBuffer* buffer) const {
  return buffer ? buffer->set_bytes(text_.data(), text_.size()) : kErrInvalidArg;
}

const uint8_t* CQelOid::get_bytes(uint32_t* length, Result* status) const {
  if (!length) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  *length = text_.size();
  put_status(status, kOk);
  return text_.data();
}

Result CQelOid::set_text(const char* text) {
  if (!text) {
    clear();
    return kOk;
  }
  if (Result r = text_.assign(text, static_cast<uint32_t>(std::strlen(text))); r != kOk) return r;
  forget_arcs();
  return kOk;
}

Result CQelOid::put_content(IQelContentSink* sink) const {
  return sink ? sink->take_content(text_.data(), text_.size()) : kErrInvalidArg;
}

Result CQelOid::put_counted_content(IQelContentSink* sink) const {
  return sink ? sink->take_counted_content(text_.data(), text_.size()) : kErrInvalidArg;
}

uint32_t CQelOid::arc_count() const {
  if (!count_known_) {
    count_ = oid_text_arc_count(text_.c_str(), text_.size());
    count_known_ = true;
  }
  return count_;
}

Result CQelOid::build_offsets() const {
  if (offsets_known_) return kOk;
  offsets_.clear();
  const char* text = text_.c_str();
  const uint32_t length = text_.size();
  if (length != 0) {
    if (Result r = offsets_.push(0); r != kOk) return r;
    for (const char* p = text; (p = static_cast<const char*>(std::memchr(p, '.', text + length - p))); ++p) {
      if (Result r = offsets_.push(static_cast<uint32_t>(p - text) + 1); r != kOk) return r;
    }
  }
  offsets_known_ = true;
  return kOk;
}

uint32_t CQelOid::element(uint32_t index, Result* status) const {
  const uint32_t count = arc_count();
  Result r = count == 0 ? kErrEmptyOid : index >= count ? kErrNoValue : build_offsets();
  if (r != kOk) {
    put_status(status, r);
    return kSmiNotSupported32;
  }
  size_t position = offsets_[index];
  uint32_t arc = 0;
  const bool sound = oid_text_read_arc(text_.c_str(), text_.size(), &position, &arc);
  put_status(status, sound ? kOk : kErrInvalidArg);
  return arc;
}

void CQelOid::note_appended(uint32_t old_length) {
  const char* text = text_.c_str();
  const uint32_t length = text_.size();
  uint32_t dots = 0;
  if (offsets_known_ && old_length == 0 && length != 0 && offsets_.push(0) != kOk) offsets_known_ = false;
  for (const char* p = text + old_length; (p = static_cast<const char*>(std::memchr(p, '.', text + length - p))); ++p) {
    ++dots;
    if (offsets_known_ && offsets_.push(static_cast<uint32_t>(p - text) + 1) != kOk) offsets_known_ = false;
  }
  if (count_known_) count_ = old_length == 0 ? (length == 0 ? 0 : dots + 1) : count_ + dots;
}

Result CQelOid::append_part(const char* part, uint32_t length) {
  if (length == 0) return kOk;
  const uint32_t old_length = text_.size();
  const uint8_t* base = text_.data();
  const auto* source = reinterpret_cast<const uint8_t*>(part);
  const bool inside = source >= base && source < base + text_.capacity();
  const size_t offset = inside ? static_cast<size_t>(source - base) : 0;
  const uint32_t dot = old_length ? 1 : 0;
  if (length > UINT32_MAX - 2 - old_length) return kErrNoMemory;
  uint8_t* where = nullptr;
  if (Result r = text_.grow_by(length + dot, &where); r != kOk) return r;
  if (inside) source = text_.data() + offset;  // growing may have moved it
  if (dot) *where++ = '.';
  std::memmove(where, source, length);
  note_appended(old_length);
  return kOk;
}

Result CQelOid::append_text(const char* text) {
  if (!text) return kErrInvalidArg;
  return append_part(text, static_cast<uint32_t>(std::strlen(text)));
}

Result CQelOid::append_arc(int32_t arc) {
  char digits[kMaxDecimalI32];
  return append_part(digits, format_i32(arc, digits));
}

Result CQelOid::append_arc_u32(uint32_t arc) {
  char digits[kMaxDecimalU32];
  return append_part(digits, format_u32(arc, digits));
}

Result CQelOid::append_oid(const IQelOid* other) {
  if (!other) return kErrInvalidArg;
  return append_part(other->text(), other->text_length());
}

Result CQelOid::append_arcs(const uint32_t* arcs, uint32_t count) {
  if (count == 0) return kOk;
  if (!arcs) return kErrInvalidArg;
  constexpr uint32_t kWorstPerArc = kMaxDecimalU32 + 1;
  const uint32_t old_length = text_.size();
  if (count > (UINT32_MAX - 2 - old_length) / kWorstPerArc) return kErrNoMemory;
  // Room for the longest form at once; the unused tail is cut afterwards.
  uint8_t* where = nullptr;
  if (Result r = text_.grow_by(count * kWorstPerArc, &where); r != kOk) return r;
  char* out = reinterpret_cast<char*>(where);
  for (uint32_t i = 0; i < count; ++i) {
    if (i > 0 || old_length > 0) *out++ = '.';
    out += format_u32(arcs[i], out);
  }
  text_.truncate(static_cast<uint32_t>(reinterpret_cast<uint8_t*>(out) - text_.data()));
  note_appended(old_length);
  return kOk;
}

Result CQelOid::set_arcs(const uint32_t* arcs, uint32_t count) {
  if (!arcs && count != 0) return kErrInvalidArg;
  clear();
  return append_arcs(arcs, count);
}

Result CQelOid::get_arcs(uint32_t* arcs, uint32_t capacity, uint32_t* count) const {
  if (!count) return kErrInvalidArg;
  const uint32_t n = arc_count();
  *count = n;
  if (n > capacity || (n != 0 && !arcs)) return kErrInvalidArg;
  size_t position = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (!oid_text_read_arc(text_.c_str(), text_.size(), &position, &arcs[i])) return kErrInvalidArg;
  }
  return kOk;
}

int32_t CQelOid::compare_text(const char* text, Result* status) const {
  if (!text) {
    put_status(status, kErrInvalidArg);
    return -1;
  }
  put_status(status, kOk);
  return oid_text_compare(text_.c_str(), text_.size(), text, std::strlen(text));
}

int32_t CQelOid::compare_oid(const IQelOid* other, Result* status) const {
  if (!other) {
    put_status(status, kErrInvalidArg);
    return -1;
  }
  put_status(status, kOk);
  return oid_text_compare(text_.c_str(), text_.size(), other->text(), other->text_length());
}

Result CQelOid::strip_prefix(const char* prefix, uint32_t length) {
  if (length == 0) return kOk;
  const int32_t order = oid_text_compare(text_.c_str(), text_.size(), prefix, length);
  if (order == kOidEqual) {
    clear();
    return kOk;
  }
  if (order != kOidOtherIsPrefix) return kErrInvalidArg;
  const uint32_t removed = oid_text_arc_count(prefix, length);
  if (count_known_) count_ -= removed;
  text_.erase(0, length + 1);  // the prefix and its dot
  offsets_known_ = false;
  return kOk;
}

Result CQelOid::strip_prefix_text(const char* prefix) {
  if (!prefix) return kErrInvalidArg;
  return strip_prefix(prefix, static_cast<uint32_t>(std::strlen(prefix)));
}

Result CQelOid::strip_prefix_oid(const IQelOid* prefix) {
  if (!prefix) return kErrInvalidArg;
  return strip_prefix(prefix->text(), prefix->text_length());
}

Result CQelOid::erase_arcs(uint32_t start, uint32_t count) {
  const uint32_t n = arc_count();
  if (start >= n) return kErrInvalidArg;
  if (count == 0) return kOk;
  const uint32_t end = count > n - start ? n : start + count;
  if (start == 0 && end == n) {
    clear();
    return kOk;
  }
  if (Result r = build_offsets(); r != kOk) return r;
  // Erasing up to the end takes the dot before the range, else the one after.
  const uint32_t from = end == n ? offsets_[start] - 1 : offsets_[start];
  const uint32_t to = end == n ? text_.size() : offsets_[end];
  text_.erase(from, to - from);
  count_ = n - (end - start);
  offsets_known_ = false;
  return kOk;
}

Result CQelOid::append_to_oid(IQelOid* oid, bool implied) const {
  if (!oid || oid == static_cast<const IQelOid*>(this)) return kErrInvalidArg;
  if (!implied) {
    if (Result r = oid->append_arc_u32(arc_count()); r != kOk) return r;
  }
  return oid->append_oid(this);
}

Result CQelOid::from_oid(const IQelOid* oid, bool implied, uint32_t count) {
  uint32_t first = 0;
  uint32_t take = 0;
  if (Result r = index_arc_range(oid, implied, count, &first, &take); r != kOk) return r;
  const char* text = oid->text();
  const size_t length = oid->text_length();
  const size_t begin = skip_arcs(text, length, 0, first);
  size_t end = skip_arcs(text, length, begin, take);
  if (end > begin && text[end - 1] == '.') --end;
  if (take == 0) end = begin;
  if (Result r = text_.assign(text + begin, static_cast<uint32_t>(end - begin)); r != kOk) return r;
  count_ = take;
  count_known_ = true;
  offsets_known_ = false;
  return kOk;
}

}  // namespace orv::smi
