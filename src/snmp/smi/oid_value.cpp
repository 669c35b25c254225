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

const OctetStorage& CQelOid::current_text() const {
  if (text_known_) return text_;
  const uint32_t count = arcs_.size();
  const size_t room = oid_arcs_text_room(count);
  text_.clear();
  uint8_t* where = nullptr;
  // Without memory the text reads "" until the next try.
  if (room > UINT32_MAX - 2 || text_.grow_by(static_cast<uint32_t>(room), &where) != kOk) return text_;
  const size_t length = oid_arcs_print(arcs_.data(), count, false, reinterpret_cast<char*>(where));
  text_.truncate(static_cast<uint32_t>(length));
  text_known_ = true;
  return text_;
}

bool CQelOid::has_arc_form() const {
  if (arc_form_ == ArcForm::kUnknown) {
    arcs_.clear();
    switch (oid_text_append_arcs(text_.c_str(), text_.size(), &arcs_)) {
      case OidArcsParse::kOk:
        arc_form_ = ArcForm::kKnown;
        break;
      case OidArcsParse::kNoArcForm:
        arc_form_ = ArcForm::kNone;
        break;
      case OidArcsParse::kNoMemory:
        return false;  // stays unknown: the text path serves meanwhile
    }
  }
  return arc_form_ == ArcForm::kKnown;
}

Result CQelOid::accept(IQesValueVisitor* visitor) { return visitor ? visitor->visit_oid(this) : kErrInvalidArg; }

Result CQelOid::assign(const IQelSmiValue* other) {
  const auto* source = same_kind<CQelOid>(other);
  if (!source) return kErrInvalidArg;
  if (source == this) return kOk;
  if (source->text_known_) {
    if (Result r = text_.assign(source->text_.data(), source->text_.size()); r != kOk) return r;
    text_known_ = true;
    arc_form_ = source->arc_form_ == ArcForm::kNone ? ArcForm::kNone : ArcForm::kUnknown;
    if (source->arc_form_ == ArcForm::kKnown && arcs_.assign(source->arcs_.data(), source->arcs_.size()) == kOk)
      arc_form_ = ArcForm::kKnown;
    return kOk;
  }
  if (Result r = arcs_.assign(source->arcs_.data(), source->arcs_.size()); r != kOk) return r;
  arc_form_ = ArcForm::kKnown;
  text_known_ = false;
  return kOk;
}

void CQelOid::clear() {
  text_.clear();
  text_known_ = true;
  arcs_.clear();
  arc_form_ = ArcForm::kKnown;
}

bool CQelOid::equals(const IQelSmiValue* other) const {
  const auto* source = same_kind<CQelOid>(other);
  if (!source) return false;
  // Equal arcs print equally; otherwise the texts decide.
  if (has_arc_form() && source->has_arc_form()) return arcs_.equals(source->arcs_.data(), source->arcs_.size());
  const OctetStorage& theirs = source->current_text();
  return current_text().equals(theirs.data(), theirs.size());
}

Result CQelOid::query(uint32_t id, void** out) {
  if (out && id == (kQueryKindBase | kSmiOid)) {
    *out = static_cast<IQelOid*>(this);
    return kOk;
  }
  return CQelSmiValue::query(id, out);
}

bool CQelOid::is_valid() const {
  if (has_arc_form()) return true;
  return oid_text_is_valid(text_.c_str(), text_.size());
}

Result CQelOid::write_text(IQelBuffer* buffer) const {
  if (!buffer) return kErrInvalidArg;
  const OctetStorage& text = current_text();
  return buffer->set_bytes(text.data(), text.size());
}

const uint8_t* CQelOid::get_bytes(uint32_t* length, Result* status) const {
  if (!length) {
    put_status(status, kErrInvalidArg);
    return nullptr;
  }
  const OctetStorage& text = current_text();
  *length = text.size();
  put_status(status, kOk);
  return text.data();
}

Result CQelOid::set_text(const char* text) {
  if (!text) {
    clear();
    return kOk;
  }
  if (Result r = text_.assign(text, static_cast<uint32_t>(std::strlen(text))); r != kOk) return r;
  text_known_ = true;
  arc_form_ = ArcForm::kUnknown;
  return kOk;
}

Result CQelOid::put_content(IQelContentSink* sink) const {
  if (!sink) return kErrInvalidArg;
  const OctetStorage& text = current_text();
  return sink->take_content(text.data(), text.size());
}

Result CQelOid::put_counted_content(IQelContentSink* sink) const {
  if (!sink) return kErrInvalidArg;
  const OctetStorage& text = current_text();
  return sink->take_counted_content(text.data(), text.size());
}

uint32_t CQelOid::length() const {
  if (has_arc_form()) return arcs_.size();
  return oid_text_arc_count(text_.c_str(), text_.size());
}

uint32_t CQelOid::element(uint32_t index, Result* status) const {
  const uint32_t count = length();
  const Result r = count == 0 ? kErrEmptyOid : index >= count ? kErrNoValue : kOk;
  if (r != kOk) {
    put_status(status, r);
    return kSmiNotSupported32;
  }
  if (arc_form_ == ArcForm::kKnown) {
    put_status(status, kOk);
    return arcs_[index];
  }
  size_t position = skip_arcs(text_.c_str(), text_.size(), 0, index);
  // append_arc() writes a negative number with its sign; it reads back as
  // the same 32 bits, so a negative INTEGER index survives the OID.
  const bool negative = position + 1 < text_.size() && text_.c_str()[position] == '-';
  if (negative) ++position;
  uint32_t arc = 0;
  bool sound = oid_text_read_arc(text_.c_str(), text_.size(), &position, &arc);
  if (negative) {
    sound = sound && arc <= 0x80000000u;
    arc = sound ? 0u - arc : kSmiNotSupported32;
  }
  put_status(status, sound ? kOk : kErrInvalidArg);
  return arc;
}

Result CQelOid::append_text_part(const char* part, uint32_t length) {
  if (length == 0) return kOk;
  current_text();
  if (!text_known_) return kErrNoMemory;
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
  // A text without arcs keeps having none; otherwise parse again on need.
  if (arc_form_ != ArcForm::kNone) arc_form_ = ArcForm::kUnknown;
  return kOk;
}

Result CQelOid::append_printed(uint32_t first) {
  if (!text_known_) return kOk;  // printed from the arcs when needed
  const uint32_t count = arcs_.size() - first;
  const size_t room = oid_arcs_text_room(count) + 1;
  uint8_t* where = nullptr;
  const uint32_t old_length = text_.size();
  if (room > UINT32_MAX - 2 - old_length || text_.grow_by(static_cast<uint32_t>(room), &where) != kOk) {
    text_known_ = false;  // the arcs stay right; the text is printed later
    return kOk;
  }
  const size_t length = oid_arcs_print(arcs_.data() + first, count, old_length != 0, reinterpret_cast<char*>(where));
  text_.truncate(old_length + static_cast<uint32_t>(length));
  return kOk;
}

Result CQelOid::append_text(const char* text) {
  if (!text) return kErrInvalidArg;
  const auto length = static_cast<uint32_t>(std::strlen(text));
  if (length == 0) return kOk;
  if (has_arc_form()) {
    const uint32_t old_count = arcs_.size();
    switch (oid_text_append_arcs(text, length, &arcs_)) {
      case OidArcsParse::kOk:
        // `text` may lie in this text, which the printing overwrites.
        if (text_known_ && append_text_part(text, length) == kOk) {
          arc_form_ = ArcForm::kKnown;
        } else {
          text_known_ = false;
        }
        return kOk;
      case OidArcsParse::kNoMemory:
        return kErrNoMemory;
      case OidArcsParse::kNoArcForm:
        break;
    }
    arcs_.truncate(old_count);
  }
  return append_text_part(text, length);
}

Result CQelOid::append_arc(int32_t arc) {
  if (arc >= 0) return append_arc_u32(static_cast<uint32_t>(arc));
  char digits[kMaxDecimalI32];
  return append_text_part(digits, format_i32(arc, digits));
}

Result CQelOid::append_arc_u32(uint32_t arc) { return append_arcs(&arc, 1); }

Result CQelOid::append_oid(const IQelOid* other) {
  if (!other) return kErrInvalidArg;
  uint32_t count = 0;
  const uint32_t* arcs = other->arc_view(&count);
  if (arcs && has_arc_form()) return append_arcs(arcs, count);
  return append_text_part(other->text(), other->text_length());
}

Result CQelOid::append_arcs(const uint32_t* arcs, uint32_t count) {
  if (count == 0) return kOk;
  if (!arcs) return kErrInvalidArg;
  if (has_arc_form()) {
    const uint32_t first = arcs_.size();
    if (Result r = arcs_.append(arcs, count); r != kOk) return r;
    return append_printed(first);
  }
  // A text without arcs grows as text.
  constexpr uint32_t kWorstPerArc = kMaxDecimalU32 + 1;
  const uint32_t old_length = text_.size();
  if (count > (UINT32_MAX - 2 - old_length) / kWorstPerArc) return kErrNoMemory;
  uint8_t* where = nullptr;
  if (Result r = text_.grow_by(count * kWorstPerArc, &where); r != kOk) return r;
  const size_t length = oid_arcs_print(arcs, count, old_length != 0, reinterpret_cast<char*>(where));
  text_.truncate(old_length + static_cast<uint32_t>(length));
  return kOk;
}

Result CQelOid::set_arcs(const uint32_t* arcs, uint32_t count) {
  if (!arcs && count != 0) return kErrInvalidArg;
  // A response usually names what its request named: then nothing changes.
  if (arc_form_ == ArcForm::kKnown && arcs_.equals(arcs, count)) return kOk;
  if (Result r = arcs_.assign(arcs, count); r != kOk) return r;
  arc_form_ = ArcForm::kKnown;
  text_known_ = false;
  return kOk;
}

Result CQelOid::get_arcs(uint32_t* arcs, uint32_t capacity, uint32_t* count) const {
  if (!count) return kErrInvalidArg;
  const uint32_t n = length();
  *count = n;
  if (n > capacity || (n != 0 && !arcs)) return kErrInvalidArg;
  if (arc_form_ == ArcForm::kKnown) {
    if (n != 0) std::memcpy(arcs, arcs_.data(), sizeof(uint32_t) * n);
    return kOk;
  }
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
  const OctetStorage& mine = current_text();
  return oid_text_compare(mine.c_str(), mine.size(), text, std::strlen(text));
}

int32_t CQelOid::compare_oid(const IQelOid* other, Result* status) const {
  if (!other) {
    put_status(status, kErrInvalidArg);
    return -1;
  }
  put_status(status, kOk);
  const char* theirs = other->text();
  const uint32_t their_length = other->text_length();
  const OctetStorage& mine = current_text();
  return oid_text_compare(mine.c_str(), mine.size(), theirs, their_length);
}

Result CQelOid::strip_prefix(const char* prefix, uint32_t length) {
  if (length == 0) return kOk;
  const OctetStorage& mine = current_text();
  if (!text_known_) return kErrNoMemory;
  const int32_t order = oid_text_compare(mine.c_str(), mine.size(), prefix, length);
  if (order == kOidEqual) {
    clear();
    return kOk;
  }
  if (order != kOidOtherIsPrefix) return kErrInvalidArg;
  // The prefix ends at a dot of this text, so it spans whole arcs.
  const uint32_t removed = oid_text_arc_count(prefix, length);
  text_.erase(0, length + 1);  // the prefix and its dot
  if (arc_form_ == ArcForm::kKnown)
    arcs_.erase(0, removed);
  else
    arc_form_ = ArcForm::kUnknown;  // "01.3" less "01" is "3"
  return kOk;
}

Result CQelOid::strip_prefix_text(const char* prefix) {
  if (!prefix) return kErrInvalidArg;
  return strip_prefix(prefix, static_cast<uint32_t>(std::strlen(prefix)));
}

Result CQelOid::strip_prefix_oid(const IQelOid* prefix) {
  if (!prefix) return kErrInvalidArg;
  if (prefix == static_cast<const IQelOid*>(this)) {
    clear();
    return kOk;
  }
  return strip_prefix(prefix->text(), prefix->text_length());
}

Result CQelOid::erase_arcs(uint32_t start, uint32_t count) {
  const uint32_t n = length();
  if (start >= n) return kErrInvalidArg;
  if (count == 0) return kOk;
  const uint32_t end = count > n - start ? n : start + count;
  if (start == 0 && end == n) {
    clear();
    return kOk;
  }
  if (arc_form_ == ArcForm::kKnown) {
    arcs_.erase(start, end - start);
    text_known_ = false;
    return kOk;
  }
  // Erasing up to the end takes the dot before the range, else the one after.
  const char* text = text_.c_str();
  const size_t length = text_.size();
  const size_t first = skip_arcs(text, length, 0, start);
  const size_t from = end == n ? first - 1 : first;
  const size_t to = end == n ? length : skip_arcs(text, length, first, end - start);
  text_.erase(static_cast<uint32_t>(from), static_cast<uint32_t>(to - from));
  arc_form_ = ArcForm::kUnknown;
  return kOk;
}

Result CQelOid::append_to_oid(IQelOid* oid, bool implied) const {
  if (!oid || oid == static_cast<const IQelOid*>(this)) return kErrInvalidArg;
  if (!implied) {
    if (Result r = oid->append_arc_u32(length()); r != kOk) return r;
  }
  return oid->append_oid(this);
}

Result CQelOid::from_oid(const IQelOid* oid, bool implied, uint32_t count) {
  uint32_t first = 0;
  uint32_t take = 0;
  if (Result r = index_arc_range(oid, implied, count, &first, &take); r != kOk) return r;
  uint32_t arc_count = 0;
  if (const uint32_t* arcs = oid->arc_view(&arc_count)) return set_arcs(arcs + first, take);
  const char* text = oid->text();
  const size_t length = oid->text_length();
  const size_t begin = skip_arcs(text, length, 0, first);
  size_t end = skip_arcs(text, length, begin, take);
  if (end > begin && text[end - 1] == '.') --end;
  if (take == 0) end = begin;
  if (Result r = text_.assign(text + begin, static_cast<uint32_t>(end - begin)); r != kOk) return r;
  text_known_ = true;
  arc_form_ = ArcForm::kUnknown;
  return kOk;
}

}  // namespace orv::smi
