// Every seeded user has a ticket cache named after its account that holds
// that user's own ticket, and the directory accepts it for a GSSAPI search.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/domain.h"

namespace {

using txads_test::ccache_of;
using txads_test::run_tool;

const char* const kAccounts[] = {"administrator", "ann",  "bob", "j\xc3\xbcrgen", "jsmith",
                                 "dave",          "carl", "eve", "labsvc"};

TEST(SeededTickets, EachCacheHoldsItsOwnUsersTicket) {
  for (const char* account : kAccounts) {
    auto klist = run_tool({"klist", "-c", ccache_of(account)});
    ASSERT_TRUE(klist.ok()) << account << ": " << klist.err;
    EXPECT_NE(klist.out.find(std::string("Default principal: ") + account + "@CORP.EXAMPLE.COM\n"),
              std::string::npos)
        << klist.out;
  }
}

TEST(SeededTickets, EachTicketOpensAGssapiSearchAsItsUser) {
  for (const char* account : kAccounts) {
    // The searching user reads its own account: the bind used this ticket.
    auto r = run_tool(
        {"ldapsearch", "-LLL", "-Q", "-Y", "GSSAPI", "-N", "-o", "ldif-wrap=no", "-b",
         txads_test::base_dn(), std::string("(sAMAccountName=") + account + ")", "sAMAccountName"},
        {}, {"KRB5CCNAME=" + ccache_of(account)});
    ASSERT_TRUE(r.ok()) << account << ": " << r.err;
    auto entries = txads_test::parse_ldif(r.out);
    ASSERT_EQ(entries.size(), 1u) << account;
    EXPECT_EQ(entries[0].values("sAMAccountName"),
              std::vector<std::string>{account == std::string("administrator") ? "Administrator"
                                                                               : account});
  }
}

TEST(SeededTickets, AsUserSwitchesTheProcessCacheAndRestoresIt) {
  std::string before = getenv("KRB5CCNAME") ? getenv("KRB5CCNAME") : "";
  {
    txads_test::AsUser as("ann");
    EXPECT_EQ(std::string(getenv("KRB5CCNAME")), ccache_of("ann"));
    auto klist = run_tool({"klist"});
    EXPECT_NE(klist.out.find("ann@CORP.EXAMPLE.COM"), std::string::npos) << klist.out;
  }
  EXPECT_EQ(std::string(getenv("KRB5CCNAME") ? getenv("KRB5CCNAME") : ""), before);
}

TEST(SeededTickets, SupportToolsActAsAdministratorWhileATestIsSomeoneElse) {
  txads_test::AsUser as("eve");
  std::string dn = "OU=txads-asuser-" + std::to_string(getpid()) + "," + txads_test::base_dn();
  std::string ldif = "dn: " + dn + "\nchangetype: add\nobjectClass: organizationalUnit\n";
  // eve herself may not create an OU below the domain (insufficient access, 50) ...
  auto own = run_tool({"ldapmodify", "-Q", "-Y", "GSSAPI", "-N"}, ldif);
  EXPECT_EQ(own.status, 50) << own.err;
  // ... but the support tools, acting as the administrator, may.
  EXPECT_NO_THROW(txads_test::modify(ldif));
  EXPECT_TRUE(txads_test::object_exists(dn));
  EXPECT_NO_THROW(txads_test::delete_tree(dn));
  EXPECT_FALSE(txads_test::object_exists(dn));
}

}  // namespace
