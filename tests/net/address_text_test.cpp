#include "net/address_text.h"

#include <sys/socket.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace orv::net {
namespace {

using P = IQelNetworkAddress;

TEST(AddressText, DottedQuadIsReadInDecimalAndReprinted) {
  std::array<uint8_t, 4> bytes{};
  ASSERT_TRUE(parse_ipv4_text("192.168.001.010", &bytes));
  EXPECT_EQ(format_ipv4(bytes), "192.168.1.10");
  EXPECT_EQ(format_ipv4({100, 10, 0, 205}), "100.10.0.205");
  std::string normalised;
  ASSERT_EQ(normalise_ipv4_or_ipx("000.0.00255.7", &normalised), kOk);
  EXPECT_EQ(normalised, "0.0.255.7");
}

TEST(AddressText, EveryOctetValuePrintsInEveryPlace) {
  for (unsigned v = 0; v < 256; ++v) {
    const std::array<uint8_t, 4> bytes = {static_cast<uint8_t>(v), static_cast<uint8_t>(255 - v),
                                          static_cast<uint8_t>(v * 7), static_cast<uint8_t>(v / 3)};
    char expected[16];
    std::snprintf(expected, sizeof expected, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    EXPECT_EQ(format_ipv4(bytes), expected);
  }
}

TEST(AddressText, DottedQuadRefusesEverythingElse) {
  for (const char* text : {"1.2.3.4x", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1..2.3", ".1.2.3",
                           "1.2.3.", " 1.2.3.4", "1.2.3.4 ", "+1.2.3.4", "-1.2.3.4", "1.2. 3.4",
                           "99999999999999999999.1.1.1", "", "::1", "0000000a:0000c0a80001"}) {
    EXPECT_FALSE(parse_ipv4_text(text, nullptr)) << text;
  }
  EXPECT_FALSE(parse_ipv4_text(nullptr, nullptr));
  P::EProtocol protocol = P::kProtocolIpv4;
  EXPECT_EQ(detect_ipv4_or_ipx("1.2.3.4x", &protocol), kErrNoValue);
  EXPECT_EQ(protocol, P::kProtocolUnspecified);
  std::string normalised = "kept";
  EXPECT_EQ(normalise_ipv4_or_ipx("1.2.3.4x", &normalised), kErrNoValue);
  EXPECT_EQ(normalised, "kept");
}

TEST(AddressText, IpxFormIsTwentyOneHexCharactersAroundAColon) {
  std::array<uint8_t, 10> bytes{};
  ASSERT_TRUE(parse_ipx_text("0000000A:0000C0A80001", &bytes));
  EXPECT_EQ(bytes, (std::array<uint8_t, 10>{0, 0, 0, 0x0a, 0, 0, 0xc0, 0xa8, 0, 1}));
  for (const char* text : {"0000000A:0000C0A8001", "0000000A:0000C0A800012", "0000000A-0000C0A80001",
                           "0000000G:0000C0A80001", "000000 A:0000C0A80001", "0x00000A:0000C0A80001"}) {
    EXPECT_FALSE(parse_ipx_text(text, nullptr)) << text;
  }
  P::EProtocol protocol = P::kProtocolUnspecified;
  EXPECT_EQ(detect_ipv4_or_ipx("0000000A:0000C0A80001", &protocol), kOk);
  EXPECT_EQ(protocol, P::kProtocolIpx);
  EXPECT_EQ(detect_ipv4_or_ipx("10.0.0.1", &protocol), kOk);
  EXPECT_EQ(protocol, P::kProtocolIpv4);
  std::string normalised;
  ASSERT_EQ(normalise_ipv4_or_ipx("0000000A:0000C0A80001", &normalised), kOk);
  EXPECT_EQ(normalised, "0000000A:0000C0A80001");  // copied as it is
}

TEST(AddressText, PrintedForms) {
  const uint8_t mac[6] = {0x02, 0xab, 0x00, 0x10, 0xfe, 0x7f};
  EXPECT_EQ(format_mac(mac), "02-AB-00-10-FE-7F");
  uint8_t v6[16] = {0xfe, 0x80};
  v6[15] = 0x01;
  v6[9] = 0xab;
  EXPECT_EQ(format_ipv6_groups(v6), "fe80:0000:0000:0000:00ab:0000:0000:0001");
  EXPECT_EQ(with_scope("fe80::1", 7), "fe80::1%7");
  EXPECT_EQ(format_ipv4_host_order(0xC0A8010Au), "192.168.1.10");
}

TEST(AddressText, OnlyCapitalAToFAreLowered) {
  std::string text = "ABCDEFGZ:0000C0A80001-Host";
  lower_hex_letters(&text);
  EXPECT_EQ(text, "abcdefGZ:0000c0a80001-Host");
  EXPECT_TRUE(equals_ignore_case("02-AB-cd-EF-00-1f", "02-ab-CD-ef-00-1F"));
  EXPECT_FALSE(equals_ignore_case("02-AB-CD-EF-00-1F", "02-AB-CD-EF-00-10"));
  EXPECT_FALSE(equals_ignore_case("02-AB", "02-AB-"));
}

TEST(AddressText, FamiliesMapToProtocolCodes) {
  EXPECT_EQ(protocol_of_family(AF_INET), P::kProtocolIpv4);
  EXPECT_EQ(protocol_of_family(AF_IPX), P::kProtocolIpx);
  EXPECT_EQ(protocol_of_family(AF_INET6), P::kProtocolIpv6);
  EXPECT_EQ(protocol_of_family(AF_UNIX), P::kProtocolUnspecified);
  for (P::EProtocol protocol : {P::kProtocolIpv4, P::kProtocolIpx, P::kProtocolIpv6}) {
    EXPECT_EQ(protocol_of_family(family_of_protocol(protocol)), protocol);
  }
  EXPECT_EQ(family_of_protocol(P::kProtocolNone), AF_UNSPEC);
}

}  // namespace
}  // namespace orv::net
