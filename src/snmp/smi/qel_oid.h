// An OBJECT IDENTIFIER: an SMI value (kind 6) that stands for exactly its
// dotted decimal text ("1.3.6.1.2.1.1.2", no leading dot) and adds the
// prefix comparisons and appends that table walks and index building need.
// length() is the arc count, element() one arc, set_text() stores a text
// unchecked and is_valid() checks it. Texts and arcs are converted into each
// other lazily by const operations, so one OID must not be used by two
// threads at once, not even for reading.
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/smi_value.h"

namespace orv {

// compare_text / compare_oid results. Ordering is by characters, not by
// arc values ("1.10" sorts before "1.9"); the prefix results are exact.
enum OidOrder : int32_t {
  kOidEqual = 0,
  kOidPrefixOfOther = 1,  // the other continues this one after a "."
  kOidOtherIsPrefix = 2,  // this one continues the other after a "."
  kOidBefore = 3,
  kOidAfter = 4,
};

// Room where a codec keeps the encoded form of an OID's arcs, so that an
// unchanged OID sent again is not encoded again. `length` bytes of `bytes`
// are current (0: none); every change of the OID empties it.
struct ArcCodecCache {
  static constexpr uint32_t kBytes = 40;
  uint32_t length = 0;
  uint8_t bytes[kBytes];
};

class IQelOid : public virtual IQelSmiValue {
 public:
  // Slot order is part of the interface; do not reorder. These follow the
  // common value slots. element() also gives -2 in its status for an arc
  // that is not a 32-bit number (the value read, saturated); a negative arc,
  // as append_arc() writes it, reads as its 32-bit two's complement.
  virtual IQelOid* clone_oid(Result* status = nullptr) const = 0;                  // 1
  // An OidOrder; a null argument gives -1 with -2 in `status`.
  virtual int32_t compare_text(const char* text, Result* status = nullptr) const = 0;       // 2
  virtual int32_t compare_oid(const IQelOid* other, Result* status = nullptr) const = 0;    // 3
  // Removes a leading prefix's arcs. Allowed when this OID equals the prefix
  // or lies below it (an empty prefix removes nothing), else -2.
  virtual Result strip_prefix_text(const char* prefix) = 0;                        // 4
  virtual Result strip_prefix_oid(const IQelOid* prefix) = 0;                      // 5
  // Appended after a "." unless this OID is empty; "" appends nothing.
  virtual Result append_text(const char* text) = 0;                                // 6
  // Written in signed decimal.
  virtual Result append_arc(int32_t arc) = 0;                                      // 7
  virtual Result append_oid(const IQelOid* other) = 0;                             // 8
  // Removes `count` arcs from `start` (clipped at the end); -2 when `start`
  // is not below the arc count.
  virtual Result erase_arcs(uint32_t start, uint32_t count) = 0;                   // 9

  // Further operations (fast paths for the codec and the walkers).

  // The dotted text, never null ("" when empty); valid until the next change.
  virtual const char* text() const = 0;                                            // 10
  virtual uint32_t text_length() const = 0;                                        // 11
  // Written in unsigned decimal: the codec's sub-identifiers are 32-bit
  // unsigned.
  virtual Result append_arc_u32(uint32_t arc) = 0;                                 // 12
  // Replaces the content with `count` arcs (nullptr with count 0 empties);
  // one text write, no re-parsing.
  virtual Result set_arcs(const uint32_t* arcs, uint32_t count) = 0;               // 13
  virtual Result append_arcs(const uint32_t* arcs, uint32_t count) = 0;            // 14
  // Writes the arcs into `arcs` (capacity `capacity`) and their number into
  // `count`. -2 for a null `count`, a capacity too small (`count` still tells
  // the number needed), or an arc that is not a 32-bit unsigned number.
  virtual Result get_arcs(uint32_t* arcs, uint32_t capacity, uint32_t* count) const = 0;  // 15
  // Keeps text capacity for `text_length` characters (a reused OID then
  // grows without reallocating).
  virtual Result reserve(uint32_t text_length) = 0;                                // 16
  // The arcs in place, their number in `count`, when the text is exactly
  // their decimal printing (no leading zeros, every arc within 32 bits);
  // otherwise nullptr with `count` 0. Valid until the next change.
  virtual const uint32_t* arc_view(uint32_t* count) const = 0;                      // 17
  // The codec's cache for the arcs; nullptr when arc_view() gives none.
  virtual ArcCodecCache* arc_codec_cache() const = 0;                               // 18

 protected:
  ~IQelOid() override = default;
};

using OidPtr = QelPtr<IQelOid>;

// The IQelOid of a value of kind 6, else nullptr.
inline IQelOid* as_oid(IQelSmiValue* value) {
  void* out = nullptr;
  if (value && value->query(kQueryKindBase | kSmiOid, &out) == kOk) return static_cast<IQelOid*>(out);
  return nullptr;
}
inline const IQelOid* as_oid(const IQelSmiValue* value) {
  return as_oid(const_cast<IQelSmiValue*>(value));
}

}  // namespace orv
