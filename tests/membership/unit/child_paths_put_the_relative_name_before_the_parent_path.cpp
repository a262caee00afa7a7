// The container walk builds its children's paths and the station RDN from
// text: "LDAP://" + relative name + "," + the parent's text after its
// scheme (found in any letter case), and "CN=" + the upper-cased station.
#include <gtest/gtest.h>

#include <string>

#include "membership/station_names.h"

namespace txads::membership {
namespace {

struct Case {
  const char* name;
  const char* parent;
  const char* expected;
};

const Case kCases[] = {
    {"OU=Lab", "LDAP://OU=Site,DC=corp", "LDAP://OU=Lab,OU=Site,DC=corp"},
    {"CN=Machines", "ldap://OU=Site,DC=corp", "LDAP://CN=Machines,OU=Site,DC=corp"},
    {"OU=Lab", "LdAp://ou=site,dc=corp", "LDAP://OU=Lab,ou=site,dc=corp"},
    // A server part ends up after the child's name, where it cannot bind.
    {"OU=Lab", "LDAP://dc1.corp/OU=Site,DC=corp", "LDAP://OU=Lab,dc1.corp/OU=Site,DC=corp"},
    {"OU=R\\,D", "LDAP://DC=corp", "LDAP://OU=R\\,D,DC=corp"},
    {"OU=Lab", "OU=Site,DC=corp", ""},
    {"OU=Lab", "", ""},
};

TEST(ChildPath, EveryCaseOfTheTable) {
  for (const Case& c : kCases) {
    EXPECT_EQ(child_path(c.name, c.parent), c.expected) << c.name << " under " << c.parent;
  }
}

TEST(ChildPath, HoldsNamesAndParentsLongerThanTheWorkingBuffersWhole) {
  const std::string name = "OU=" + std::string(400, 'n');
  const std::string parent = "LDAP://OU=" + std::string(600, 'p') + ",DC=corp";
  const std::string path = child_path(name, parent);
  EXPECT_EQ(path, "LDAP://" + name + "," + parent.substr(7));
}

TEST(StationRdn, IsTheUpperCasedNameAfterCn) {
  EXPECT_EQ(station_rdn("pc042"), "CN=PC042");
  EXPECT_EQ(station_rdn("Pc-1.corp"), "CN=PC-1.CORP");
  EXPECT_EQ(station_rdn("a,b"), "CN=A,B");
  EXPECT_EQ(station_rdn(""), "CN=");
  EXPECT_EQ(station_rdn(std::string(300, 'x').c_str()), "CN=" + std::string(300, 'X'));
}

}  // namespace
}  // namespace txads::membership
