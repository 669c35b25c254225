// Who is asked and how: version, time-out, retries, maximum message size,
// local port and peer address, plus the kind's own settings (a community, or
// SNMPv3 user-based security).
#pragma once

#include <cstdint>

#include "net/network_address.h"
#include "result_codes.h"
#include "snmp/message/snmp_codec.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

enum SnmpVersion : int32_t {
  kSnmpVersionUnset = -1,
  kSnmpV1 = 0,
  kSnmpV2c = 1,
};

enum TargetKind : int32_t {
  kTargetCommunity = 0,
  kTargetSnmpV3 = 1,
};

// Translate types: how a received message is mapped onto a target.
inline constexpr int32_t kTranslateNone = -1;
inline constexpr int32_t kTranslateCommunity = 0;

// Ids of query_interface().
inline constexpr int32_t kTargetInterfaceCommon = 0;
inline constexpr int32_t kTargetInterfaceCommunity = 2;
inline constexpr int32_t kTargetInterfaceCommunityAlt = 3;
inline constexpr int32_t kTargetInterfaceSnmpV3 = 4;
inline constexpr int32_t kTargetInterfaceSnmpV3Alt = 5;

inline constexpr uint32_t kSecurityNameMax = 32;

class IQesSnmpTarget {
 public:
  // Slot order is part of the interface; do not reorder.
  // The codec's header operation of this kind.
  virtual Result accept(IQesCodec* codec) = 0;                                   // 1
  virtual void release() = 0;                                                    // 2
  // (3: the destructor, below)
  // A new target of the same kind with copied settings; nullptr with -3.
  virtual IQesSnmpTarget* clone(Result* status = nullptr) const = 0;             // 4
  // The common settings (the address cloned) and, for a target of the same
  // kind, its own settings such as the community.
  virtual Result copy_from(const IQesSnmpTarget* other) = 0;                     // 5
  // Community targets: equal communities, or both unset. The common settings
  // are not compared.
  virtual bool equals(const IQesSnmpTarget* other) const = 0;                    // 6
  virtual int32_t kind() const = 0;                                              // 7
  // The kind-specific interface by id (kTargetInterface*); -4 otherwise.
  virtual Result query_interface(int32_t id, void** out) = 0;                    // 8
  virtual void set_version(int32_t version) = 0;                                 // 9
  virtual void set_timeout(int32_t milliseconds) = 0;                            // 10
  virtual void set_retries(int32_t retries) = 0;                                 // 11
  virtual void set_max_message_size(uint64_t size) = 0;                          // 12
  virtual void set_port(uint16_t port) = 0;                                      // 13
  virtual int32_t version() const = 0;                                           // 14
  virtual int32_t timeout() const = 0;                                           // 15
  virtual int32_t retries() const = 0;                                           // 16
  virtual uint64_t max_message_size() const = 0;                                 // 17
  virtual uint16_t port() const = 0;                                             // 18
  // Takes the address and releases the old one (nullptr removes it).
  virtual void set_address(IQelNetworkAddress* address) = 0;                     // 19
  virtual IQelNetworkAddress* address() const = 0;                               // 20

 protected:
  virtual ~IQesSnmpTarget() = default;                                           // 3
};

class IQesCommunityTarget : public IQesSnmpTarget {
 public:
  // A copy of `community` (-3 when it cannot be made); nullptr clears it.
  virtual Result set_community(const char* community) = 0;
  // nullptr while unset.
  virtual const char* community() const = 0;
  // A community received as `length` bytes (cut at an embedded NUL).
  virtual Result set_community_bytes(const void* bytes, uint32_t length) = 0;

 protected:
  ~IQesCommunityTarget() override = default;
};

class IQesSnmpV3Target : public IQesSnmpTarget {
 public:
  // At most kSecurityNameMax characters, else -2 (nothing changes);
  // nullptr stores "".
  virtual Result set_security_name(const char* name) = 0;
  virtual const char* security_name() const = 0;
  virtual void set_security_level(int32_t level) = 0;
  virtual int32_t security_level() const = 0;
  virtual void set_auth_protocol(int32_t protocol) = 0;
  virtual int32_t auth_protocol() const = 0;
  virtual void set_priv_protocol(int32_t protocol) = 0;
  virtual int32_t priv_protocol() const = 0;
  // Texts: a copy (-3 when it cannot be made); nullptr stores "".
  virtual Result set_auth_passphrase(const char* text) = 0;
  virtual const char* auth_passphrase() const = 0;
  virtual Result set_priv_passphrase(const char* text) = 0;
  virtual const char* priv_passphrase() const = 0;
  virtual Result set_context_name(const char* text) = 0;
  virtual const char* context_name() const = 0;
  // Bytes and their count; a null pointer or count 0 stores the empty text.
  virtual Result set_context_engine_id(const void* bytes, uint32_t length) = 0;
  virtual const IQelBuffer* context_engine_id() const = 0;

 protected:
  ~IQesSnmpV3Target() override = default;
};

using SnmpTargetPtr = QelPtr<IQesSnmpTarget>;

// A target by translate type: kTranslateCommunity gives a community target,
// any other type -2. `status` (optional): 0, -2 or -3.
IQesSnmpTarget* qes_create_snmp_target(int32_t translate_type, Result* status = nullptr);
IQesSnmpV3Target* qes_create_snmpv3_target(Result* status = nullptr);

// The kind-specific parts, or nullptr for another kind.
IQesCommunityTarget* as_community_target(IQesSnmpTarget* target);
IQesSnmpV3Target* as_snmpv3_target(IQesSnmpTarget* target);

}  // namespace orv
