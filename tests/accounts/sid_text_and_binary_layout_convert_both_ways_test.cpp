// SID text and the binary layout of objectSid convert into each other
// exactly: big-endian authority, little-endian sub-authorities.
#include <gtest/gtest.h>

#include <string>

#include "platform/sid.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

struct Layout {
  const char* text;       // as written by the platform
  std::string bytes;      // the binary layout
  const char* also_read;  // another spelling that reads as the same SID, or null
};

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string from_hex(const char* text) {
  std::string out;
  for (const char* p = text; p[0] && p[1]; p += 2)
    out += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
  return out;
}

const Layout kLayouts[] = {
    {"S-1-1-0", from_hex("010100000000000100000000"), nullptr},
    {"S-1-5-32-544", from_hex("01020000000000052000000020020000"), "s-1-5-32-544"},
    {"S-1-5-21-1004336348-1177238915-682003330-512",
     from_hex("010500000000000515000000dcf4dc3b833d2b46828ba628"
              "00020000"),
     "S-1-5-21-01004336348-1177238915-682003330-512"},
    {"S-1-5", from_hex("0100000000000005"), nullptr},
    {"S-1-4294967295-4294967295", from_hex("01010000ffffffffffffffff"),
     "S-1-0x0000FFFFFFFF-4294967295"},
    {"S-1-0x000100000000-7",
     from_hex("0101000100000000"
              "07000000"),
     "S-1-0x100000000-7"},
    {"S-1-0xFFFFFFFFFFFF-1", from_hex("0101ffffffffffff01000000"), "S-1-0xffffffffffff-1"},
    {"S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15",
     from_hex("010f000000000005"
              "01000000020000000300000004000000050000000600000007000000"
              "08000000090000000a0000000b0000000c0000000d0000000e0000000f000000"),
     nullptr},
};

TEST(SidTextAndBinaryLayout, TextReadsAsTheExactBytes) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.text);
    const auto sid = Sid::parse(l.text);
    ASSERT_TRUE(sid.has_value());
    EXPECT_EQ(hex(sid->to_bytes()), hex(l.bytes));
    EXPECT_EQ(sid->length(), l.bytes.size());
  }
}

TEST(SidTextAndBinaryLayout, BytesAreWrittenAsTheCanonicalText) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.text);
    const auto sid = Sid::from_bytes(l.bytes);
    ASSERT_TRUE(sid.has_value());
    EXPECT_EQ(sid->to_string(), l.text);
  }
}

TEST(SidTextAndBinaryLayout, OtherSpellingsReadAsTheSameSid) {
  for (const Layout& l : kLayouts) {
    if (l.also_read == nullptr) continue;
    SCOPED_TRACE(l.also_read);
    const auto sid = Sid::parse(l.also_read);
    ASSERT_TRUE(sid.has_value());
    EXPECT_EQ(sid->to_string(), l.text);
  }
}

TEST(SidTextAndBinaryLayout, PlatformConversionsAgreeWithTheLayout) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.text);
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA(l.text, &sid));
    EXPECT_EQ(GetLengthSid(sid), l.bytes.size());
    EXPECT_EQ(hex(std::string(static_cast<const char*>(sid), l.bytes.size())), hex(l.bytes));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(sid, &text));
    EXPECT_STREQ(text, l.text);
    EXPECT_EQ(LocalFree(text), nullptr);
    EXPECT_EQ(LocalFree(sid), nullptr);
  }
}

TEST(SidTextAndBinaryLayout, BytesThatAreNotOneSidAreRefused) {
  const std::string good = from_hex("01020000000000052000000020020000");
  EXPECT_FALSE(Sid::from_bytes(good.substr(0, good.size() - 1)));  // cut short
  EXPECT_FALSE(Sid::from_bytes(good + '\0'));                      // trailing byte
  std::string revision2 = good;
  revision2[0] = 2;
  EXPECT_FALSE(Sid::from_bytes(revision2));
  std::string count16 = from_hex("0110000000000005") + std::string(64, '\0');
  EXPECT_FALSE(Sid::from_bytes(count16));
  EXPECT_FALSE(Sid::from_bytes(""));
}

}  // namespace
}  // namespace txads
