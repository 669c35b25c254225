#include "net/network_address.h"

#include <gtest/gtest.h>

#include "net/address_resolver.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {
namespace {

using P = IQelNetworkAddress;

NetworkAddressPtr make(const char* text, P::EProtocol protocol, uint16_t port) {
  Result result = kErrPlatform;
  NetworkAddressPtr address(qel_create_network_address_with_protocol(text, protocol, port, &result));
  EXPECT_EQ(result, kOk);
  return address;
}

TEST(NetworkAddress, EmptyAddressHasNothingSet) {
  Result result = kErrPlatform;
  NetworkAddressPtr address(qel_create_network_address(&result));
  ASSERT_EQ(result, kOk);
  ASSERT_TRUE(address);
  EXPECT_EQ(address->text(), nullptr);
  EXPECT_EQ(address->protocol(), P::kProtocolUnspecified);
  EXPECT_EQ(address->port(), 0);
  EXPECT_EQ(address->text_buffer()->length(), 0u);
  EXPECT_FALSE(address->is_numeric());
}

TEST(NetworkAddress, SetTextDetectsProtocolAndKeepsPort) {
  NetworkAddressPtr address(qel_create_network_address());
  ASSERT_EQ(address->set_port(161), kOk);
  ASSERT_EQ(address->set_text("192.168.001.010"), kOk);
  EXPECT_EQ(address->protocol(), P::kProtocolIpv4);
  EXPECT_EQ(address->port(), 161);
  EXPECT_STREQ(address->text(), "192.168.001.010");  // stored as given
  ASSERT_EQ(address->normalise(), kOk);
  EXPECT_STREQ(address->text(), "192.168.1.10");
  EXPECT_TRUE(address->is_numeric());
}

TEST(NetworkAddress, SetTextRefusesAnotherProtocolAndKeepsText) {
  NetworkAddressPtr address = make("10.0.0.1", P::kProtocolIpv4, 161);
  EXPECT_EQ(address->set_text("fe80::1"), kErrInvalidArg);
  EXPECT_STREQ(address->text(), "10.0.0.1");
  EXPECT_EQ(address->protocol(), P::kProtocolIpv4);
  EXPECT_EQ(address->set_text("0000000A:0000C0A80001"), kErrInvalidArg);
  EXPECT_STREQ(address->text(), "10.0.0.1");
  EXPECT_EQ(address->set_text("1.2.3.4x"), kErrPlatform);  // a failed numeric lookup
  EXPECT_STREQ(address->text(), "10.0.0.1");
  EXPECT_EQ(address->set_text(nullptr), kErrInvalidArg);
  EXPECT_EQ(address->set_text("10.0.0.2"), kOk);
  EXPECT_STREQ(address->text(), "10.0.0.2");
}

TEST(NetworkAddress, IpxTextIsStoredWithOnlyAToFLowered) {
  Result result = kErrPlatform;
  NetworkAddressPtr address(qel_create_network_address_from_text("0000000A:0000C0A80001", 36879, &result));
  ASSERT_EQ(result, kOk);
  EXPECT_STREQ(address->text(), "0000000a:0000c0a80001");
  EXPECT_EQ(address->protocol(), P::kProtocolIpx);
  EXPECT_EQ(address->port(), 36879);
  // init stores unchecked; other letters keep their case.
  ASSERT_EQ(address->init("PRINTER-Fx", P::kProtocolUnspecified, 0), kOk);
  EXPECT_STREQ(address->text(), "PRINTeR-fx");
  EXPECT_EQ(address->protocol(), P::kProtocolIpx);
  EXPECT_EQ(address->port(), 36879);
  EXPECT_EQ(address->init(nullptr, P::kProtocolIpv4, 1), kErrInvalidArg);
}

TEST(NetworkAddress, CreationFromTextFailsWithoutObject) {
  Result result = kOk;
  EXPECT_EQ(qel_create_network_address_from_text("1.2.3.4x", 161, &result), nullptr);
  EXPECT_EQ(result, kErrPlatform);
  EXPECT_EQ(qel_create_network_address_from_text(nullptr, 161, &result), nullptr);
  EXPECT_EQ(result, kErrInvalidArg);
}

TEST(NetworkAddress, EqualsTreatsArgumentPortZeroAsWildcard) {
  NetworkAddressPtr printer = make("192.168.1.10", P::kProtocolIpv4, 161);
  NetworkAddressPtr any_port = make("192.168.001.010", P::kProtocolIpv4, 0);
  NetworkAddressPtr trap_port = make("192.168.1.10", P::kProtocolIpv4, 162);
  EXPECT_TRUE(printer->equals(any_port.get()));
  EXPECT_FALSE(any_port->equals(printer.get()));  // only the argument's 0 matches any port
  EXPECT_FALSE(printer->equals(trap_port.get()));
  EXPECT_FALSE(printer->equals(nullptr));
  NetworkAddressPtr other_protocol = make("192.168.1.10", P::kProtocolIpv6, 161);
  EXPECT_FALSE(printer->equals(other_protocol.get()));
  // A text the resolver cannot normalise never equals, not even itself.
  NetworkAddressPtr name = make("printer.invalid", P::kProtocolIpv4, 161);
  EXPECT_FALSE(name->equals(name.get()));
}

TEST(NetworkAddress, GetAndCloneCopyEverything) {
  NetworkAddressPtr address = make("10.1.2.3", P::kProtocolIpv4, 1161);
  IQelBuffer* raw = nullptr;
  P::EProtocol protocol = P::kProtocolUnspecified;
  uint16_t port = 0;
  ASSERT_EQ(address->get(&raw, &protocol, &port), kOk);
  BufferPtr text(raw);
  EXPECT_STREQ(text->c_str(), "10.1.2.3");
  EXPECT_NE(text.get(), address->text_buffer());
  EXPECT_EQ(protocol, P::kProtocolIpv4);
  EXPECT_EQ(port, 1161);
  EXPECT_EQ(address->get(&raw, nullptr, nullptr), kOk);
  BufferPtr(raw).reset();
  EXPECT_EQ(address->get(nullptr, &protocol, &port), kErrInvalidArg);

  IQelNetworkAddress* copy_raw = nullptr;
  ASSERT_EQ(address->clone(&copy_raw), kOk);
  NetworkAddressPtr copy(copy_raw);
  EXPECT_STREQ(copy->text(), "10.1.2.3");
  EXPECT_EQ(copy->protocol(), P::kProtocolIpv4);
  EXPECT_EQ(copy->port(), 1161);
  ASSERT_EQ(copy->set_port(2), kOk);
  EXPECT_EQ(address->port(), 1161);
  EXPECT_EQ(address->clone(nullptr), kErrInvalidArg);
}

TEST(NetworkAddress, NormaliseFailureKeepsText) {
  NetworkAddressPtr address = make("1.2.3.4x", P::kProtocolIpv4, 0);
  EXPECT_NE(address->normalise(), kOk);
  EXPECT_STREQ(address->text(), "1.2.3.4x");
  EXPECT_FALSE(address->is_numeric());
}

TEST(NetworkAddressList, OwnsAndLendsAppendedAddresses) {
  Result result = kErrPlatform;
  QelPtr<IQelNetworkAddressList> list(qel_create_network_address_list(&result));
  ASSERT_EQ(result, kOk);
  EXPECT_EQ(list->append(make("10.0.0.1", P::kProtocolIpv4, 0).release()), kOk);
  EXPECT_EQ(list->append(make("10.0.0.2", P::kProtocolIpv4, 0).release()), kOk);
  EXPECT_EQ(list->append(nullptr), kErrInvalidArg);
  ASSERT_EQ(list->count(), 2);
  EXPECT_STREQ(list->at(1)->text(), "10.0.0.2");
  EXPECT_EQ(list->at(2), nullptr);
  EXPECT_EQ(list->at(-1), nullptr);
}

}  // namespace
}  // namespace orv
