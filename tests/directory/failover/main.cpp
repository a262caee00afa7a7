// The failover tests run as a domain member without OpenLDAP configuration:
// no configured server and no base, so every call finds the domain's
// controllers through DNS. libldap reads its environment once, before the
// first call: the variables go before any test starts.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  for (const char* name : {"LDAPURI", "LDAPHOST", "LDAPBASE", "LDAPNETWORK_TIMEOUT", "LDAPTIMEOUT"})
    unsetenv(name);
  setenv("LDAPCONF", "/dev/null", 1);  // the machine's ldap.conf might name a server
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
