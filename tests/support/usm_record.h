// The USM record of a host's open: authPriv, SHA/AES, with the pass phrases
// the lab's agents are given for their users.
#pragma once

#include <cstdio>

#include "orv/orv.h"

namespace orv::test {

inline constexpr const char kLabAuthPass[] = "auth-phrase-17";
inline constexpr const char kLabPrivPass[] = "priv-phrase-23";

inline OrvUSMParameters auth_priv_usm(const char* user) {
  OrvUSMParameters usm{};
  std::snprintf(usm.user_name, sizeof(usm.user_name), "%s", user);
  usm.security_level = 2;
  usm.auth_protocol = 2;
  usm.priv_protocol = 2;
  std::snprintf(usm.auth_pass_phrase, sizeof(usm.auth_pass_phrase), "%s", kLabAuthPass);
  std::snprintf(usm.priv_pass_phrase, sizeof(usm.priv_pass_phrase), "%s", kLabPrivPass);
  return usm;
}

}  // namespace orv::test
