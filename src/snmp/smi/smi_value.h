// The common interface of every SMI value that travels in a variable binding.
// Values are heap objects created by kind code (snmp/smi/smi_factory.h) and
// ended with release(). Operations a kind does not support answer:
//   result codes     -> kErrNotSupported (-5)
//   numbers          -> all bits set, kErrNotSupported in `status`
//   the 16-bit getter-> 0xFFFF, kErrNotSupported in `status`
// Every `status` out-parameter is optional (nullptr allowed) and receives 0
// on success.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

class IQesValueVisitor;
class IQelOid;

// Kind codes; the codes of the encodable kinds are their BER tags.
enum SmiKind : uint32_t {
  kSmiInteger = 2,
  kSmiOctetString = 4,
  kSmiNull = 5,
  kSmiOid = 6,
  kSmiIpAddress = 64,
  kSmiCounter32 = 65,
  kSmiGauge32 = 66,
  kSmiTimeTicks = 67,
  kSmiOpaque = 68,
  kSmiCounter64 = 70,
  kSmiIpv6Address = 72,
  kSmiNoSuchObject = 128,
  kSmiNoSuchInstance = 129,
  kSmiEndOfMibView = 130,
  kSmiIpv4PortAddress = 65282,  // internal only, never encoded
  kSmiIpxAddress = 65283,       // internal only, never encoded
};

// Interface ids answered by query().
inline constexpr uint32_t kQuerySmiValue = 0xFF00u;       // the common interface
inline constexpr uint32_t kQueryObject = 0xF000FF00u;     // the most derived object
inline constexpr uint32_t kQueryKindBase = 0xF0000000u;   // | kind: the kind-specific part
// The kind-specific part of OBJECT IDENTIFIER is its IQelOid.

inline constexpr uint32_t kSmiNotSupported32 = 0xFFFFFFFFu;
inline constexpr uint16_t kSmiNotSupported16 = 0xFFFFu;
// from_oid: take every arc.
inline constexpr uint32_t kSmiAllArcs = 0xFFFFFFFFu;

// Receives a value's content from the hand-over operations (24, 26), so an
// encoder can copy octets straight into its output without an owned copy.
class IQelContentSink {
 public:
  // The raw content octets.
  virtual Result take_content(const uint8_t* data, uint32_t length) = 0;
  // The content octets to be preceded by their length (the sink writes both).
  virtual Result take_counted_content(const uint8_t* data, uint32_t length) = 0;

 protected:
  virtual ~IQelContentSink() = default;
};

class IQelSmiValue {
 public:
  // Slot order is part of the interface; do not reorder.

  // Calls the visitor operation of this value's kind; -2 for a null visitor.
  virtual Result accept(IQesValueVisitor* visitor) = 0;                      // 1
  virtual void release() = 0;                                                // 2
  // A new value of the same kind and content, or nullptr with -3.
  virtual IQelSmiValue* clone(Result* status = nullptr) const = 0;           // 3
  // Copies the content of a value of the same kind; another kind or null -2.
  virtual Result assign(const IQelSmiValue* other) = 0;                      // 4
  // Empties the content: length 0, number 0, address 0.0.0.0 (IPv6 ::).
  virtual void clear() = 0;                                                  // 5
  virtual uint32_t kind() const = 0;                                         // 6
  // Same kind and same content.
  virtual bool equals(const IQelSmiValue* other) const = 0;                  // 7
  // 0 for every kind.
  virtual uint32_t flags() const = 0;                                        // 8
  // kQuerySmiValue, kQueryObject or kQueryKindBase | kind; anything else
  // stores nullptr and gives -4.
  virtual Result query(uint32_t id, void** out) = 0;                         // 9
  // Syntax check of OBJECT IDENTIFIER texts; true for every other kind.
  virtual bool is_valid() const = 0;                                         // 10
  // INTEGER only.
  virtual int32_t get_int32(Result* status = nullptr) const = 0;             // 11
  // Gauge32, Counter32, TimeTicks; IpAddress (and the port kind) as the
  // big-endian number of its four octets.
  virtual uint32_t get_uint32(Result* status = nullptr) const = 0;           // 12
  // A new buffer with the text form (caller releases it).
  virtual IQelBuffer* to_text(Result* status = nullptr) const = 0;           // 13
  virtual Result write_text(IQelBuffer* buffer) const = 0;                   // 14
  // Byte-buffer kinds: their octets; OBJECT IDENTIFIER: its dotted text.
  // Lent; valid until the value changes. Null `length` gives nullptr, -2.
  virtual const uint8_t* get_bytes(uint32_t* length, Result* status = nullptr) const = 0;  // 15
  virtual IQelBuffer* to_bytes(Result* status = nullptr) const = 0;          // 16
  virtual Result write_bytes(IQelBuffer* buffer) const = 0;                  // 17
  // Port of the IPv4-with-port kind, socket of the IPX kind.
  virtual uint16_t get_uint16(Result* status = nullptr) const = 0;           // 18
  // Counter64 halves.
  virtual uint32_t get_high32(Result* status = nullptr) const = 0;           // 19
  virtual uint32_t get_low32(Result* status = nullptr) const = 0;            // 20
  virtual Result set_int32(int32_t value) = 0;                               // 21
  // Gauge32 family; Counter64 as its lower half (upper half cleared);
  // IpAddress as four big-endian octets.
  virtual Result set_uint32(uint32_t value) = 0;                             // 22
  // Numbers: C decimal conversion (not a number gives 0, null -2); octet
  // strings take the bytes (null empties); address kinds parse their text
  // form (-2 when malformed); OBJECT IDENTIFIER stores the text unchecked.
  virtual Result set_text(const char* text) = 0;                             // 23
  // Hands the content octets to `sink->take_content` (byte-buffer kinds;
  // OBJECT IDENTIFIER hands its dotted text).
  virtual Result put_content(IQelContentSink* sink) const = 0;               // 24
  // Byte-buffer kinds; fixed-size address kinds accept their size only (-2).
  virtual Result set_bytes(const void* bytes, uint32_t length) = 0;          // 25
  // As put_content, through `sink->take_counted_content`.
  virtual Result put_counted_content(IQelContentSink* sink) const = 0;       // 26
  // Counter64's upper half; for the IPv4-with-port and IPX kinds the port or
  // socket (a value above 0xFFFF gives -2). See also set_uint16().
  virtual Result set_high32(uint32_t value) = 0;                             // 27
  // Counter64's lower half.
  virtual Result set_low32(uint32_t value) = 0;                              // 28
  // Not supported by any kind.
  virtual Result reserved() = 0;                                             // 29
  // Octets of byte-buffer kinds (4 for IpAddress), arcs of an OBJECT
  // IDENTIFIER, 1 for the number kinds, 0 for NULL and the exception kinds.
  virtual uint32_t length() const = 0;                                       // 30
  // Encoder helper for the byte-buffer kinds: copies the content so that it
  // ends just before `position`, when `room` (the bytes free before
  // `position`) holds it; otherwise writes nothing and gives -211.
  virtual Result copy_before(uint8_t* position, size_t room) const = 0;      // 31
  // One octet of a byte-buffer kind (-2 past the end); one arc of an OBJECT
  // IDENTIFIER (-8 empty OID, -7 past the last arc).
  virtual uint32_t element(uint32_t index, Result* status = nullptr) const = 0;  // 32
  // Appends the value as arcs: a number as one arc; a byte-buffer value one
  // arc per octet, preceded by an arc holding the length unless `implied`
  // (an OBJECT IDENTIFIER value likewise, its arc count as the length).
  virtual Result append_to_oid(IQelOid* oid, bool implied) const = 0;        // 33
  // Empties `oid`, then append_to_oid.
  virtual Result to_oid(IQelOid* oid, bool implied) const = 0;               // 34
  // Takes arcs of `oid` as the content: `implied`: `count` arcs from the
  // first (kSmiAllArcs or more: all); not `implied`: the first arc is the
  // length, the following arcs the octets. Too few arcs, or an octet arc
  // above 255, give -401.
  virtual Result from_oid(const IQelOid* oid, bool implied, uint32_t count = kSmiAllArcs) = 0;  // 35

  // The port or socket setter under its own name (slot 27).
  Result set_uint16(uint16_t value) { return set_high32(value); }

 protected:
  virtual ~IQelSmiValue() = default;
};

using SmiValuePtr = QelPtr<IQelSmiValue>;

}  // namespace orv
