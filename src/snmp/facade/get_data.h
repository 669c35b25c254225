// The get-data request object: the one way the plug-in and status layers
// talk to a printer. One object serves one exchange (a GET, a GETNEXT walk
// or a SET); everything crosses this interface as integers and texts.
#pragma once

#include <cstdint>
#include <memory>

#include "snmp/message/owning_list.h"

using orv::IQesPduList;

// Security parameters read by init() when the security model is 2.
struct QelSecurityParams {
  const char* user_name;
  int32_t security_level;
  int32_t auth_protocol;
  int32_t priv_protocol;
  const char* auth_pass_phrase;
  const char* priv_pass_phrase;
  const char* context_name;
};

inline constexpr int32_t kSecurityModelUsm = 2;
inline constexpr uint32_t kMaxMessageSizeIp = 1400;
inline constexpr uint32_t kMaxMessageSizeIpx = 546;
// The caller's buffer of the text form of get_data().
inline constexpr uint32_t kGetDataTextSize = 256;

class IQelGetData {
 public:
  virtual void release() = 0;
  // Before init(); at most 255 characters are kept ("public" by default).
  virtual void set_community(const char* community) = 0;
  // Security model 2 speaks SNMPv3 through `security` (required then);
  // every other model SNMPv1 with the community. A maximum message size of
  // 0 means the protocol's limit (1400 over IPv4/IPv6, 546 otherwise).
  virtual int32_t init(const char* address, int32_t protocol, uint16_t port, int32_t security_model,
                       const QelSecurityParams* security, uint32_t timeout_ms, uint32_t retries,
                       uint32_t max_message_size) = 0;
  // A NULL binding; `instance_suffix` appends ".0". Invalid text -2.
  virtual int32_t add_oid_string(const char* oid, bool instance_suffix) = 0;
  // An INTEGER binding of `oid` followed by `suffix` (dotted), for SET.
  virtual int32_t add_oid_string(const char* oid, const char* suffix, int32_t value) = 0;
  // 0 when the agent took the values; -7 when it answered any error-status
  // (noSuchName, noAccess, readOnly, badValue, ...); transport codes as
  // they come (-203: no answer).
  virtual int32_t set_data() = 0;
  // GETNEXT walk of the table under `root_oid` from the columns added
  // (without suffix): one PDU per row added at the back of `collector`, its
  // bindings in column order. Ends with 0 when the first column leaves the
  // table, stops advancing or the agent answers an error-status (the end of
  // an SNMPv1 agent's view); -7 for a response without bindings.
  virtual int32_t get_data(IQesPduList* collector, const char* root_oid) = 0;
  // Copies the first value's text, terminator included, into `text`. The
  // interface takes no size: `text` must hold kGetDataTextSize (256) bytes,
  // and no more than that is ever written. Values of up to 255 characters
  // arrive whole, longer ones are cut and terminated; an empty value writes
  // the empty text.
  virtual int32_t get_data(char* text) = 0;
  // GET; the first `count` values as numbers (INTEGER, Counter32, Gauge32,
  // TimeTicks; -1 for any other kind, such as the NULL an SNMPv1 agent
  // echoes for a missing object). Fewer bindings: -7, the values read stay.
  virtual int32_t get_data(int32_t* values, int32_t count) = 0;
  virtual int32_t get_data(int32_t* value) = 0;
  // The protocol code of an address text; needs no init().
  virtual int32_t get_protocol(const char* address, int32_t* protocol) = 0;
  // Before init(): a walk asks for up to `max_repetitions` rows per
  // GetBulkRequest, over SNMPv2c for a community; 0 (the default) walks
  // with GETNEXT over SNMPv1.
  virtual void set_max_repetitions(uint32_t max_repetitions) = 0;

 protected:
  virtual ~IQelGetData() = default;
};

extern "C" __attribute__((visibility("default"))) IQelGetData* qel_create_get_data(int32_t* result);

struct QelGetDataDeleter {
  void operator()(IQelGetData* p) const {
    if (p) p->release();
  }
};
using GetDataPtr = std::unique_ptr<IQelGetData, QelGetDataDeleter>;
