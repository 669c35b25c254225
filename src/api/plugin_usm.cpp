#include "api/plugin_usm.h"

#include <string.h>  // explicit_bzero

#include <cstring>

#include "device/text_copy.h"

namespace orv::api {

using orv::device::copy_text;

namespace {

bool in_0_to_2(int32_t v) { return v >= 0 && v <= 2; }

// A record text that fills its field without a terminator is cut one short.
template <std::size_t N, std::size_t M>
void copy_if_set(char (&dst)[N], const char (&src)[M]) {
  if (src[0] == '\0') return;
  std::memset(dst, 0, N);
  const std::size_t limit = (N < M ? N : M) - 1;
  std::size_t n = strnlen(src, limit);
  std::memcpy(dst, src, n);
}

}  // namespace

COrvPluginUSM::COrvPluginUSM() { restore_defaults(); }

void COrvPluginUSM::restore_defaults() {
  m_securityModel = kSecurityModelUnset;
  std::memset(m_userName, 0, sizeof m_userName);
  copy_text(m_userName, kDefaultUserName);
  m_securityLevel = kDefaultSecurityLevel;
  m_authProtocol = kDefaultAuthProtocol;
  m_privProtocol = kDefaultPrivProtocol;
  std::memset(m_authPassPhrase, 0, sizeof m_authPassPhrase);
  copy_text(m_authPassPhrase, kDefaultAuthPassPhrase);
  std::memset(m_privPassPhrase, 0, sizeof m_privPassPhrase);
  copy_text(m_privPassPhrase, kDefaultPrivPassPhrase);
  std::memset(m_contextName, 0, sizeof m_contextName);
}

COrvPluginUSM::~COrvPluginUSM() {
  explicit_bzero(m_authPassPhrase, sizeof(m_authPassPhrase));
  explicit_bzero(m_privPassPhrase, sizeof(m_privPassPhrase));
}

void COrvPluginUSM::set_parameters(int32_t security_model, const OrvUSMParameters* params) {
  restore_defaults();
  if (in_0_to_2(security_model)) m_securityModel = security_model;
  if (params == nullptr) return;
  copy_if_set(m_userName, params->user_name);
  const int32_t level = params->security_level;
  const int32_t auth = params->auth_protocol;
  const int32_t priv = params->priv_protocol;
  if (in_0_to_2(level)) m_securityLevel = level;
  if (in_0_to_2(auth)) m_authProtocol = auth;
  if (in_0_to_2(priv)) m_privProtocol = priv;
  copy_if_set(m_authPassPhrase, params->auth_pass_phrase);
  copy_if_set(m_privPassPhrase, params->priv_pass_phrase);
  copy_if_set(m_contextName, params->context_name);
}

}  // namespace orv::api
