// The seeded objects and memberships are where scripts/testdomain/README.md
// says they are: other tests rely on this tree by name.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/domain.h"

namespace {

using txads_test::attribute_values;
using txads_test::search;
using txads_test::seeded;

bool has(const std::vector<std::string>& values, const std::string& wanted) {
  return std::find(values.begin(), values.end(), wanted) != values.end();
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

struct Seeded {
  const char* dn;       // below the domain
  const char* klass;    // most specific objectClass
  const char* account;  // sAMAccountName, "" for none
};

const Seeded kObjects[] = {
    {"OU=Site", "organizationalUnit", ""},
    {"OU=Lab,OU=Site", "organizationalUnit", ""},
    {"OU=B\xc3\xbcro,OU=Site", "organizationalUnit", ""},
    {"OU=Office", "organizationalUnit", ""},
    {"OU=Staff", "organizationalUnit", ""},
    {"OU=Dev,OU=Staff", "organizationalUnit", ""},
    {"OU=Groups", "organizationalUnit", ""},
    {"CN=Equipment", "container", ""},
    {"CN=SCOPE1,CN=Equipment", "computer", "SCOPE1$"},
    {"CN=Lab Service,CN=Equipment", "user", "labsvc"},
    {"CN=Ann Archer,OU=Dev,OU=Staff", "user", "ann"},
    {"CN=Bob Baker,OU=Staff", "user", "bob"},
    {"CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff", "user", "j\xc3\xbcrgen"},
    {"CN=Smith\\, John,OU=Staff", "user", "jsmith"},
    {"CN=Dave Deep,OU=Dev,OU=Staff", "user", "dave"},
    {"CN=Carl Common,CN=Users", "user", "carl"},
    {"CN=Eve Nogroup,OU=Office", "user", "eve"},
    {"CN=PC042,OU=Lab,OU=Site", "computer", "PC042$"},
    {"CN=PC043,OU=Site", "computer", "PC043$"},
    {"CN=PC044,OU=Lab,OU=Site", "computer", "PC044$"},
    {"CN=PC050,OU=Office", "computer", "PC050$"},
    {"CN=KIOSK7,CN=Computers", "computer", "KIOSK7$"},
    {"CN=Nest1,OU=Groups", "group", "Nest1"},
    {"CN=Nest6,OU=Groups", "group", "Nest6"},
    {"CN=CycleA,OU=Groups", "group", "CycleA"},
    {"CN=Lab Members,OU=Groups", "group", "Lab Members"},
    {"CN=Pr\xc3\xbc"
     "fer,OU=Groups",
     "group",
     "Pr\xc3\xbc"
     "fer"},
    {"CN=Empty,OU=Groups", "group", "Empty"},
    {"CN=Devs,OU=Dev,OU=Staff", "group", "Devs"},
};

TEST(SeededTree, HoldsEveryDocumentedObjectWithItsClassAndAccount) {
  for (const auto& o : kObjects) {
    auto entries = search(seeded(o.dn), "(objectClass=*)", txads_test::Scope::base,
                          {"objectClass", "sAMAccountName"});
    ASSERT_EQ(entries.size(), 1u) << o.dn;
    EXPECT_EQ(entries[0].values("objectClass").back(), o.klass) << o.dn;
    auto account = entries[0].values("sAMAccountName");
    EXPECT_EQ(account,
              *o.account ? std::vector<std::string>{o.account} : std::vector<std::string>{})
        << o.dn;
  }
}

struct Membership {
  const char* group;
  std::vector<const char*> members;
};

TEST(SeededTree, GroupsHoldExactlyTheirDocumentedMembers) {
  const Membership table[] = {
      {"CN=Nest1,OU=Groups", {"CN=Nest2,OU=Groups"}},
      {"CN=Nest2,OU=Groups", {"CN=Nest3,OU=Groups"}},
      {"CN=Nest3,OU=Groups", {"CN=Nest4,OU=Groups"}},
      {"CN=Nest4,OU=Groups", {"CN=Nest5,OU=Groups"}},
      {"CN=Nest5,OU=Groups", {"CN=Nest6,OU=Groups"}},
      {"CN=Nest6,OU=Groups", {"CN=Dave Deep,OU=Dev,OU=Staff", "CN=PC044,OU=Lab,OU=Site"}},
      {"CN=CycleA,OU=Groups", {"CN=CycleB,OU=Groups"}},
      {"CN=CycleB,OU=Groups", {"CN=CycleA,OU=Groups", "CN=Bob Baker,OU=Staff"}},
      {"CN=Lab Members,OU=Groups",
       {"CN=Ann Archer,OU=Dev,OU=Staff", "CN=Bob Baker,OU=Staff", "CN=PC042,OU=Lab,OU=Site",
        "CN=PC043,OU=Site"}},
      {"CN=Pr\xc3\xbc"
       "fer,OU=Groups",
       {"CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff", "CN=Smith\\, John,OU=Staff"}},
      {"CN=Devs,OU=Dev,OU=Staff",
       {"CN=Ann Archer,OU=Dev,OU=Staff", "CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff"}},
      {"CN=Empty,OU=Groups", {}},
  };
  for (const auto& m : table) {
    std::vector<std::string> expected;
    for (const char* member : m.members) expected.push_back(seeded(member));
    EXPECT_EQ(sorted(attribute_values(seeded(m.group), "member")), sorted(expected)) << m.group;
  }
}

TEST(SeededTree, DocumentedAttributesAreSet) {
  struct Value {
    const char* dn;
    const char* attribute;
    const char* value;
  };
  const Value values[] = {
      {"CN=Ann Archer,OU=Dev,OU=Staff", "mail", "ann@corp.example.com"},
      {"CN=Ann Archer,OU=Dev,OU=Staff", "department", "Development"},
      {"CN=Ann Archer,OU=Dev,OU=Staff", "userPrincipalName", "ann@corp.example.com"},
      {"CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff", "sn", "M\xc3\xbcller"},
      {"CN=Smith\\, John,OU=Staff", "cn", "Smith, John"},
      {"CN=PC042,OU=Lab,OU=Site", "dNSHostName", "pc042.corp.example.com"},
      {"CN=SCOPE1,CN=Equipment", "description", "Oscilloscope bench PC"},
  };
  for (const auto& v : values)
    EXPECT_EQ(attribute_values(seeded(v.dn), v.attribute), std::vector<std::string>{v.value})
        << v.dn << " " << v.attribute;
}

TEST(SeededTree, ControllerHasLdapNamesButTheDomainNameHasNone) {
  auto spns = attribute_values(seeded("CN=DC1,OU=Domain Controllers"), "servicePrincipalName");
  EXPECT_TRUE(has(spns, "ldap/dc1.corp.example.com"));
  EXPECT_TRUE(has(spns, "GC/dc1.corp.example.com/corp.example.com"));
  EXPECT_TRUE(
      search(txads_test::base_dn(), "(servicePrincipalName=ldap/corp.example.com)").empty());
}

}  // namespace
