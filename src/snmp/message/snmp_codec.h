// The header operations shared by encoder and decoder: a target accepts the
// codec and calls the one that fits its kind (double dispatch).
#pragma once

#include "result_codes.h"

namespace orv {

class IQesCommunityTarget;
class IQesSnmpV3Target;

class IQesCodec {
 public:
  // Slot order is part of the interface; do not reorder.
  // Version and community of an SNMPv1/v2c message.
  virtual Result code_community_header(IQesCommunityTarget* target) = 0;  // 1
  // SNMPv3 messages never pass through this codec: -5.
  virtual Result code_snmpv3_header(IQesSnmpV3Target* target) = 0;       // 2

 protected:
  virtual ~IQesCodec() = default;                                          // 3 destroy
};

}  // namespace orv
