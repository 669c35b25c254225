#include "net/network_address.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "net/address_resolver.h"
#include "net/address_text.h"
#include "snmp/smi/qel_buffer.h"
#include "snmp/smi/recycled_blocks.h"

namespace orv {

namespace {

// The address object: its text in an owned buffer, the protocol code and the
// port in host byte order. Not locked: one object serves one thread at a time.
class CQelNetworkAddress final : public IQelNetworkAddress, public smi::RecycledAllocation {
 public:
  explicit CQelNetworkAddress(BufferPtr text) : text_(std::move(text)) {}

  void release() override { delete this; }

  Result set_text(const char* text) override {
    if (!text) return kErrInvalidArg;
    EProtocol detected = kProtocolUnspecified;
    Result result = qel_resolver_detect_protocol(text, &detected);
    if (result != kOk) return result;
    if (protocol_ != kProtocolUnspecified && detected != protocol_) return kErrInvalidArg;
    result = store_text(text);
    if (result != kOk) return result;
    if (protocol_ == kProtocolUnspecified) protocol_ = detected;
    return kOk;
  }

  Result init(const char* text, EProtocol protocol, uint16_t port) override {
    if (!text) return kErrInvalidArg;
    Result result = store_text(text);
    if (result != kOk) return result;
    if (protocol != kProtocolUnspecified) protocol_ = protocol;
    if (port != 0) port_ = port;
    return kOk;
  }

  IQelBuffer* text_buffer() override { return text_.get(); }

  Result get(IQelBuffer** text, EProtocol* protocol, uint16_t* port) const override {
    if (!text) return kErrInvalidArg;
    Result result = kOk;
    IQelBuffer* copy = text_->clone(&result);
    if (!copy) return result != kOk ? result : kErrNoMemory;
    *text = copy;
    if (protocol) *protocol = protocol_;
    if (port) *port = port_;
    return kOk;
  }

  Result set_protocol(EProtocol protocol) override {
    protocol_ = protocol;
    return kOk;
  }

  Result set_port(uint16_t port) override {
    port_ = port;
    return kOk;
  }

  EProtocol protocol() const override { return protocol_; }
  uint16_t port() const override { return port_; }

  bool equals(const IQelNetworkAddress* other) const override {
    if (!other) return false;
    if (other->protocol() != protocol_) return false;
    if (other->port() != 0 && other->port() != port_) return false;
    BufferPtr mine = normalised(text());
    BufferPtr theirs = normalised(other->text());
    return mine && theirs && mine->equals_buffer(theirs.get());
  }

  Result clone(IQelNetworkAddress** copy) const override {
    if (!copy) return kErrInvalidArg;
    Result result = kOk;
    NetworkAddressPtr made(qel_create_network_address_with_protocol(c_text(), protocol_, port_, &result));
    if (!made) return result;
    *copy = made.release();
    return kOk;
  }

  bool is_numeric() const override { return qel_resolver_is_numeric(text()); }

  Result normalise() override {
    IQelBuffer* raw = nullptr;
    Result result = qel_resolver_normalise_text(c_text(), &raw);
    BufferPtr normalised_text(raw);
    if (result != kOk) return result;
    if (!normalised_text) return kErrNoMemory;
    return store_text(normalised_text->c_str());
  }

  const char* text() const override { return text_->length() == 0 ? nullptr : text_->c_str(); }

 private:
  const char* c_text() const { return text_->c_str(); }

  static BufferPtr normalised(const char* text) {
    if (!text) return nullptr;
    IQelBuffer* raw = nullptr;
    Result result = qel_resolver_normalise_text(text, &raw);
    BufferPtr owned(raw);
    if (result != kOk) return nullptr;
    return owned;
  }

  // The text is kept with A to F lowered so hex texts compare alike.
  Result store_text(const char* text) {
    const size_t length = std::strlen(text);
    // Most texts (every IPv4 one) have no such letter: stored as they are.
    if (std::find_if(text, text + length, [](char c) { return c >= 'A' && c <= 'F'; }) ==
        text + length) {
      return text_->set_bytes(text, static_cast<uint32_t>(length));
    }
    std::string stored(text, length);
    net::lower_hex_letters(&stored);
    return text_->set_bytes(stored.data(), static_cast<uint32_t>(stored.size()));
  }

  BufferPtr text_;
  EProtocol protocol_ = kProtocolUnspecified;
  uint16_t port_ = 0;
};

}  // namespace

IQelNetworkAddress* qel_create_network_address(Result* result) {
  Result status = kOk;
  BufferPtr text(qel_create_buffer(&status));
  IQelNetworkAddress* address = nullptr;
  if (text) address = new (std::nothrow) CQelNetworkAddress(std::move(text));
  if (result) *result = address ? kOk : kErrNoMemory;
  return address;
}

IQelNetworkAddress* qel_create_network_address_from_text(const char* text, uint16_t port,
                                                         Result* result) {
  auto fail = [result](Result code) -> IQelNetworkAddress* {
    if (result) *result = code;
    return nullptr;
  };
  if (!text) return fail(kErrInvalidArg);
  IQelNetworkAddress::EProtocol protocol = IQelNetworkAddress::kProtocolUnspecified;
  Result status = qel_resolver_detect_protocol(text, &protocol);
  if (status != kOk) return fail(status);
  return qel_create_network_address_with_protocol(text, protocol, port, result);
}

IQelNetworkAddress* qel_create_network_address_with_protocol(const char* text,
                                                             IQelNetworkAddress::EProtocol protocol,
                                                             uint16_t port, Result* result) {
  Result status = kOk;
  NetworkAddressPtr address(qel_create_network_address(&status));
  if (address && text) status = address->init(text, protocol, port);
  else if (address) status = kErrInvalidArg;
  if (result) *result = status;
  return status == kOk ? address.release() : nullptr;
}

}  // namespace orv
