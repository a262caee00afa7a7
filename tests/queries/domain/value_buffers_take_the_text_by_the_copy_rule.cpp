// TXADGetValue: how the value reaches the caller's buffer, the working limits
// of 252 bytes of distinguished name and 499 bytes of value, and what a
// failed read leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "scratch.h"
#include "txads.h"

namespace queries_test {
namespace {

class ValueBuffersTakeTheTextByTheCopyRule : public ::testing::Test {
 protected:
  std::string account() const { return ou_.account_name("buf"); }
  ScratchOu ou_;
};

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, ShorterValueIsFollowedByZeroBytes) {
  ou_.add_user("Buf User", "buf", "description: abcde\n");
  Guarded value(10, 'v');
  Guarded error(64, 'e');
  EXPECT_EQ(TXADGetValue(account().c_str(), "description", value.data(), 10, error.data(), 64), 0);
  EXPECT_EQ(value.bytes(), std::string("abcde\0\0\0\0\0", 10));
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));  // untouched on success
  EXPECT_TRUE(value.guards_intact());
}

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, ValueFillingTheBufferHasNoTerminator) {
  ou_.add_user("Buf User", "buf", "description: abcdefghij\n");
  for (int length : {10, 4, 1}) {
    Guarded value(length, 'v');
    Guarded error(64);
    EXPECT_EQ(
        TXADGetValue(account().c_str(), "description", value.data(), length, error.data(), 64), 0)
        << length;
    EXPECT_EQ(value.bytes(), std::string("abcdefghij").substr(0, length));
    EXPECT_TRUE(value.guards_intact()) << length;
  }
}

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, ZeroOrNegativeLengthWritesNothingAndSucceeds) {
  ou_.add_user("Buf User", "buf", "description: abcde\n");
  for (int length : {0, -1, -2147483647 - 1}) {
    Guarded value(0);
    Guarded error(64);
    EXPECT_EQ(
        TXADGetValue(account().c_str(), "description", value.data(), length, error.data(), 64), 0)
        << length;
    EXPECT_TRUE(value.guards_intact()) << length;
  }
}

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, ValueOf499BytesIsReadAnd500AreRefused) {
  ou_.add_user("Buf User", "buf", "description: " + std::string(499, 'd') + "\n");
  ou_.add_user("Long User", "long", "description: " + std::string(500, 'd') + "\n");
  Guarded value(1000, 'v');
  Guarded error(128);
  EXPECT_EQ(TXADGetValue(account().c_str(), "description", value.data(), 1000, error.data(), 128),
            0);
  EXPECT_EQ(value.text(), std::string(499, 'd'));

  Guarded untouched(1000, 'v');
  EXPECT_EQ(TXADGetValue(ou_.account_name("long").c_str(), "description", untouched.data(), 1000,
                         error.data(), 128),
            -1);
  EXPECT_EQ(error.text(), kBufferTooSmallText);
  EXPECT_EQ(untouched.bytes(), std::string(1000, 'v'));
}

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, DistinguishedNameOf252BytesIsBoundAnd253Refused) {
  // Three nested units of 50 characters, then a user whose name brings the
  // DN to exactly 252 and to 253 bytes.
  std::string parent = ou_.dn();
  for (char c : {'A', 'B', 'C'}) parent = ou_.add_ou(std::string(50, c), parent);
  const size_t cn_252 = 252 - parent.size() - 4;  // "CN=" and ","
  ASSERT_GE(cn_252, 1u);
  ASSERT_LE(cn_252 + 1, 64u);
  ou_.add_user(std::string(cn_252, 'x'), "dn252", "description: fits\n", parent);
  ou_.add_user(std::string(cn_252 + 1, 'y'), "dn253", "description: too long\n", parent);

  Guarded value(64, 'v');
  Guarded error(128);
  EXPECT_EQ(TXADGetValue(ou_.account_name("dn252").c_str(), "description", value.data(), 64,
                         error.data(), 128),
            0)
      << error.text();
  EXPECT_EQ(value.text(), "fits");

  Guarded untouched(64, 'v');
  EXPECT_EQ(TXADGetValue(ou_.account_name("dn253").c_str(), "description", untouched.data(), 64,
                         error.data(), 128),
            -1);
  EXPECT_EQ(error.text(), kBufferTooSmallText);
  EXPECT_EQ(untouched.bytes(), std::string(64, 'v'));
}

TEST_F(ValueBuffersTakeTheTextByTheCopyRule, AttributeWithoutValueIsPropertyNotFound) {
  ou_.add_user("Buf User", "buf");
  for (const char* attribute : {"facsimileTelephoneNumber", "txadsNoSuchAttribute"}) {
    Guarded value(32, 'v');
    Guarded error(64, 'e');
    EXPECT_EQ(TXADGetValue(account().c_str(), attribute, value.data(), 32, error.data(), 64), -1)
        << attribute;
    EXPECT_EQ(error.bytes(), "E_ADS_PROPERTY_NOT_FOUND" + std::string(64 - 24, '\0')) << attribute;
    EXPECT_EQ(value.bytes(), std::string(32, 'v')) << attribute;
  }
}

}  // namespace
}  // namespace queries_test
