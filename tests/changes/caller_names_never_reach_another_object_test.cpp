// A caller's name becomes one relative name as the caller wrote it: "a\,b"
// names "a,b", but an unescaped ",", "+" or ";" makes no name and is refused
// before it reaches any object ("a,OU=Victim" never touches OU=Victim); an
// "=" inside a name goes to the directory, which refuses it.
#include "change_table.h"

namespace changes_test {
namespace {

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
