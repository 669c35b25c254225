// The target of SNMPv1 and SNMPv2c: the common settings and a community.
#include <cstring>
#include <optional>

#include "snmp/message/target_base.h"

namespace orv {
namespace {

class CQesCommunityTarget final : public CQesTargetBase<IQesCommunityTarget> {
 public:
  Result accept(IQesCodec* codec) override {
    return codec ? codec->code_community_header(this) : kErrInvalidArg;
  }

  IQesSnmpTarget* clone(Result* status) const override {
    return clone_as<CQesCommunityTarget>(this, status);
  }

  Result copy_from(const IQesSnmpTarget* other) override {
    if (!other) return kErrInvalidArg;
    if (other == this) return kOk;
    auto* community = as_community_target(const_cast<IQesSnmpTarget*>(other));
    std::optional<std::string> text;
    if (community && community->community()) {
      text.emplace();
      if (copy_text(&*text, community->community()) != kOk) return kErrNoMemory;
    }
    Result rc = copy_common(other);
    if (rc != kOk) return rc;
    if (community) community_ = std::move(text);
    return kOk;
  }

  bool equals(const IQesSnmpTarget* other) const override {
    auto* community = as_community_target(const_cast<IQesSnmpTarget*>(other));
    if (!community) return false;
    const char* theirs = community->community();
    if (!community_ || !theirs) return !community_ && !theirs;
    return *community_ == theirs;
  }

  int32_t kind() const override { return kTargetCommunity; }

  Result query_interface(int32_t id, void** out) override {
    if (!out) return kErrInvalidArg;
    *out = nullptr;
    if (id == kTargetInterfaceCommon)
      *out = static_cast<IQesSnmpTarget*>(this);
    else if (id == kTargetInterfaceCommunity || id == kTargetInterfaceCommunityAlt)
      *out = static_cast<IQesCommunityTarget*>(this);
    return *out ? kOk : kErrNoInterface;
  }

  Result set_community(const char* community) override {
    if (!community) {
      community_.reset();
      return kOk;
    }
    std::string text;
    if (copy_text(&text, community) != kOk) return kErrNoMemory;
    community_ = std::move(text);
    return kOk;
  }
  const char* community() const override { return community_ ? community_->c_str() : nullptr; }

  Result set_community_bytes(const void* bytes, uint32_t length) override {
    if (!bytes && length) return kErrInvalidArg;
    const char* text = static_cast<const char*>(bytes);
    size_t n = text ? ::strnlen(text, length) : 0;
    // Each answer carries the community of its request: usually no change.
    if (community_ && community_->size() == n && (n == 0 || std::memcmp(community_->data(), text, n) == 0))
      return kOk;
    try {
      if (!community_) community_.emplace();
      community_->assign(text ? text : "", n);  // reuses the capacity it has
    } catch (const std::bad_alloc&) {
      return kErrNoMemory;
    }
    return kOk;
  }

 private:
  std::optional<std::string> community_;
};

}  // namespace

IQesSnmpTarget* qes_create_snmp_target(int32_t translate_type, Result* status) {
  if (translate_type != kTranslateCommunity) {
    if (status) *status = kErrInvalidArg;
    return nullptr;
  }
  IQesSnmpTarget* target = new (std::nothrow) CQesCommunityTarget;
  if (status) *status = target ? kOk : kErrNoMemory;
  return target;
}

IQesCommunityTarget* as_community_target(IQesSnmpTarget* target) {
  void* out = nullptr;
  if (target && target->query_interface(kTargetInterfaceCommunity, &out) == kOk)
    return static_cast<IQesCommunityTarget*>(out);
  return nullptr;
}

}  // namespace orv
