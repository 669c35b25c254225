// BER tags and fixed values of SNMPv1/v2c messages.
#pragma once

#include <cstdint>

namespace orv {

inline constexpr uint8_t kTagInteger = 0x02;
inline constexpr uint8_t kTagOctetString = 0x04;
inline constexpr uint8_t kTagNull = 0x05;
inline constexpr uint8_t kTagOid = 0x06;
inline constexpr uint8_t kTagSequence = 0x30;
inline constexpr uint8_t kTagIpAddress = 0x40;
inline constexpr uint8_t kTagTimeTicks = 0x43;
inline constexpr uint8_t kTagPduBase = 0xA0;  // + PDU type
inline constexpr uint8_t kTagSnmpV2Trap = 0xA7;
inline constexpr int32_t kPduTypeLast = 8;

// Error-status values a message may carry (noError .. inconsistentName).
inline constexpr int32_t kErrorStatusMax = 18;
// What an SNMPv1 agent answers a GETNEXT past the last object of its view.
inline constexpr int32_t kErrorStatusNoSuchName = 2;

// SNMPv1 Trap: generic-trap 0..5 are the standard traps under this
// enterprise; 6 is enterpriseSpecific.
inline constexpr char kStandardTrapsText[] = "1.3.6.1.6.3.1.1.5";
inline constexpr int32_t kGenericTrapEnterpriseSpecific = 6;

// Tags a varbind value may carry on receipt.
inline bool is_decodable_value_tag(uint8_t tag) {
  switch (tag) {
    case 0x02: case 0x04: case 0x05: case 0x06:
    case 0x40: case 0x41: case 0x42: case 0x43: case 0x44: case 0x46:
    case 0x80: case 0x81: case 0x82:
      return true;
    default:
      return false;
  }
}

}  // namespace orv
