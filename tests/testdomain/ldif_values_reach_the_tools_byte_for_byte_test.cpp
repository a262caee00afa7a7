// Values handed to ldapmodify and read back from ldapsearch keep every byte:
// base64 by the standard vectors, unsafe LDIF values encoded, passwords in the
// directory's UTF-16LE form, wrapped and encoded search output decoded.
#include <gtest/gtest.h>

#include "support/ldif.h"

namespace {

using txads_test::base64_decode;
using txads_test::base64_encode;
using txads_test::ldif_line;
using txads_test::parse_ldif;
using txads_test::unicode_pwd;

TEST(Base64, MatchesTheStandardVectorsBothWays) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64_encode(plain), encoded) << plain;
    EXPECT_EQ(base64_decode(encoded), plain) << encoded;
  }
}

TEST(Base64, KeepsBytesAboveSevenBitsAndZeros) {
  std::string bytes("\x00\xff\x80\x01\xfc", 5);
  EXPECT_EQ(base64_decode(base64_encode(bytes)), bytes);
}

TEST(Base64, RefusesCharactersOutsideTheAlphabet) {
  EXPECT_THROW(base64_decode("Zm9v!"), std::invalid_argument);
}

TEST(LdifLine, WritesPlainAsciiAsIs) {
  EXPECT_EQ(ldif_line("cn", "Smith\\, John"), "cn: Smith\\, John\n");
}

TEST(LdifLine, EncodesValuesLdifCannotCarryPlainly) {
  struct Case {
    const char* value;
    const char* line;
  };
  const Case cases[] = {
      {"J\xc3\xbcrgen", "cn:: SsO8cmdlbg==\n"},  // ü
      {" lead", "cn:: IGxlYWQ=\n"},
      {"trail ", "cn:: dHJhaWwg\n"},
      {":colon", "cn:: OmNvbG9u\n"},
      {"<angle", "cn:: PGFuZ2xl\n"},
      {"two\nlines", "cn:: dHdvCmxpbmVz\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(ldif_line("cn", c.value), c.line) << c.value;
}

TEST(UnicodePwd, IsTheQuotedPasswordInUtf16LittleEndian) {
  EXPECT_EQ(unicode_pwd("ab"), std::string("\"\0a\0b\0\"\0", 8));
  EXPECT_EQ(unicode_pwd("\xc3\xbc"), std::string("\"\0\xfc\0\"\0", 6));        // ü
  EXPECT_EQ(unicode_pwd("\xe2\x82\xac"), std::string("\"\0\xac\x20\"\0", 6));  // €
  EXPECT_EQ(unicode_pwd("\xf0\x9f\x98\x80"),                                   // U+1F600
            std::string("\"\0\x3d\xd8\x00\xde\"\0", 8));
}

TEST(ParseLdif, ReadsEntriesWithWrappedAndEncodedValues) {
  const char* text =
      "# comment\n"
      "dn:: Q049SsO8cmdlbiBNw7xsbGVyLE9VPURldixPVT1TdGFmZixEQz1jb3JwLERDPWV4YW1wbGUsR\n"
      " EM9Y29t\n"
      "member: CN=A,DC=x\n"
      "Member: CN=B,DC=x\n"
      "description:\n"
      "\n"
      "# refldap://corp.example.com/CN=Configuration,DC=corp,DC=example,DC=com\n"
      "\n"
      "dn: CN=Smith\\, John,OU=Staff,DC=corp,DC=example,DC=com\n"
      "cn: Smith, John\n";
  auto entries = parse_ldif(text);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].dn,
            "CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff,DC=corp,DC=example,DC=com");
  EXPECT_EQ(entries[0].values("MEMBER"), (std::vector<std::string>{"CN=A,DC=x", "CN=B,DC=x"}));
  EXPECT_EQ(entries[0].values("description"), std::vector<std::string>{""});
  EXPECT_EQ(entries[1].dn, "CN=Smith\\, John,OU=Staff,DC=corp,DC=example,DC=com");
  EXPECT_EQ(entries[1].values("cn"), std::vector<std::string>{"Smith, John"});
  EXPECT_TRUE(entries[1].values("sn").empty());
}

TEST(ParseLdif, SkipsSearchReferences) {
  auto entries = parse_ldif("ref: ldap://other/DC=x\n\ndn: DC=x\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].dn, "DC=x");
}

}  // namespace
