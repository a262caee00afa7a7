// A group check reads its group text as an LDAP path, as SID text (holding
// "S-", resolved through TXADGetNameFromSID) or as an account name (users
// only, bound by its server-qualified path), and traces each step. After the
// walks, a group whose SID ends in -513 holds every user, one ending in -515
// every station, of its own domain (their primary group: no member list
// names them).
#include <gtest/gtest.h>

#include <functional>

#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::seeded;
using Lines = std::vector<std::string>;

// A text as a trace line holds it: line ends written as "\n".
std::string escaped(std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != text.npos; at += 2) text.replace(at, 1, "\\n");
  return text;
}

const std::string kAnn = "CN=ANN ARCHER,OU=DEV,OU=STAFF,DC=CORP,DC=EXAMPLE,DC=COM";
const std::string kBob = "CN=BOB BAKER,OU=STAFF,DC=CORP,DC=EXAMPLE,DC=COM";

// The first lines of a user check: its entry, the walk's entry, the user's DN.
Lines walk(const std::string& name, const std::string& group, const std::string& dn, Lines rest) {
  Lines lines = {"Check if user '" + name + "' in group '" + group + "'.",
                 "run function 'IsUserInGroup' for user '" + name + "', group '" + group + "'.",
                 "LDAP user name '" + dn + "'."};
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

std::function<int(char*, int)> user(const char* name, const std::string& group) {
  return [=](char* e, int n) { return TXADIsUserInGroup(name, group.c_str(), e, n); };
}
std::function<int(char*, int)> station(const char* name, const std::string& group) {
  return [=](char* e, int n) { return TXADIsStationInGroup(name, group.c_str(), e, n); };
}

TEST(GroupChecks, ResolveEveryFormTraceEachStepAndCountTheDomainsAccounts) {
  txads_test::ScratchOu ou("forms");
  const std::string name = ou.unique_name("Sales"), sid_like = ou.unique_name("USERS");
  const std::string solo_dn = ou.add_group("Solo", {}, name), outer_dn = ou.add_group("Outer");
  ou.add_member(solo_dn, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
  ou.add_member(solo_dn, seeded("CN=PC042,OU=Lab,OU=Site"));
  ou.add_member(outer_dn, solo_dn);
  ou.add_group("Users East", {}, sid_like);
  const std::string solo = "LDAP://" + solo_dn, outer = "LDAP://" + outer_dn;
  const std::string sid = txads_test::sid_of(solo_dn), account = "CORP\\" + name;
  const std::string qualified = "LDAP://corp.example.com/" + solo_dn;
  const std::string absent = "LDAP://CN=Absent," + ou.dn();
  const std::string users = txads_test::sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users.substr(0, users.rfind('-'));
  const std::string users_path = txads_test::path_of(seeded("CN=Domain Users,CN=Users"));
  const std::string computers_path = txads_test::path_of(seeded("CN=Domain Computers,CN=Users"));
  const std::string get_sid = "run function 'TXADGetSIDFromName'.";
  const struct {
    std::function<int(char*, int)> call;
    int expected;
    Lines lines;  // none: not checked; "%e": the error buffer's text
  } cases[] = {
      {user("CORP\\ann", solo), 1,
       walk("CORP\\ann", solo, kAnn,
            {"Getting AD object '" + solo + "' was succesfully.",
             "Compare users: '" + kAnn + "' and '" + kAnn + "'.", "user found."})},
      {user("CORP\\bob", outer), 2,
       walk("CORP\\bob", outer, kBob,
            {"Getting AD object '" + outer + "' was succesfully.",
             "Found sub group: '" + solo + "'.", get_sid})},
      {user("nobody", absent), -1,
       walk("nobody", absent, "CN=NOBODY",
            {"cannot getting AD object '" + absent + "'.", "an AD error was occured, '%e'.",
             get_sid})},
      {user("CORP\\bob", sid),
       2,
       {"Check if user 'CORP\\bob' in group '" + sid + "'.",
        "run function 'IsUserInGroup' for user 'CORP\\bob', group '" + sid + "'.",
        "run function 'TXADGetNameFromSID'.", "LDAP user name '" + kBob + "'.",
        "Getting AD object '" + qualified + "' was succesfully.",
        "Compare users: '" + kBob + "' and '" + kAnn + "'."}},
      {user("CORP\\ann", account), 1, {}},
      {user("CORP\\ann", "CORP\\" + sid_like), -1, {}},  // taken as SID text
      {user("CORP\\ann", "ldap://" + solo_dn), -1, {}},
      {station("pc042", sid),
       1,
       {"run function 'TXADIsStationInGroup'.", "run function 'TXADGetNameFromSID'."}},
      {station("PC043", solo), 2, {"run function 'TXADIsStationInGroup'.", get_sid}},
      {station("PC042", account), -1, {}},  // every non-path is SID text
      {[&](char* e, int n) { return TXADIsCurrentStationInGroup(sid.c_str(), e, n); },
       1,
       {"run function 'TXADIsCurrentStationInGroup'.", "run function 'TXADIsStationInGroup'.",
        "run function 'TXADGetNameFromSID'."}},
      {user("CORP\\ann", users), 1, {}},
      {user("CORP\\eve", users_path), 1, {}},
      {user("CORP\\ann", domain + "-515"), 2, {}},
      {user("CORP\\nosuchuser", users), 2, {}},
      {user("CORP\\ann", domain + "-99513"), -1, {}},     // the hyphen belongs to the suffix
      {user("CORP\\ann", "S-1-5-21-1-2-3-513"), -1, {}},  // another domain
      {station("PC042", domain + "-515"), 1, {}},
      {station("pc050", computers_path), 1, {}},
      {station("PC042", users), 2, {}},
      {station("PC042$", domain + "-515"), 2, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    txads_test::TraceCapture trace;
    txads_test::GuardedBuffer error;
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
