// The USM record of a host's open: authPriv, SHA/AES, with the pass phrases
// the lab's agents are given for their users.
#pragma once

#include <cstdio>

#include "orv/orv.h"

namespace orv::test {

inline OrvUSMParameters auth_priv_usm(const char* user) {
  OrvUSMParameters usm{};
  usm.security_level = usm.auth_protocol = usm.priv_protocol = 2;
  std::snprintf(usm.user_name, sizeof(usm.user_name), "%s", user);
  std::snprintf(usm.auth_pass_phrase, sizeof(usm.auth_pass_phrase), "auth-phrase-17");
  std::snprintf(usm.priv_pass_phrase, sizeof(usm.priv_pass_phrase), "priv-phrase-23");
  return usm;
}

}  // namespace orv::test
