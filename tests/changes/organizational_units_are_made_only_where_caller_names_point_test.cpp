// TXADCreateOU, TXADDeleteOU and TXADMoveOUToContainer: a unit is created
// once (an existing one counts as created), deleted unless it holds objects
// (a missing one counts as deleted), and moved whole. A caller's name is one
// relative name as written: "a\,b" names "a,b"; an unescaped ",", "+" or ";"
// is refused before it reaches any object, an "=" by the directory.
#include "change_table.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, OrganizationalUnitsAreCreatedOnceDeletedWhenEmptyAndMovedWhole) {
  ou_.add_computer(expand("PC~"), ou_.add_ou("Full"));
  ou_.add_ou("Empty");
  ou_.add_container("Box");
  ou_.add_ou("Inner", ou_.add_ou("Dest"));
  const std::string u296(296, 'u');
  const std::string moved = "-CN=PC~,OU=Full; -OU=Full; +CN=PC~,OU=Full,OU=Dest; +OU=Full,OU=Dest";
  const Row rows[] = {
      {"CreateOU", {"@", "Sales"}, 0, "", "+OU=Sales"},
      {"CreateOU", {"@", "Sales"}, 0, "", ""},
      {"CreateOU", {"LDAP://", "New"}, -1, "", ""},
      {"CreateOU", {"@OU=Missing", "New"}, -1, kNoSuchObject, ""},
      {"CreateOU", {"@", u296}, 0, "", "+OU=" + u296},
      {"CreateOU", {"@", u296 + "u"}, -1, kInvalidArg, ""},
      {"DeleteOU", {"@", "Empty"}, 0, "", "-OU=Empty"},
      {"DeleteOU", {"@", "Empty"}, 0, "", ""},
      {"DeleteOU", {"@", "Full"}, -1, "", ""},  // it holds a station
      {"DeleteOU", {"@", "Box"}, 0, "", ""},    // CN=Box is no unit
      {"DeleteOU", {"LDAP://", "Sales"}, -1, "", ""},
      {"DeleteOU", {"@OU=Missing", "Sales"}, -1, kNoSuchObject, ""},
      {"MoveOUToContainer", {"@OU=Full", "@OU=Dest"}, 0, "", moved},
      {"MoveOUToContainer", {"@OU=Dest", "@OU=Inner,OU=Dest"}, -1, kUnwilling, ""},
      {"MoveOUToContainer", {"@OU=Sales", ""}, -1, kBadPathname, ""},
      {"MoveOUToContainer", {"@OU=Missing", "@OU=Dest"}, -1, kNoSuchObject, ""},
  };
  for (const Row& row : rows) run(row);
}

TEST_F(ChangeTable, CallerNamesNeverReachAnotherObject) {
  const std::string victim = ou_.add_ou("Victim");
  ou_.add_ou("a", victim);
  ou_.add_computer(expand("V~"), victim);
  ou_.add_ou("Dest");
  ou_.add_group("Team", {}, expand("team~"));
  const std::string bad_dn = "The distinguished name is not written in a valid form.\n";
  const Row rows[] = {
      {"CreateOU", {"@", "a,OU=Victim"}, -1, kBadPathname, ""},
      {"CreateOU", {"@", "a+OU=b"}, -1, kBadPathname, ""},
      {"CreateOU", {"@", "a;OU=Victim"}, -1, kBadPathname, ""},
      {"CreateOU", {"@", "a=b"}, -1, bad_dn, ""},
      {"CreateOU", {"@", "a\\,b"}, 0, "", "+OU=a\\,b"},
      {"CreateOU", {"@", "a\\+b"}, 0, "", "+OU=a\\+b"},
      {"DeleteOU", {"@", "a,OU=Victim"}, 0, "", ""},
      {"AddStationToContainer", {"X~,OU=Victim", "@"}, -1, kBadPathname, ""},
      {"AddStationToContainer", {"X~=Y", "@"}, -1, bad_dn, ""},
      {"DeleteStationFromContainer", {"V~,OU=Victim", "@"}, -1, kBadPathname, ""},
      {"MoveStationToContainer", {"V~,OU=Victim", "@", "@OU=Dest"}, -1, kBadPathname, ""},
      {"MoveUserToContainer", {"a,OU=Victim", "@", "@OU=Dest"}, -1, kBadPathname, ""},
      {"AddStationToGroup", {"V~,OU=Victim", "@", "@CN=Team"}, -1, kBadPathname, ""},
  };
  for (const Row& row : rows) run(row);
}

}  // namespace
}  // namespace changes_test
