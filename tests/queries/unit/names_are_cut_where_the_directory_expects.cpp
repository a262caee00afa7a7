// The names the queries take out of relative names and paths, and the
// attribute names they accept.
#include <gtest/gtest.h>

#include "frame/ldap_path_text.h"
#include "queries/names.h"

namespace txads::queries {
namespace {

TEST(NamesAreCutWhereTheDirectoryExpects, ListedEntryStartsAfterTheFirstCn) {
  EXPECT_EQ(entry_name("CN=Ann Smith"), "Ann Smith");
  EXPECT_EQ(entry_name("cn=ann smith"), "ann smith");
  EXPECT_EQ(entry_name("Cn=PC042"), "PC042");
  EXPECT_EQ(entry_name("CN=Smith\\, Ann"), "Smith\\, Ann");
  EXPECT_EQ(entry_name("CN=CN=x"), "CN=x");
  EXPECT_EQ(entry_name("OU=Sales"), "OU=Sales");
  EXPECT_EQ(entry_name(""), "");
}

TEST(NamesAreCutWhereTheDirectoryExpects, GroupDnIsUpperCasedFromItsFirstCn) {
  EXPECT_EQ(upper_dn_from_first_cn(
                "LDAP://dc1.corp.example.com/CN=Sales,OU=Groups,DC=corp,DC=example,DC=com"),
            "CN=SALES,OU=GROUPS,DC=CORP,DC=EXAMPLE,DC=COM");
  EXPECT_EQ(upper_dn_from_first_cn("LDAP://cn=staff,dc=corp"), "CN=STAFF,DC=CORP");
  EXPECT_EQ(upper_dn_from_first_cn("LDAP://OU=Only,dc=corp"), "LDAP://OU=Only,dc=corp");
}

TEST(NamesAreCutWhereTheDirectoryExpects, AttributeNamesWithFilterCharactersAreRefused) {
  for (const char* good : {"cn", "objectSid", "msDS-UserPasswordExpiryTimeComputed",
                           "userCertificate;binary", "2.5.4.3"}) {
    EXPECT_TRUE(is_attribute_description(good)) << good;
  }
  for (const char* bad : {"", "cn)(objectClass=*", "*", "cn=x", "c n", "-cn", "cn;", "a..b",
                          "cn\\2a", "description\n"}) {
    EXPECT_FALSE(is_attribute_description(bad)) << bad;
  }
}

}  // namespace
}  // namespace txads::queries
