// SNMPv3 printers for host-side tests: the USM record of an open (authPriv,
// SHA/AES, with the lab's pass phrases), a private snmpd serving printer-a
// to user "v3lab", and a handle opened over SNMPv3.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "orv/orv.h"
#include "support/lab.h"

namespace orv::test {

inline OrvUSMParameters auth_priv_usm(const char* user) {
  OrvUSMParameters usm{};
  usm.security_level = usm.auth_protocol = usm.priv_protocol = 2;
  std::snprintf(usm.user_name, sizeof(usm.user_name), "%s", user);
  std::snprintf(usm.auth_pass_phrase, sizeof(usm.auth_pass_phrase), "auth-phrase-17");
  std::snprintf(usm.priv_pass_phrase, sizeof(usm.priv_pass_phrase), "priv-phrase-23");
  return usm;
}

inline SnmpdOptions v3_agent_options(const std::string& address, std::vector<std::string> conf = {}) {
  return {.addresses = {address}, .v3users = {"v3lab:SHA:auth-phrase-17:AES:priv-phrase-23"},
          .conf_lines = std::move(conf), .data_file = data_file("printer-a")};
}

struct V3Printer {
  OrvHandle h = nullptr;
  int32_t open = 1;
  V3Printer(const std::string& address, uint32_t timeout_ms, uint32_t retries) {
    const OrvUSMParameters usm = auth_priv_usm("v3lab");
    if (OrvInit(&h) == 0) open = OrvInitDeviceEx(h, address.c_str(), 1, ORV_SECURITY_USM, &usm, timeout_ms, retries);
  }
  ~V3Printer() { OrvUnInit(h); }
};

}  // namespace orv::test
