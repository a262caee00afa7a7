// The DN containment test decides by text: the container DN after the first
// case-sensitive "LDAP://", folded to upper case and stripped of
// backslashes, occurs in the object's DN folded the same way.
#include <gtest/gtest.h>

#include "membership/dn_containment.h"

namespace txads::membership {
namespace {

struct Case {
  const char* what;
  const char* object_dn;
  const char* container_path;
  int expected;
};

constexpr const char* kAnn = "CN=ANN,OU=DEV,OU=STAFF,DC=CORP";

const Case kCases[] = {
    {"the container itself", kAnn, "LDAP://OU=DEV,OU=STAFF,DC=CORP", 1},
    {"a container above a sub-container", kAnn, "LDAP://OU=STAFF,DC=CORP", 1},
    {"the domain", kAnn, "LDAP://DC=CORP", 1},
    {"a container written in lower case", kAnn, "LDAP://ou=staff,dc=corp", 1},
    {"an object DN in mixed case", "cn=Ann,ou=Dev,OU=Staff,dc=Corp", "LDAP://OU=STAFF,DC=CORP", 1},
    {"another container", kAnn, "LDAP://OU=SALES,DC=CORP", 2},
    {"a sibling's name as text only", "CN=BOB,OU=SALES,DC=EXAMPLE2", "LDAP://OU=SALES,DC=EXAMPLE",
     1},
    {"a server part stays in the container DN", kAnn, "LDAP://dc1.corp/OU=STAFF,DC=CORP", 2},
    {"a lower-case scheme has no container DN", kAnn, "ldap://OU=STAFF,DC=CORP", -1},
    {"a mixed-case scheme has no container DN", kAnn, "Ldap://OU=STAFF,DC=CORP", -1},
    {"the scheme alone", kAnn, "LDAP://", -1},
    {"text before the scheme and nothing after", kAnn, "xyzLDAP://", -1},
    {"no scheme at all", kAnn, "OU=STAFF,DC=CORP", -1},
    {"text before the scheme is ignored", kAnn, "see LDAP://OU=STAFF,DC=CORP", 1},
    {"the first scheme counts", kAnn, "LDAP://LDAP://OU=STAFF,DC=CORP", 2},
    {"an escaped comma in the object's name", "CN=Smith\\, Ann,OU=DEV,DC=CORP",
     "LDAP://OU=DEV,DC=CORP", 1},
    {"an escaped comma in the container only", "CN=ANN,OU=R,D,DC=CORP", "LDAP://OU=R\\,D,DC=CORP",
     1},
    {"an escaped comma on both sides", "CN=ANN,OU=R\\,D,DC=CORP", "LDAP://ou=r\\,d,dc=corp", 1},
    {"an escaped plus sign", "CN=A\\+B,OU=X,DC=CORP", "LDAP://CN=A+B,OU=X,DC=CORP", 1},
    {"an empty object DN", "", "LDAP://OU=STAFF,DC=CORP", 2},
    {"bytes above ASCII are compared as they are", "CN=\xc3\xa9,OU=\xc3\x89T\xc3\x89,DC=CORP",
     "LDAP://ou=\xc3\x89t\xc3\x89,DC=CORP", 1},
};

TEST(DnContainment, DecidesEveryCaseOfTheTable) {
  for (const Case& c : kCases) {
    EXPECT_EQ(dn_containment(c.object_dn, c.container_path), c.expected) << c.what;
  }
}

TEST(DnContainment, ReadsAContainerPathThatIsNotTerminatedWhereTheViewEnds) {
  const char text[] = "LDAP://OU=STAFF,DC=CORPXXXX";
  EXPECT_EQ(dn_containment(kAnn, std::string_view(text, 23)), 1);
}

}  // namespace
}  // namespace txads::membership
