// The SNMPv3 library session for one request, filled from an SNMPv3 target:
// peer name, version, retries, time-out, user, security level, protocols,
// keys derived from the pass phrases, context name and engine ID.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/network_address.h"
#include "result_codes.h"
#include "snmp/message/snmp_target.h"

struct snmp_session;

namespace orv::session {

// USM codes of the target (the settings object's codes).
inline constexpr int32_t kUsmNoAuthNoPriv = 0;
inline constexpr int32_t kUsmAuthNoPriv = 1;
inline constexpr int32_t kUsmAuthPriv = 2;
inline constexpr int32_t kUsmAuthMd5 = 1;
inline constexpr int32_t kUsmAuthSha = 2;
inline constexpr int32_t kUsmPrivDes = 1;
inline constexpr int32_t kUsmPrivAes = 2;

// The library's peer name: IPv4 "a.b.c.d", IPv6 "udp6:[addr]", IPX
// "ipx:addr", then ":port" (IP) or "/port" (IPX). The port is the address's
// own, else `target_port`; none when both are 0. -2 for another protocol or
// an address without text.
Result v3_peer_name(const IQelNetworkAddress* address, uint16_t target_port, std::string* out);

// Texts the library session points at; they must outlive the session's
// opening (the library copies them when it opens).
struct V3SessionTexts {
  std::string peer;
  std::string security_name;
  std::string context_name;
  std::vector<uint8_t> engine_id;
};

// Wipes the keys of a library session's settings when the scope ends.
class WipedSettings {
 public:
  explicit WipedSettings(snmp_session* settings) : settings_(settings) {}
  ~WipedSettings();
  WipedSettings(const WipedSettings&) = delete;
  WipedSettings& operator=(const WipedSettings&) = delete;

 private:
  snmp_session* settings_;
};

// Fills an initialised library session from the target. -2 for a target
// that is not SNMPv3, a level or protocol code outside the table, or an
// unusable address; a key derivation failure as the library's error mapped.
Result v3_fill_session(IQesSnmpTarget* target, V3SessionTexts* texts, snmp_session* session);

}  // namespace orv::session
