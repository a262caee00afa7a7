// The dialogs show an entry by its name and the folder it lies in, and offer
// only security groups of the three scopes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dn_display.h"

namespace txads::dialog {
namespace {

TEST(SplitDn, EscapedCommasDoNotSplit) {
  EXPECT_EQ(split_dn("CN=Smith\\, John,OU=Staff,DC=corp"),
            (std::vector<std::string>{"CN=Smith\\, John", "OU=Staff", "DC=corp"}));
  EXPECT_EQ(split_dn("CN=a\\\\,OU=b"), (std::vector<std::string>{"CN=a\\\\", "OU=b"}));
  EXPECT_EQ(split_dn("DC=com"), (std::vector<std::string>{"DC=com"}));
  EXPECT_TRUE(split_dn("").empty());
}

TEST(RdnValue, ResolvesCharacterAndHexEscapes) {
  struct Case {
    const char* rdn;
    const char* value;
  };
  const Case cases[] = {
      {"CN=Smith\\, John", "Smith, John"},
      {"CN=J\\C3\\BCrgen", "J\xC3\xBCrgen"},
      {"OU=B\xC3\xBCro", "B\xC3\xBCro"},
      {"CN=\\#1 \\+ \\\"x\\\"", "#1 + \"x\""},
      {"CN=back\\\\slash", "back\\slash"},
      {"CN=trailing\\", "trailing\\"},
      {"noequals", "noequals"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rdn);
    EXPECT_EQ(rdn_value(c.rdn), c.value);
  }
}

TEST(FolderOf, DomainThenContainersFromTheTopDown) {
  struct Case {
    const char* dn;
    const char* folder;
  };
  const Case cases[] = {
      {"CN=Nest1,OU=Groups,DC=corp,DC=example,DC=com", "corp.example.com/Groups"},
      {"CN=Ann,OU=Dev,OU=Staff,DC=corp,DC=example,DC=com", "corp.example.com/Staff/Dev"},
      {"CN=Domain Admins,CN=Users,DC=corp,DC=example,DC=com", "corp.example.com/Users"},
      {"CN=G,OU=Smith\\, Jones,dc=child,dc=corp", "child.corp/Smith, Jones"},
      {"OU=Top,DC=corp", "corp"},
      {"DC=corp,DC=example", "example"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dn);
    EXPECT_EQ(folder_of(c.dn), c.folder);
  }
}

TEST(GroupTypes, OnlySecurityGroupsOfTheThreeScopesAreOffered) {
  struct Case {
    uint32_t type;
    bool offered;
    const char* label;
  };
  const Case cases[] = {
      {0x80000002u, true, "Global security group"},
      {0x80000004u, true, "Domain local security group"},
      {0x80000008u, true, "Universal security group"},
      {0x00000002u, false, ""},  // global distribution group
      {0x00000004u, false, ""},  // domain-local distribution group
      {0x00000008u, false, ""},  // universal distribution group
      {0x80000005u, false, ""},  // builtin local group
      {0x80000010u, false, ""},  // application basic group
      {0x80000020u, false, ""},  // application query group
      {0x8000000Au, false, ""},  // two scopes at once: not a valid group
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(is_offered_group_type(static_cast<int32_t>(c.type)), c.offered);
    EXPECT_EQ(group_type_label(static_cast<int32_t>(c.type)), c.label);
  }
}

}  // namespace
}  // namespace txads::dialog
