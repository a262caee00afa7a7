// The SID rule turns a group given as an LDAP path into SID text through the
// export TXADGetSIDFromName, which writes its own entry line; SID text is
// used as it stands, without the export. The work runs in a child process
// with its own trace file; this process never connects to the directory
// (its connections would not survive the fork).
#include <gtest/gtest.h>

#include <string>

#include "../zktrace/trace_capture.h"
#include "membership/sid_membership.h"
#include "scratch_accounts.h"

namespace txads {
namespace {

int count_entry_lines(const trace_capture::Result& result) {
  int n = 0;
  for (const auto& line : result.lines)
    if (line.parsed && line.message == "run function 'TXADGetSIDFromName'.") ++n;
  return n;
}

TEST(SidRuleTrace, LdapPathGoesThroughTheExport) {
  const std::string base = scratch::environment("LDAPBASE");
  const std::string path = "LDAP://CN=Domain Users,CN=Users," + base;
  const auto result = trace_capture::run_traced(
      [&] { return IsUserInGroupBySid("CORP\\Administrator", path.c_str()); });
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(count_entry_lines(result), 1);
  for (const auto& line : result.lines) {
    EXPECT_EQ(line.component, "Tamrix AD Checker");
    EXPECT_EQ(line.level, 6);
  }
}

TEST(SidRuleTrace, SidTextIsUsedAsItStands) {
  const std::string group = scratch::domain_sid() + "-513";
  const auto result = trace_capture::run_traced(
      [&] { return IsUserInGroupBySid("CORP\\Administrator", group.c_str()); });
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(count_entry_lines(result), 0);
  EXPECT_TRUE(result.lines.empty());
}

}  // namespace
}  // namespace txads
