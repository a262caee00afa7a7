// A caller's name becomes a relative name in a 300-byte working buffer and a
// new station's account name in a 260-byte one; names that would not fit are
// refused, never cut or written past the buffer.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "changes/relative_name.h"

namespace txads {
namespace {

struct LengthCase {
  const char* prefix;
  size_t name_bytes;
  bool accepted;
};

TEST(RelativeNamesFitTheirWorkingBuffers, NamesUpTo296BytesAreTakenWhole) {
  const LengthCase cases[] = {
      {"OU=", 1, true},   {"OU=", 295, true},  {"OU=", 296, true},   {"OU=", 297, false},
      {"cn=", 296, true}, {"cn=", 297, false}, {"cn=", 5000, false},
  };
  for (const auto& c : cases) {
    const std::string name(c.name_bytes, 'a');
    std::string rdn = "left over";
    const Status s = build_relative_name(c.prefix, name.c_str(), rdn);
    SCOPED_TRACE(std::string(c.prefix) + std::to_string(c.name_bytes));
    if (c.accepted) {
      EXPECT_EQ(s, kOk);
      EXPECT_EQ(rdn, c.prefix + name);
    } else {
      EXPECT_EQ(s, kInvalidArg);
      EXPECT_EQ(rdn, "");
    }
  }
}

TEST(RelativeNamesFitTheirWorkingBuffers, AStationNameOf258BytesFillsTheAccountBufferExactly) {
  std::string account;
  const std::string fits(258, 's');
  EXPECT_EQ(build_account_name(fits.c_str(), account), kOk);
  EXPECT_EQ(account.size() + 1, kAccountNameBuffer);
  EXPECT_EQ(account, fits + "$");

  const std::string too_long(259, 's');
  EXPECT_EQ(build_account_name(too_long.c_str(), account), kInvalidArg);
  EXPECT_EQ(account, "");
}

TEST(RelativeNamesFitTheirWorkingBuffers, AMissingNameIsRefused) {
  std::string out = "x";
  EXPECT_EQ(build_relative_name("OU=", nullptr, out), kInvalidArg);
  EXPECT_EQ(build_account_name(nullptr, out), kInvalidArg);
}

TEST(RelativeNamesFitTheirWorkingBuffers, BytesAreCountedInTheCallersCodeSet) {
  // 296 Latin-1 bytes are 592 bytes of UTF-8: the limit is the caller's bytes.
  ASSERT_NE(std::setlocale(LC_CTYPE, "de_DE.iso88591"), nullptr) << "locale de_DE.iso88591";
  std::string rdn;
  const std::string umlauts(296, '\xFC');
  EXPECT_EQ(build_relative_name("OU=", umlauts.c_str(), rdn), kOk);
  EXPECT_EQ(rdn.size(), 3u + 2 * 296);
  EXPECT_EQ(rdn.substr(0, 7), "OU=\xC3\xBC\xC3\xBC");

  EXPECT_EQ(build_relative_name("cn=", "B\xFCro", rdn), kOk);
  EXPECT_EQ(rdn, "cn=B\xC3\xBCro");
  std::setlocale(LC_CTYPE, "C");
}

TEST(RelativeNamesFitTheirWorkingBuffers, TextInvalidInTheCallersCodeSetIsRefused) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  std::string rdn;
  EXPECT_EQ(build_relative_name("OU=", "B\xFCro", rdn), kInvalidArg);  // Latin-1 byte in UTF-8
  EXPECT_EQ(caller_path("LDAP://OU=B\xFCro"), "");
  EXPECT_EQ(caller_path(nullptr), "");
  std::setlocale(LC_CTYPE, "C");
}

}  // namespace
}  // namespace txads
