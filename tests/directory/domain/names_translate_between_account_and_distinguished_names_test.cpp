// IADsNameTranslate on the global catalog: domain\name and distinguished
// names both ways, and the codes for names that cannot be resolved.
#include <gtest/gtest.h>

#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

TEST(NameTranslation, AccountNamesAndDistinguishedNamesTranslateBothWays) {
  const std::string base = scratch::base();
  struct Row {
    std::string nt4, dn, nt4_back;
  };
  const Row rows[] = {
      {"CORP\\ann", "CN=Ann Archer,OU=Dev,OU=Staff," + base, "CORP\\ann"},
      {"corp\\ANN", "CN=Ann Archer,OU=Dev,OU=Staff," + base, "CORP\\ann"},
      {"CORP\\jsmith", "CN=Smith\\, John,OU=Staff," + base, "CORP\\jsmith"},
      {"CORP\\jürgen", "CN=Jürgen Müller,OU=Dev,OU=Staff," + base, "CORP\\jürgen"},
      {"CORP\\PC042$", "CN=PC042,OU=Lab,OU=Site," + base, "CORP\\PC042$"},
      {"CORP\\Lab Members", "CN=Lab Members,OU=Groups," + base, "CORP\\Lab Members"},
      {"CORP\\", base, "CORP\\"},
      // Built-in groups: their own domain's name, whichever name found them.
      {"BUILTIN\\Administrators", "CN=Administrators,CN=Builtin," + base,
       "BUILTIN\\Administrators"},
      {"builtin\\users", "CN=Users,CN=Builtin," + base, "BUILTIN\\Users"},
      {"CORP\\Administrators", "CN=Administrators,CN=Builtin," + base, "BUILTIN\\Administrators"},
  };
  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.nt4);
    std::string dn, nt4;
    ASSERT_EQ(translate.set(NameType::nt4, row.nt4), kOk);
    ASSERT_EQ(translate.get(NameType::rfc1779, dn), kOk);
    EXPECT_EQ(dn, row.dn);
    ASSERT_EQ(translate.set(NameType::rfc1779, row.dn), kOk);
    ASSERT_EQ(translate.get(NameType::nt4, nt4), kOk);
    EXPECT_EQ(nt4, row.nt4_back);
  }
}

TEST(NameTranslation, UnresolvableNamesHaveTheirCodes) {
  NameTranslate translate;
  std::string out;
  EXPECT_EQ(translate.set(NameType::nt4, "CORP\\ann").bits(), 0x8000FFFFu);  // before init
  EXPECT_EQ(translate.init(1, ""), kInvalidArg);
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  EXPECT_EQ(translate.get(NameType::rfc1779, out).bits(), 0x8000FFFFu);  // before set
  const uint32_t not_found = 0x80072116;
  EXPECT_EQ(translate.set(NameType::nt4, "CORP\\nobody").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::nt4, "NODOMAIN\\ann").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::nt4, "ann").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::nt4, "\\ann").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::nt4, "BUILTIN\\ann").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::nt4, "CORP\\*").bits(), not_found);  // no wildcard
  EXPECT_EQ(translate.set(NameType::rfc1779, "CN=Nobody," + scratch::base()).bits(), not_found);
  EXPECT_EQ(translate.set(NameType::rfc1779, "not a dn").bits(), not_found);
  EXPECT_EQ(translate.set(NameType::rfc1779, "").bits(), not_found);

  // An organizational unit has a distinguished name but no account name.
  ASSERT_EQ(translate.set(NameType::rfc1779, "OU=Lab,OU=Site," + scratch::base()), kOk);
  EXPECT_EQ(translate.get(NameType::nt4, out).bits(), 0x80072118u);
}

}  // namespace
}  // namespace txads::directory
