// TXADCreateOU, TXADDeleteOU and TXADMoveOUToContainer: a unit is created
// once (an existing one counts as created), deleted unless it holds objects
// (a missing one counts as deleted), and moved with everything in it.
#include "change_table.h"
#include "txads.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, OrganizationalUnitsAreCreatedOnceDeletedWhenEmptyAndMovedWhole) {
  ou_.add_computer(expand("PC~"), ou_.add_ou("Full"));
  ou_.add_ou("Empty");
  ou_.add_container("Box");
  ou_.add_ou("Inner", ou_.add_ou("Dest"));
  const std::string longest(296, 'u');
  const Row rows[] = {
      {"create", {CHANGE(CreateOU), "@", "Sales"}, 0, "", "+OU=Sales"},
      {"create again", {CHANGE(CreateOU), "@", "Sales"}, 0, "", ""},
      {"create in 7 bytes", {CHANGE(CreateOU), "LDAP://", "Sales"}, -1, "", ""},
      {"create in a missing parent",
       {CHANGE(CreateOU), "@OU=Missing", "New"},
       -1,
       kNoSuchObject,
       ""},
      {"create 296 bytes", {CHANGE(CreateOU), "@", longest}, 0, "", "+OU=" + longest},
      {"create 297 bytes", {CHANGE(CreateOU), "@", longest + "u"}, -1, kInvalidArg, ""},
      {"delete", {CHANGE(DeleteOU), "@", "Empty"}, 0, "", "-OU=Empty"},
      {"delete again", {CHANGE(DeleteOU), "@", "Empty"}, 0, "", ""},
      {"delete a unit that holds a station", {CHANGE(DeleteOU), "@", "Full"}, -1, "", ""},
      {"delete a container of another class", {CHANGE(DeleteOU), "@", "Box"}, 0, "", ""},
      {"delete in 7 bytes", {CHANGE(DeleteOU), "LDAP://", "Sales"}, -1, "", ""},
      {"delete in a missing parent",
       {CHANGE(DeleteOU), "@OU=Missing", "Sales"},
       -1,
       kNoSuchObject,
       ""},
      {"move",
       {CHANGE(MoveOUToContainer), "@OU=Full", "@OU=Dest"},
       0,
       "",
       "-CN=PC~,OU=Full; -OU=Full; +CN=PC~,OU=Full,OU=Dest; +OU=Full,OU=Dest"},
      {"move below itself",
       {CHANGE(MoveOUToContainer), "@OU=Dest", "@OU=Inner,OU=Dest"},
       -1,
       "The directory server refused to carry out the request.\n",
       ""},
      {"move into a container",
       {CHANGE(MoveOUToContainer), "@OU=Sales", "@CN=Box"},
       -1,
       "The name breaks the naming rules of the directory.\n",
       ""},
      {"move into no path", {CHANGE(MoveOUToContainer), "@OU=Sales", ""}, -1, kBadPathname, ""},
      {"move a missing unit",
       {CHANGE(MoveOUToContainer), "@OU=Missing", "@OU=Dest"},
       -1,
       kNoSuchObject,
       ""},
  };
  for (const Row& row : rows) run(row);
}

}  // namespace
}  // namespace changes_test
