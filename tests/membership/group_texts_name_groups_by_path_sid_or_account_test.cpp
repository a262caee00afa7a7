// A group check reads its group text as an LDAP path, as SID text (holding
// "S-", resolved through TXADGetNameFromSID) or as an account name (users
// only, bound by its server-qualified path), and traces each step.
#include <gtest/gtest.h>

#include <functional>

#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;
using txads_test::seeded;

struct Groups {
  txads_test::ScratchOu ou{"forms"};
  std::string solo_account = ou.unique_name("Sales");   // no "S-": an account name
  std::string users_account = ou.unique_name("USERS");  // holds "S-": SID text
  std::string solo = ou.add_group("Solo", {}, solo_account);
  std::string users = ou.add_group("Users East", {}, users_account);
  std::string outer = ou.add_group("Outer");
  Groups() {
    for (const std::string& g : {solo, users}) {
      ou.add_member(g, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
      ou.add_member(g, seeded("CN=PC042,OU=Lab,OU=Site"));
    }
    ou.add_member(outer, solo);
  }
};

// A text as a trace line holds it: line ends written as "\\n".
std::string escaped(std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != text.npos; at += 2) text.replace(at, 1, "\\n");
  return text;
}

const std::string kAnn = "CN=ANN ARCHER,OU=DEV,OU=STAFF,DC=CORP,DC=EXAMPLE,DC=COM";
const std::string kBob = "CN=BOB BAKER,OU=STAFF,DC=CORP,DC=EXAMPLE,DC=COM";

TEST(GroupTexts, EveryFormIsResolvedAndEveryStepTraced) {
  const Groups g;
  const std::string solo = "LDAP://" + g.solo, sid = txads_test::sid_of(g.solo);
  const std::string qualified = "LDAP://corp.example.com/" + g.solo;
  const std::string account = "CORP\\" + g.solo_account, absent = "LDAP://CN=Absent," + g.ou.dn();
  const auto user = [](const char* name, const std::string& group) {
    return [=](char* e, int n) { return TXADIsUserInGroup(name, group.c_str(), e, n); };
  };
  const auto walk = [](const std::string& name, const std::string& group, const std::string& dn) {
    return std::vector<std::string>{
        "Check if user '" + name + "' in group '" + group + "'.",
        "run function 'IsUserInGroup' for user '" + name + "', group '" + group + "'.",
        "LDAP user name '" + dn + "'."};
  };
  using Lines = std::vector<std::string>;
  const auto join = [](Lines a, const Lines& b) {
    return a.insert(a.end(), b.begin(), b.end()), a;
  };
  const struct {
    std::function<int(char*, int)> call;
    int expected;
    Lines lines;  // "%e": the error buffer's text
  } cases[] = {
      {user("CORP\\ann", solo), 1,
       join(walk("CORP\\ann", solo, kAnn),
            {"Getting AD object '" + solo + "' was succesfully.",
             "Compare users: '" + kAnn + "' and '" + kAnn + "'.", "user found."})},
      {user("CORP\\bob", "LDAP://" + g.outer), 2,
       join(walk("CORP\\bob", "LDAP://" + g.outer, kBob),
            {"Getting AD object 'LDAP://" + g.outer + "' was succesfully.",
             "Found sub group: '" + solo + "'.", "run function 'TXADGetSIDFromName'."})},
      {user("nobody", absent), -1,
       join(walk("nobody", absent, "CN=NOBODY"),
            {"cannot getting AD object '" + absent + "'.", "an AD error was occured, '%e'.",
             "run function 'TXADGetSIDFromName'."})},
      {user("CORP\\bob", sid),
       2,
       {"Check if user 'CORP\\bob' in group '" + sid + "'.",
        "run function 'IsUserInGroup' for user 'CORP\\bob', group '" + sid + "'.",
        "run function 'TXADGetNameFromSID'.", "LDAP user name '" + kBob + "'.",
        "Getting AD object '" + qualified + "' was succesfully.",
        "Compare users: '" + kBob + "' and '" + kAnn + "'."}},
      {user("CORP\\ann", account), 1,
       join(walk("CORP\\ann", account, kAnn),
            {"Getting AD object '" + qualified + "' was succesfully.",
             "Compare users: '" + kAnn + "' and '" + kAnn + "'.", "user found."})},
      {user("CORP\\ann", "CORP\\" + g.users_account), -1, {}},
      {user("CORP\\ann", "ldap://" + g.users), -1, {}},
      {[&](char* e, int n) { return TXADIsStationInGroup("pc042", sid.c_str(), e, n); },
       1,
       {"run function 'TXADIsStationInGroup'.", "run function 'TXADGetNameFromSID'."}},
      {[&](char* e, int n) { return TXADIsStationInGroup("PC043", solo.c_str(), e, n); },
       2,
       {"run function 'TXADIsStationInGroup'.", "run function 'TXADGetSIDFromName'."}},
      {[&](char* e, int n) { return TXADIsStationInGroup("PC042", account.c_str(), e, n); },
       -1,
       {}},
      {[&](char* e, int n) { return TXADIsCurrentStationInGroup(sid.c_str(), e, n); },
       1,
       {"run function 'TXADIsCurrentStationInGroup'.", "run function 'TXADIsStationInGroup'.",
        "run function 'TXADGetNameFromSID'."}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    txads_test::TraceCapture trace;
    GuardedBuffer error;
    EXPECT_EQ(c.call(error.data(), error.length()), c.expected) << "case " << i;
    EXPECT_EQ(!error.untouched(), c.expected == -1) << "case " << i;
    if (c.lines.empty()) continue;
    Lines expected = c.lines;
    for (std::string& line : expected)
      if (const size_t at = line.find("%e"); at != line.npos)
        line.replace(at, 2, escaped(error.text()));
    EXPECT_EQ(trace.messages(), expected) << "case " << i;
  }
}

}  // namespace
