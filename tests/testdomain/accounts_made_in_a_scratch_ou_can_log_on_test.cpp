// Users made by the test support are real accounts: they get tickets with
// their password, also with a non-ASCII name, and are refused with a wrong one.
#include <gtest/gtest.h>

#include "support/scratch_ou.h"

namespace {

using txads_test::run_tool;
using txads_test::ScratchOu;

TEST(ScratchAccounts, GetATicketWithTheirPassword) {
  ScratchOu ou("tdom");
  std::string account = ou.unique_name("tk");
  ou.add_user("Ticket Holder", account, "", "Other-Pw-42");
  std::string cache = ou.ticket_for(account, "Other-Pw-42");
  auto klist = run_tool({"klist", "-c", cache});
  ASSERT_TRUE(klist.ok()) << klist.err;
  EXPECT_NE(klist.out.find("Default principal: " + account + "@CORP.EXAMPLE.COM"),
            std::string::npos)
      << klist.out;
}

TEST(ScratchAccounts, WithANonAsciiNameGetATicketToo) {
  ScratchOu ou("tdom");
  std::string account = ou.unique_name("m\xc3\xbc");
  ou.add_user("M\xc3\xbcller Test", account);
  std::string cache = ou.ticket_for(account);
  auto klist = run_tool({"klist", "-c", cache});
  EXPECT_NE(klist.out.find(account + "@CORP.EXAMPLE.COM"), std::string::npos) << klist.out;
}

TEST(ScratchAccounts, AreRefusedWithAWrongPassword) {
  ScratchOu ou("tdom");
  std::string account = ou.unique_name("wp");
  ou.add_user("Wrong Password", account);
  auto r = txads_test::kinit(account, "not-the-password", "/tmp/txads-refused-" + account);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Password incorrect"), std::string::npos) << r.err;
  EXPECT_THROW(ou.ticket_for(account, "not-the-password"), std::runtime_error);
}

}  // namespace
