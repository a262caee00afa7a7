// A distinguished name becomes "LDAP://" + the DNS name of its DC= parts +
// "/" + the DN in its own case; without DC= parts, "LDAP://" + the DN.
#include <gtest/gtest.h>

#include "accounts/server_path.h"

namespace txads {
namespace {

struct Case {
  const char* dn;
  const char* path;
};

const Case kCases[] = {
    {"CN=Admins,OU=Groups,DC=corp,DC=example,DC=com",
     "LDAP://corp.example.com/CN=Admins,OU=Groups,DC=corp,DC=example,DC=com"},
    {"CN=Ann Lee,OU=Staff,DC=sales,DC=corp",
     "LDAP://sales.corp/CN=Ann Lee,OU=Staff,DC=sales,DC=corp"},
    {"cn=ann lee,ou=staff,dc=Sales,dc=CORP",
     "LDAP://sales.corp/cn=ann lee,ou=staff,dc=Sales,dc=CORP"},
    {"DC=corp,DC=example,DC=com", "LDAP://corp.example.com/DC=corp,DC=example,DC=com"},
    {"CN=Ann,OU=Staff", "LDAP://CN=Ann,OU=Staff"},
    {"", "LDAP://"},
    // Everything after the first "DC=" makes the server name, whatever it is.
    {"CN=Box,DC=corp,OU=Odd,DC=com", "LDAP://corp.ou=odd.com/CN=Box,DC=corp,OU=Odd,DC=com"},
    {"CN=ADC=1,DC=corp", "LDAP://1.corp/CN=ADC=1,DC=corp"},
    // Removing one "DC=" can make another: none is left.
    {"CN=x,DC=a,DC=bDDC=C=c", "LDAP://a.bc/CN=x,DC=a,DC=bDDC=C=c"},
    // Bytes above 127 pass through untouched, in any code set.
    {"CN=J\xfcrgen,DC=b\xdcro,DC=de", "LDAP://b\xdcro.de/CN=J\xfcrgen,DC=b\xdcro,DC=de"},
};

TEST(ServerQualifiedPath, NamesTheDomainAsServer) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dn);
    EXPECT_EQ(server_qualified_path(c.dn), c.path);
  }
}

TEST(ServerQualifiedPath, KeepsLongNamesWhole) {
  const std::string ou(600, 'o');
  const std::string dn = "CN=u,OU=" + ou + ",DC=corp,DC=com";
  EXPECT_EQ(server_qualified_path(dn), "LDAP://corp.com/" + dn);
}

}  // namespace
}  // namespace txads
