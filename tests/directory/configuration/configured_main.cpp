// The tests of this folder run in a process of their own, because libldap
// reads its client configuration once per process: main sets it first.
//   LDAPTIMEOUT, LDAPNETWORK_TIMEOUT  2 s, so that a hung server is noticed soon
//   LDAPURI                           a refused server first, then the controller
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  setenv("LDAPTIMEOUT", "2", 1);
  setenv("LDAPNETWORK_TIMEOUT", "2", 1);
  const char* uri = std::getenv("LDAPURI");
  const std::string list = std::string("ldap://127.0.0.1:1 ") + (uri ? uri : "");
  setenv("LDAPURI", list.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
