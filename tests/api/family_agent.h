// A private Net-SNMP snmpd whose sysObjectID lies in the supported family,
// on a loopback address of its own: an open passes the supported-device
// check against it. Tests that only need "some supported printer" use it
// (it starts faster than a simulated printer).
#pragma once

#include <memory>
#include <string>

#include "support/lab.h"

namespace orv::test {

// The supported family's sysObjectID prefix, as the filters take it.
inline const std::string kFamily = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6";
inline constexpr const char kFamilySysObjectId[] = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";

struct FamilyAgent {
  std::string address;
  std::unique_ptr<SnmpdAgent> agent;

  FamilyAgent() : address(free_loopback_address()) {
    agent = std::make_unique<SnmpdAgent>(
        SnmpdOptions{.addresses = {address}, .sysobjectid = kFamilySysObjectId});
  }
};

}  // namespace orv::test
