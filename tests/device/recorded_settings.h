// The family class with read access to what Init and SetCommunityStr
// recorded, for tests of the store and of the device open.
#pragma once

#include <cstdint>

#include "device/dev_comm_option.h"

namespace orv::testing {

class RecordedSettings : public COrvHarrowOption {
 public:
  RecordedSettings() = default;
  explicit RecordedSettings(const COrvHarrowOption& o) : COrvHarrowOption(o) {}

  int32_t protocol() const { return m_protocol; }
  const char* address() const { return m_address; }
  uint16_t port() const { return m_port; }
  unsigned long timeout() const { return m_timeout; }
  unsigned long retries() const { return m_retries; }
  unsigned long max_message_size() const { return m_maxMessageSize; }
  int32_t security_model() const { return m_securityModel; }
  int32_t security_level() const { return m_securityLevel; }
  int32_t auth_protocol() const { return m_authProtocol; }
  int32_t priv_protocol() const { return m_privProtocol; }
  const char* user_name() const { return m_userName; }
  const char* auth_pass_phrase() const { return m_authPassPhrase; }
  const char* priv_pass_phrase() const { return m_privPassPhrase; }
  const char* context_name() const { return m_contextName; }
  const char* community() const { return m_community; }
  bool community_set() const { return m_communitySet; }
};

}  // namespace orv::testing
