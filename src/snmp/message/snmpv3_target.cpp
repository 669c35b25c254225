// The SNMPv3 target: the common settings and user-based security. Its
// messages go through the SNMP library, never through this codec.
#include <cstring>

#include "secret_wipe.h"
#include "snmp/message/target_base.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {
namespace {

class CQesSnmpV3Target final : public CQesTargetBase<IQesSnmpV3Target> {
 public:
  CQesSnmpV3Target() = default;
  CQesSnmpV3Target(const CQesSnmpV3Target&) = delete;
  CQesSnmpV3Target& operator=(const CQesSnmpV3Target&) = delete;
  ~CQesSnmpV3Target() override {
    wipe_string(&auth_pass_);
    wipe_string(&priv_pass_);
  }

  Result accept(IQesCodec* codec) override { return codec ? codec->code_snmpv3_header(this) : kErrInvalidArg; }

  IQesSnmpTarget* clone(Result* status) const override { return clone_as<CQesSnmpV3Target>(this, status); }

  Result copy_from(const IQesSnmpTarget* other) override {
    if (!other) return kErrInvalidArg;
    if (other == this) return kOk;
    auto* v3 = as_snmpv3_target(const_cast<IQesSnmpTarget*>(other));
    CQesSnmpV3Target staged;  // all or nothing
    if (v3) {
      staged.level_ = v3->security_level();
      staged.auth_protocol_ = v3->auth_protocol();
      staged.priv_protocol_ = v3->priv_protocol();
      const IQelBuffer* engine = v3->context_engine_id();
      if (copy_text(&staged.name_, v3->security_name()) != kOk ||
          copy_text(&staged.auth_pass_, v3->auth_passphrase()) != kOk ||
          copy_text(&staged.priv_pass_, v3->priv_passphrase()) != kOk ||
          copy_text(&staged.context_, v3->context_name()) != kOk ||
          staged.set_context_engine_id(engine ? engine->data() : nullptr, engine ? engine->length() : 0) != kOk)
        return kErrNoMemory;
    }
    Result rc = copy_common(other);
    if (rc != kOk || !v3) return rc;
    level_ = staged.level_;
    auth_protocol_ = staged.auth_protocol_;
    priv_protocol_ = staged.priv_protocol_;
    name_.swap(staged.name_);
    // The staged object wipes the old pass phrases when it goes.
    auth_pass_.swap(staged.auth_pass_);
    priv_pass_.swap(staged.priv_pass_);
    context_.swap(staged.context_);
    engine_id_.swap(staged.engine_id_);
    return kOk;
  }

  // Same user, security and context; like community targets, the common
  // settings are not compared.
  bool equals(const IQesSnmpTarget* other) const override {
    auto* v3 = as_snmpv3_target(const_cast<IQesSnmpTarget*>(other));
    return v3 && name_ == v3->security_name() && level_ == v3->security_level() &&
           auth_protocol_ == v3->auth_protocol() && priv_protocol_ == v3->priv_protocol() &&
           context_ == v3->context_name();
  }

  int32_t kind() const override { return kTargetSnmpV3; }

  Result query_interface(int32_t id, void** out) override {
    if (!out) return kErrInvalidArg;
    *out = nullptr;
    if (id == kTargetInterfaceCommon)
      *out = static_cast<IQesSnmpTarget*>(this);
    else if (id == kTargetInterfaceSnmpV3 || id == kTargetInterfaceSnmpV3Alt)
      *out = static_cast<IQesSnmpV3Target*>(this);
    return *out ? kOk : kErrNoInterface;
  }

  Result set_security_name(const char* name) override {
    if (name && std::strlen(name) > kSecurityNameMax) return kErrInvalidArg;
    return copy_text(&name_, name);
  }
  const char* security_name() const override { return name_.c_str(); }
  void set_security_level(int32_t level) override { level_ = level; }
  int32_t security_level() const override { return level_; }
  void set_auth_protocol(int32_t protocol) override { auth_protocol_ = protocol; }
  int32_t auth_protocol() const override { return auth_protocol_; }
  void set_priv_protocol(int32_t protocol) override { priv_protocol_ = protocol; }
  int32_t priv_protocol() const override { return priv_protocol_; }
  // The old value is wiped first: a longer new one would free its buffer.
  Result set_auth_passphrase(const char* text) override {
    wipe_string(&auth_pass_);
    return copy_text(&auth_pass_, text);
  }
  const char* auth_passphrase() const override { return auth_pass_.c_str(); }
  Result set_priv_passphrase(const char* text) override {
    wipe_string(&priv_pass_);
    return copy_text(&priv_pass_, text);
  }
  const char* priv_passphrase() const override { return priv_pass_.c_str(); }
  Result set_context_name(const char* text) override { return copy_text(&context_, text); }
  const char* context_name() const override { return context_.c_str(); }

  Result set_context_engine_id(const void* bytes, uint32_t length) override {
    Result rc = kOk;
    BufferPtr buffer(qel_create_buffer(&rc));
    if (!buffer) return rc;
    if (bytes && length)
      rc = buffer->set_bytes(bytes, length);
    else
      rc = buffer->set_string("");
    if (rc != kOk) return rc;
    engine_id_ = std::move(buffer);
    return kOk;
  }
  const IQelBuffer* context_engine_id() const override { return engine_id_.get(); }

 private:
  std::string name_;
  int32_t level_ = 0;
  int32_t auth_protocol_ = 0;
  int32_t priv_protocol_ = 0;
  std::string auth_pass_;
  std::string priv_pass_;
  std::string context_;
  BufferPtr engine_id_;
};

}  // namespace

IQesSnmpV3Target* qes_create_snmpv3_target(Result* status) {
  auto* target = new (std::nothrow) CQesSnmpV3Target;
  if (status) *status = target ? kOk : kErrNoMemory;
  return target;
}

IQesSnmpV3Target* as_snmpv3_target(IQesSnmpTarget* target) {
  void* out = nullptr;
  if (target && target->query_interface(kTargetInterfaceSnmpV3, &out) == kOk)
    return static_cast<IQesSnmpV3Target*>(out);
  return nullptr;
}

}  // namespace orv
