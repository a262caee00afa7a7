// Inside the test domain's namespace the controller, the domain and the test
// host resolve to loopback, the host is PC042, and the global catalog answers.
#include <gtest/gtest.h>
#include <netdb.h>
#include <unistd.h>

#include "support/domain.h"

namespace {

std::string address_of(const char* name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0) return "unresolved";
  char text[64] = "";
  getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
  freeaddrinfo(found);
  return text;
}

TEST(Namespace, ResolvesTheDomainNamesToLoopback) {
  for (const char* name : {"dc1.corp.example.com", "corp.example.com", "pc042.corp.example.com"})
    EXPECT_EQ(address_of(name), "127.0.0.1") << name;
}

TEST(Namespace, GivesTheTestsTheHostNameOfPc042) {
  char host[256] = "";
  ASSERT_EQ(gethostname(host, sizeof host), 0);
  EXPECT_STREQ(host, "pc042.corp.example.com");
}

TEST(Namespace, GlobalCatalogFindsObjectsOfTheWholeDomain) {
  auto found = txads_test::search_global_catalog("(sAMAccountName=j\xc3\xbcrgen)");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].dn, txads_test::seeded("CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff"));
}

TEST(Namespace, GssapiToTheDomainNameFailsAsOnARealDomain) {
  auto r = txads_test::run_tool({"ldapsearch", "-LLL", "-Q", "-Y", "GSSAPI", "-N", "-H",
                                 "ldap://corp.example.com", "-b", "", "-s", "base"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Server not found in Kerberos database"), std::string::npos) << r.err;
}

}  // namespace
