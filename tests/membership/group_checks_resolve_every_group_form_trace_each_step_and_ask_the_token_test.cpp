// A group check reads its group as an LDAP path, as SID text (holding "S-",
// resolved through TXADGetNameFromSID) or as an account name (users only),
// and traces each step; a group whose SID ends in -513 holds every user, one
// in -515 every station, of its domain (their primary group). The current
// user's check asks the token of the ticket cache in use: the user's own SID,
// the logon SIDs every token carries and its tokenGroups.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;
using txads_test::sid_of;
using Lines = std::vector<std::string>;

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
  const std::string sid = sid_of(solo_dn), account = "CORP\\" + name;
  const std::string absent = "LDAP://CN=Absent," + ou.dn();
  const std::string users = sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users.substr(0, users.rfind('-'));
  const std::string get_sid = "run function 'TXADGetSIDFromName'.";
  const std::string get_name = "run function 'TXADGetNameFromSID'.";
  const std::string in_group = "run function 'TXADIsStationInGroup'.";
  const struct {
    std::function<int(char*, int)> call;
    int expected;
    Lines lines;  // none: not checked
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
            {"cannot getting AD object '" + absent + "'.",
             "an AD error was occured, 'The directory holds no object with that name.\\n'.",
             get_sid})},
      {user("CORP\\bob", sid),
       2,
       {"Check if user 'CORP\\bob' in group '" + sid + "'.",
        "run function 'IsUserInGroup' for user 'CORP\\bob', group '" + sid + "'.", get_name,
        "LDAP user name '" + kBob + "'.",
        "Getting AD object 'LDAP://corp.example.com/" + solo_dn + "' was succesfully.",
        "Compare users: '" + kBob + "' and '" + kAnn + "'."}},
      {user("CORP\\ann", account), 1, {}},
      {user("CORP\\ann", "CORP\\" + sid_like), -1, {}},  // taken as SID text
      {user("CORP\\ann", "ldap://" + solo_dn), -1, {}},
      {station("pc042", sid), 1, {in_group, get_name}},
      {station("PC043", solo), 2, {in_group, get_sid}},
      {station("PC042", account), -1, {}},  // every non-path is SID text
      {[&](char* e, int n) { return TXADIsCurrentStationInGroup(sid.c_str(), e, n); },
       1,
       {"run function 'TXADIsCurrentStationInGroup'.", in_group, get_name}},
      {user("CORP\\ann", users), 1, {}},
      {user("CORP\\eve", path_of(seeded("CN=Domain Users,CN=Users"))), 1, {}},
      {user("CORP\\ann", domain + "-515"), 2, {}},
      {user("CORP\\nosuchuser", users), 2, {}},
      {user("CORP\\ann", domain + "-99513"), -1, {}},     // the hyphen belongs to the suffix
      {user("CORP\\ann", "S-1-5-21-1-2-3-513"), -1, {}},  // another domain
      {station("PC042", domain + "-515"), 1, {}},
      {station("pc050", path_of(seeded("CN=Domain Computers,CN=Users"))), 1, {}},
      {station("PC042", users), 2, {}},
      {station("PC042$", domain + "-515"), 2, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    txads_test::TraceCapture trace;
    txads_test::GuardedBuffer error;
    EXPECT_EQ(cases[i].call(error.data(), error.length()), cases[i].expected);
    EXPECT_EQ(!error.untouched(), cases[i].expected == -1);
    if (cases[i].lines.empty()) continue;
    // The library's own lines; what the server said of a refused request
    // comes between them in words of its own.
    std::vector<std::string> own = trace.messages();
    std::erase_if(own,
                  [](const std::string& l) { return l.starts_with("The directory answered '"); });
    EXPECT_EQ(own, cases[i].lines);
  }
}

TEST(CurrentUserInGroup, AnswersFromTheTokenOfTheCacheInUse) {
  const std::string devs = seeded("CN=Devs,OU=Dev,OU=Staff");
  const std::string users_sid = sid_of(seeded("CN=Domain Users,CN=Users"));
  const struct {
    std::string group;
    int ann, bob, dave;
    bool error_text = false;  // else the error buffer stays as passed
  } cases[] = {
      {"S-1-1-0", 1, 1, 1},   // Everyone
      {"S-1-2-0", 1, 1, 1},   // Local
      {"S-1-5-4", 1, 1, 1},   // Interactive
      {"S-1-5-11", 1, 1, 1},  // Authenticated Users
      {"S-1-5-15", 1, 1, 1},  // This Organization
      {sid_of(seeded("CN=Ann Archer,OU=Dev,OU=Staff")), 1, 2, 2},
      {users_sid, 1, 1, 1},  // primary group
      {sid_of(devs), 1, 2, 2},
      {"ldap://" + devs, 1, 2, 2},
      {"LDAP://dc1.corp.example.com/" + seeded("CN=CycleB,OU=Groups"), 2, 1, 2},
      {path_of(seeded("CN=Nest1,OU=Groups")), 2, 2, 1},  // five levels up
      {"S-1-5-32-544", 2, 2, 2},
      {users_sid + "999", 2, 2, 2},  // no such group
      {"CORP\\Devs", -1, -1, -1},
      {path_of(seeded("OU=Groups")), -1, -1, -1},
      {path_of(seeded("CN=Nobody,OU=Groups")), -1, -1, -1, true},
  };
  TXADSetRecursFlag(0);  // changes nothing here
  for (const auto& c : cases)
    for (const auto& [user, expected] :
         {std::pair{"ann", c.ann}, {"bob", c.bob}, {"dave", c.dave}}) {
      SCOPED_TRACE(std::string(user) + " in " + c.group);
      txads_test::AsUser as(user);
      txads_test::GuardedBuffer error;
      EXPECT_EQ(TXADIsCurrentUserInGroup(c.group.c_str(), error.data(), error.length()), expected);
      EXPECT_EQ(!error.untouched(), c.error_text);
    }
}

}  // namespace
