// COrvPluginUSM: the SNMPv3 settings of a handle.
#pragma once

#include <cstdint>

#include "orv/orv_option.hpp"

namespace orv::api {

inline constexpr int32_t kSecurityModelUnset = -1;
inline constexpr const char kDefaultUserName[] = "Tpolling";
inline constexpr int32_t kDefaultSecurityLevel = 2;  // authPriv
inline constexpr int32_t kDefaultAuthProtocol = 1;   // HMAC-MD5
inline constexpr int32_t kDefaultPrivProtocol = 1;   // DES
inline constexpr const char kDefaultAuthPassPhrase[] = "Kd7PyRc3MfVt9BnLq2Gw";
inline constexpr const char kDefaultPrivPassPhrase[] = "Wq4nZr8TbLm2VkXp6HsJ";

class COrvPluginUSM final : public IOrvPluginUSM {
 public:
  COrvPluginUSM();  // the defaults
  ~COrvPluginUSM() override;

  void set_parameters(int32_t security_model, const OrvUSMParameters* params) override;
  void release() override { delete this; }
  int32_t security_model() const override { return m_securityModel; }
  const char* user_name() const override { return m_userName; }
  int32_t security_level() const override { return m_securityLevel; }
  int32_t auth_protocol() const override { return m_authProtocol; }
  int32_t priv_protocol() const override { return m_privProtocol; }
  const char* auth_pass_phrase() const override { return m_authPassPhrase; }
  const char* priv_pass_phrase() const override { return m_privPassPhrase; }
  const char* context_name() const override { return m_contextName; }

 private:
  void restore_defaults();

  int32_t m_securityModel;
  char m_userName[64];
  int32_t m_securityLevel;
  int32_t m_authProtocol;
  int32_t m_privProtocol;
  char m_authPassPhrase[64];
  char m_privPassPhrase[64];
  char m_contextName[512];
};

}  // namespace orv::api
