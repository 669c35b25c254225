#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "smi_test_support.h"

namespace orv::test {
namespace {

// Records what a value hands over through the content operations.
class RecordingSink : public IQelContentSink {
 public:
  Result take_content(const uint8_t* data, uint32_t length) override {
    raw.assign(reinterpret_cast<const char*>(data), length);
    return kOk;
  }
  Result take_counted_content(const uint8_t* data, uint32_t length) override {
    counted.assign(reinterpret_cast<const char*>(data), length);
    return kOk;
  }
  std::string raw;
  std::string counted;
};

TEST(OctetStringValue, TakesTextAndBytesAndGivesThemBack) {
  for (uint32_t kind : {kSmiOctetString, kSmiOpaque}) {
    SCOPED_TRACE(kind);
    auto value = make_value(kind);
    EXPECT_EQ(value->length(), 0u);
    EXPECT_EQ(value->set_text("printer"), kOk);
    EXPECT_EQ(text_of(value.get()), "printer");
    EXPECT_EQ(value->length(), 7u);

    const uint8_t bytes[] = {0x00, 0xFF, 0x10};
    EXPECT_EQ(value->set_bytes(bytes, 3), kOk);
    uint32_t length = 0;
    const uint8_t* data = value->get_bytes(&length, nullptr);
    ASSERT_EQ(length, 3u);
    EXPECT_EQ(std::memcmp(data, bytes, 3), 0);
    BufferPtr copy(value->to_bytes(nullptr));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equals_bytes(bytes, 3));

    Result status = kOk;
    EXPECT_EQ(value->element(1, &status), 0xFFu);
    EXPECT_EQ(status, kOk);
    value->element(3, &status);
    EXPECT_EQ(status, kErrInvalidArg);

    EXPECT_EQ(value->set_text(nullptr), kOk);  // null empties
    EXPECT_EQ(value->length(), 0u);
    EXPECT_EQ(value->set_bytes(nullptr, 4), kErrInvalidArg);
  }
}

TEST(OctetStringValue, LongContentSurvivesGrowth) {
  auto value = make_value(kSmiOctetString);
  std::string long_text(1000, 'x');
  for (size_t i = 0; i < long_text.size(); ++i) long_text[i] = static_cast<char>('a' + i % 26);
  EXPECT_EQ(value->set_text(long_text.c_str()), kOk);
  EXPECT_EQ(text_of(value.get()), long_text);
}

TEST(OctetStringValue, HandsOverContentAndCopiesItBeforeAPosition) {
  auto value = make_value(kSmiOctetString);
  ASSERT_EQ(value->set_text("abc"), kOk);
  RecordingSink sink;
  EXPECT_EQ(value->put_content(&sink), kOk);
  EXPECT_EQ(value->put_counted_content(&sink), kOk);
  EXPECT_EQ(sink.raw, "abc");
  EXPECT_EQ(sink.counted, "abc");

  uint8_t out[8] = {};
  EXPECT_EQ(value->copy_before(out + 8, 8), kOk);
  EXPECT_EQ(std::memcmp(out + 5, "abc", 3), 0);
  EXPECT_EQ(value->copy_before(out + 2, 2), kErrTooBigToSend);
  EXPECT_EQ(out[0], 0);  // nothing written on refusal

  auto number = make_value(kSmiInteger);
  EXPECT_EQ(number->put_content(&sink), kErrNotSupported);
  EXPECT_EQ(number->copy_before(out + 8, 8), kErrNotSupported);
}

TEST(IpAddressValue, TextAndNumberAgree) {
  auto value = make_value(kSmiIpAddress);
  EXPECT_EQ(text_of(value.get()), "0.0.0.0");
  EXPECT_EQ(value->length(), 4u);
  EXPECT_EQ(value->set_text("10.0.0.1"), kOk);
  EXPECT_EQ(text_of(value.get()), "10.0.0.1");
  EXPECT_EQ(value->get_uint32(nullptr), 0x0A000001u);

  EXPECT_EQ(value->set_uint32(0xC0A80102u), kOk);
  EXPECT_EQ(text_of(value.get()), "192.168.1.2");
  value->clear();
  EXPECT_EQ(text_of(value.get()), "0.0.0.0");
  EXPECT_EQ(value->length(), 4u);
}

TEST(IpAddressValue, RefusesBadTextsAndLengths) {
  auto value = make_value(kSmiIpAddress);
  ASSERT_EQ(value->set_text("1.2.3.4"), kOk);
  for (const char* bad : {"256.0.0.1", "1.256.0.1", "1.2.256.1", "1.2.3.256", "1.2.3", "a.b.c.d", "", "1..2.3"}) {
    EXPECT_EQ(value->set_text(bad), kErrInvalidArg) << bad;
  }
  EXPECT_EQ(value->set_text(nullptr), kErrInvalidArg);
  EXPECT_EQ(text_of(value.get()), "1.2.3.4");  // refusals leave the value alone
  const uint8_t five[5] = {1, 2, 3, 4, 5};
  EXPECT_EQ(value->set_bytes(five, 5), kErrInvalidArg);
  EXPECT_EQ(value->set_bytes(five, 3), kErrInvalidArg);
  EXPECT_EQ(value->set_bytes(five, 4), kOk);
  EXPECT_EQ(text_of(value.get()), "1.2.3.4");
}

TEST(Ipv6AddressValue, PrintsEightGroupsAndNeedsThemAll) {
  auto value = make_value(kSmiIpv6Address);
  EXPECT_EQ(value->length(), 16u);
  EXPECT_EQ(text_of(value.get()), "0:0:0:0:0:0:0:0");
  EXPECT_EQ(value->set_text("FE80:0:0:0:0203:baff:fe12:1"), kOk);
  EXPECT_EQ(text_of(value.get()), "fe80:0:0:0:203:baff:fe12:1");
  EXPECT_EQ(value->element(0, nullptr), 0xFEu);
  EXPECT_EQ(value->element(15, nullptr), 0x01u);

  for (const char* bad : {"fe80:0:0:0:203:baff:fe12", "fe80::1", "1:2:3:4:5:6:7:8:9", "10000:0:0:0:0:0:0:0", "g:0:0:0:0:0:0:0"}) {
    EXPECT_EQ(value->set_text(bad), kErrInvalidArg) << bad;
  }
  EXPECT_EQ(text_of(value.get()), "fe80:0:0:0:203:baff:fe12:1");
}

TEST(Ipv4PortAddressValue, CarriesAPort) {
  auto value = make_value(kSmiIpv4PortAddress);
  EXPECT_EQ(value->set_text("192.168.0.7/161"), kOk);
  EXPECT_EQ(text_of(value.get()), "192.168.0.7/161");
  EXPECT_EQ(value->get_uint16(nullptr), 161);
  EXPECT_EQ(value->get_uint32(nullptr), 0xC0A80007u);
  EXPECT_EQ(value->set_uint16(162), kOk);
  EXPECT_EQ(text_of(value.get()), "192.168.0.7/162");
  EXPECT_EQ(value->set_high32(0x10000), kErrInvalidArg);
  for (const char* bad : {"192.168.0.7", "192.168.0.7/", "192.168.0.7/65536", "300.1.1.1/1"}) {
    EXPECT_EQ(value->set_text(bad), kErrInvalidArg) << bad;
  }
  value->clear();
  EXPECT_EQ(text_of(value.get()), "0.0.0.0/0");
}

TEST(IpxAddressValue, ReadsAndPrintsNetworkNodeAndSocket) {
  auto value = make_value(kSmiIpxAddress);
  EXPECT_EQ(value->set_text("0000000a:00a0c9123456/8f0f"), kOk);
  EXPECT_EQ(text_of(value.get()), "0000000a:00a0c9123456/8f0f");
  EXPECT_EQ(value->get_uint16(nullptr), 0x8F0F);
  EXPECT_EQ(value->length(), 10u);
  EXPECT_EQ(value->element(3, nullptr), 0x0Au);
  EXPECT_EQ(value->set_uint16(0x4000), kOk);
  EXPECT_EQ(text_of(value.get()), "0000000a:00a0c9123456/4000");
  for (const char* bad : {"0000000a:00a0c9123456", "0000000a00a0c9123456/1", "0000000a:00a0c91234/1",
                          "0000000a:00a0c9123456/10000"}) {
    EXPECT_EQ(value->set_text(bad), kErrInvalidArg) << bad;
  }
  Result status = kOk;
  value->get_uint32(&status);
  EXPECT_EQ(status, kErrNotSupported);
}

TEST(QelBuffer, SetsAppendsAndComparesWithATerminator) {
  BufferPtr buffer(qel_create_buffer());
  ASSERT_TRUE(buffer);
  EXPECT_EQ(buffer->data(), nullptr);
  EXPECT_EQ(buffer->length(), 0u);
  EXPECT_STREQ(buffer->c_str(), "");
  EXPECT_EQ(buffer->set_string("ab"), kOk);
  EXPECT_EQ(buffer->append_bytes("cdX", 2), kOk);
  EXPECT_EQ(buffer->append_string("e"), kOk);
  EXPECT_STREQ(buffer->c_str(), "abcde");
  EXPECT_EQ(buffer->data()[5], 0);
  EXPECT_TRUE(buffer->equals_string("abcde"));
  EXPECT_FALSE(buffer->equals_string("abcd"));

  BufferPtr copy(buffer->clone());
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->equals_buffer(buffer.get()));
  EXPECT_EQ(copy->append_buffer(copy.get()), kOk);  // appending itself
  EXPECT_STREQ(copy->c_str(), "abcdeabcde");
  EXPECT_FALSE(copy->equals_buffer(buffer.get()));
  EXPECT_EQ(copy->append_buffer(nullptr), kErrInvalidArg);

  std::string big(300, 'z');
  EXPECT_EQ(buffer->set_bytes(big.data(), 300), kOk);
  EXPECT_EQ(buffer->length(), 300u);
  EXPECT_EQ(buffer->data()[300], 0);
  EXPECT_EQ(buffer->set_bytes(nullptr, 5), kOk);  // null empties
  EXPECT_EQ(buffer->length(), 0u);
}

}  // namespace
}  // namespace orv::test

#include "snmp/smi/octet_storage.h"

namespace orv::test {
namespace {

TEST(OctetStorage, GrowsInStepsOf128AndKeepsContent) {
  EXPECT_EQ(smi::OctetStorage::step_capacity(1), 128u);
  EXPECT_EQ(smi::OctetStorage::step_capacity(127), 128u);
  EXPECT_EQ(smi::OctetStorage::step_capacity(128), 256u);
  EXPECT_EQ(smi::OctetStorage::step_capacity(300), 384u);

  smi::OctetStorage storage;
  EXPECT_EQ(storage.capacity(), smi::OctetStorage::kInlineBytes);  // short contents stay inline
  std::string content;
  for (int i = 0; i < 200; ++i) {
    const char c = static_cast<char>('A' + i % 50);
    ASSERT_EQ(storage.append(&c, 1), kOk);
    content += c;
  }
  EXPECT_EQ(storage.capacity(), 256u);  // 201 bytes with the terminator
  EXPECT_EQ(std::string(storage.c_str()), content);

  // Appending a part of itself survives the move to a larger block.
  ASSERT_EQ(storage.append(storage.data() + 10, 190), kOk);
  EXPECT_EQ(std::string(storage.c_str()), content + content.substr(10, 190));
  EXPECT_EQ(storage.capacity(), 512u);
}

}  // namespace
}  // namespace orv::test
