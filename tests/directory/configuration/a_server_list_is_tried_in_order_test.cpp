// A configured list of servers (LDAPURI "ldap://127.0.0.1:1 ldap://dc1...",
// set in configured_main.cpp) is tried in order: the refused first server
// costs nothing but the attempt, for plain binds, searches and the global
// catalog alike.
#include <gtest/gtest.h>

#include <string>

#include "directory/ads.h"
#include "directory/search.h"
#include "scratch.h"

namespace txads::directory {
namespace {

TEST(ServerList, TheFirstServerThatAnswersIsUsed) {
  Container container;
  EXPECT_EQ(ads_get_object(scratch::path("OU=Site," + scratch::base()), container), kOk);
  std::string dn;
  EXPECT_EQ(default_naming_context(dn), kOk);
  EXPECT_EQ(dn, scratch::base());

  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);
  ASSERT_EQ(translate.get(NameType::rfc1779, dn), kOk);
  EXPECT_EQ(dn, "CN=Ann Archer,OU=Dev,OU=Staff," + scratch::base());
}

}  // namespace
}  // namespace txads::directory
