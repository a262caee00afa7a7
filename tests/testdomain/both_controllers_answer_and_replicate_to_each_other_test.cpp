// The second controller holds the seeded domain as the first does, and a
// change made on either controller reaches the other within seconds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/domain.h"
#include "support/ldif.h"
#include "support/process.h"
#include "support/scratch_ou.h"

namespace {

using txads_test::run_tool;

// DNs the search finds at `url`, one a line, or the tool's error.
std::string dns_at(const std::string& url, const std::string& base, const std::string& filter,
                   const char* scope = "sub") {
  auto r = run_tool({"ldapsearch", "-LLL", "-Q", "-Y", "GSSAPI", "-o", "ldif-wrap=no", "-H", url,
                     "-b", base, "-s", scope, filter, "1.1"});
  if (!r.ok()) return r.err;
  std::string dns;
  for (const auto& entry : txads_test::parse_ldif(r.out)) dns += entry.dn + "\n";
  return dns;
}

bool appears_within(const std::string& url, const std::string& dn, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (dns_at(url, dn, "(objectClass=*)", "base") == dn + "\n") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return false;
}

TEST(Controllers, EachHoldsTheSeededDomain) {
  const std::string base = txads_test::base_dn();
  const struct {
    const char* url;
    const char* search_base;
    std::string filter;
    std::string expected;
  } rows[] = {
      {"ldap://dc1.corp.example.com", "", "(sAMAccountName=ann)",
       txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff")},
      {"ldap://dc2.corp.example.com", "", "(sAMAccountName=ann)",
       txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff")},
      {"ldap://dc2.corp.example.com", "",
       "(member=" + txads_test::seeded("CN=Dave Deep,OU=Dev,OU=Staff") + ")",
       txads_test::seeded("CN=Nest6,OU=Groups")},
      {"ldap://dc2.corp.example.com:3268", "-", "(sAMAccountName=j\xc3\xbcrgen)",
       txads_test::seeded("CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff")},
  };
  for (const auto& row : rows) {
    const std::string search_base = *row.search_base == '-' ? "" : base;
    EXPECT_EQ(dns_at(row.url, search_base, row.filter), row.expected + "\n")
        << row.url << " " << row.filter;
  }
}

TEST(Controllers, ReplicateChangesBothWays) {
  txads_test::ScratchOu ou("twodc");
  const struct {
    const char* name;
    const char* written_on;
    const char* read_on;
  } rows[] = {
      {"to-dc2", "ldap://dc1.corp.example.com", "ldap://dc2.corp.example.com"},
      {"to-dc1", "ldap://dc2.corp.example.com", "ldap://dc1.corp.example.com"},
  };
  for (const auto& row : rows) {
    const std::string dn = "OU=" + ou.unique_name(row.name) + "," + ou.dn();
    auto added = run_tool({"ldapadd", "-Q", "-Y", "GSSAPI", "-H", row.written_on},
                          "dn: " + dn + "\nobjectClass: organizationalUnit\n");
    ASSERT_TRUE(added.ok()) << row.written_on << ": " << added.err;
    EXPECT_TRUE(appears_within(row.read_on, dn, std::chrono::seconds(30)))
        << dn << " written on " << row.written_on << " never reached " << row.read_on;
  }
}

}  // namespace
