// Inside the test domain's namespace each controller, the domain and the test
// host resolve to their own loopback addresses, the domain's DNS lists both
// controllers' services, the host is PC042, and the global catalog answers.
#include <arpa/nameser.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/domain.h"

namespace {

std::set<std::string> addresses_of(const char* name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0) return {"unresolved"};
  std::set<std::string> addresses;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    char text[64] = "";
    getnameinfo(a->ai_addr, a->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
    addresses.insert(text);
  }
  freeaddrinfo(found);
  return addresses;
}

// "target:port" of every SRV record of `name`, sorted; the error on failure.
std::vector<std::string> services_of(const std::string& name) {
  struct __res_state state {};
  if (res_ninit(&state) != 0) return {"res_ninit failed"};
  unsigned char answer[4096];
  const int length = res_nquery(&state, name.c_str(), ns_c_in, ns_t_srv, answer, sizeof answer);
  std::vector<std::string> services;
  ns_msg message;
  if (length < 0 || ns_initparse(answer, length, &message) != 0) {
    res_nclose(&state);
    return {"no answer for " + name};
  }
  for (int i = 0; i < ns_msg_count(message, ns_s_an); ++i) {
    ns_rr record;
    if (ns_parserr(&message, ns_s_an, i, &record) != 0 || ns_rr_type(record) != ns_t_srv) continue;
    const unsigned char* data = ns_rr_rdata(record);
    char target[NS_MAXDNAME] = "";
    if (ns_name_uncompress(ns_msg_base(message), ns_msg_end(message), data + 6, target,
                           sizeof target) < 0)
      continue;
    services.push_back(std::string(target) + ":" + std::to_string(ns_get16(data + 4)));
  }
  res_nclose(&state);
  std::sort(services.begin(), services.end());
  return services;
}

TEST(Namespace, ResolvesEachNameToItsOwnLoopbackAddresses) {
  const struct {
    const char* name;
    std::set<std::string> addresses;
  } rows[] = {
      {"dc1.corp.example.com", {"127.0.0.11"}},
      {"dc2.corp.example.com", {"127.0.0.12"}},
      {"corp.example.com", {"127.0.0.11", "127.0.0.12"}},
      {"pc042.corp.example.com", {"127.0.0.1"}},
  };
  for (const auto& row : rows) EXPECT_EQ(addresses_of(row.name), row.addresses) << row.name;
}

TEST(Namespace, DnsListsTheServicesOfBothControllers) {
  const struct {
    const char* name;
    const char* port;
  } rows[] = {
      {"_ldap._tcp.dc._msdcs.corp.example.com", "389"},
      {"_ldap._tcp.corp.example.com", "389"},
      {"_ldap._tcp.Default-First-Site-Name._sites.dc._msdcs.corp.example.com", "389"},
      {"_gc._tcp.corp.example.com", "3268"},
      {"_ldap._tcp.gc._msdcs.corp.example.com", "3268"},
      {"_kerberos._tcp.corp.example.com", "88"},
      {"_kerberos._udp.corp.example.com", "88"},
      {"_kerberos._tcp.dc._msdcs.corp.example.com", "88"},
      {"_kpasswd._tcp.corp.example.com", "464"},
  };
  for (const auto& row : rows) {
    const std::string port = row.port;
    EXPECT_EQ(services_of(row.name), (std::vector<std::string>{"dc1.corp.example.com:" + port,
                                                               "dc2.corp.example.com:" + port}))
        << row.name;
  }
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
