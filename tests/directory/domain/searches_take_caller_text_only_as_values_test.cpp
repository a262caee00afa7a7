// The plain searches of search.h: caller text in a filter is a value, never
// filter syntax; bases, scopes and the global catalog.
#include <gtest/gtest.h>

#include <string>

#include "directory/search.h"
#include "scratch.h"

namespace txads::directory {
namespace {

size_t count(const std::string& filter, bool global_catalog = false) {
  SearchRequest request;
  request.global_catalog = global_catalog;
  request.filter = filter;
  request.attributes = {"sAMAccountName"};
  std::vector<Entry> entries;
  EXPECT_EQ(search(request, entries), kOk);
  return entries.size();
}

TEST(Searches, CallerTextIsEscapedIntoAValue) {
  EXPECT_EQ(count("(sAMAccountName=" + escape_filter_value("ann") + ")"), 1u);
  EXPECT_EQ(count("(sAMAccountName=" + escape_filter_value("*") + ")"), 0u);
  EXPECT_EQ(count("(sAMAccountName=" + escape_filter_value("*)(objectClass=*") + ")"), 0u);
  EXPECT_EQ(count("(distinguishedName=" +
                  escape_filter_value("CN=Smith\\, John,OU=Staff," + scratch::base()) + ")"),
            1u);
  EXPECT_EQ(count("(sAMAccountName=" + escape_filter_value("jürgen") + ")"), 1u);
  EXPECT_GT(count("(sAMAccountName=*)"), 10u);  // unescaped, a wildcard works as one
}

TEST(Searches, TheGlobalCatalogFindsAccountsToo) {
  EXPECT_EQ(count("(sAMAccountName=ann)", true), 1u);
}

TEST(Searches, BaseScopeAndNamingContexts) {
  std::string dn;
  ASSERT_EQ(default_naming_context(dn), kOk);
  EXPECT_EQ(dn, scratch::base());
  ASSERT_EQ(configuration_naming_context(dn), kOk);
  EXPECT_EQ(dn, "CN=Configuration," + scratch::base());

  SearchRequest request;
  request.base = "CN=Ann Archer,OU=Dev,OU=Staff," + scratch::base();
  request.scope = Scope::base;
  request.attributes = {"tokenGroups", "objectSid"};
  std::vector<Entry> entries;
  ASSERT_EQ(search(request, entries), kOk);
  ASSERT_EQ(entries.size(), 1u);
  ASSERT_NE(entries[0].find("TOKENGROUPS"), nullptr);
  EXPECT_GE(entries[0].find("tokenGroups")->size(), 3u);  // Domain Users, Lab Members, Devs

  request.base = "OU=Nowhere," + scratch::base();
  EXPECT_EQ(search(request, entries), kNoSuchObject);
  request.server = "dc1:notaport";
  EXPECT_EQ(search(request, entries), kBadPathname);
}

}  // namespace
}  // namespace txads::directory
