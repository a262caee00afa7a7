// A name is put into its relative name as the caller wrote it: "a\,b" names
// "a,b", but an unescaped comma, plus sign or semicolon does not make a name
// and is refused before it can reach any object, least of all one elsewhere
// ("a,OU=Victim" must never touch OU=Victim). "=" inside a value goes to the
// directory, which refuses it.
#include <gtest/gtest.h>

#include <functional>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::path_of;
using txads_test::ScratchOu;

struct NameCase {
  std::string what;
  std::function<int(ErrorBuffer&)> call;
  int result;
  txads::Status text;   // kOk: the buffer stays untouched
  std::string creates;  // the one DN the call adds, if any
};

TEST(CallerNamesNeverReachAnotherObject, EachNameChangesTheNamedObjectOrNothing) {
  ScratchOu ou("chg-name");
  const std::string victim = ou.add_ou("Victim");
  ou.add_ou("a", victim);
  const std::string v = ou.unique_name("V");
  ou.add_computer(v, victim);
  const std::string dest = ou.add_ou("Dest");
  const std::string group = ou.add_group("Team", {}, ou.unique_name("team"));
  const std::string here = ou.path();
  const std::string there = path_of(dest);
  const std::string team = path_of(group);
  const std::string below_victim = v + ",OU=Victim";
  const std::string x = ou.unique_name("X");

  auto create_ou = [&](std::string name) {
    return [=](ErrorBuffer& e) {
      return TXADCreateOU(here.c_str(), name.c_str(), e.data(), e.length());
    };
  };
  const NameCase cases[] = {
      {"unit a,OU=Victim", create_ou("a,OU=Victim"), -1, txads::kBadPathname, ""},
      {"unit a,b", create_ou("a,b"), -1, txads::kBadPathname, ""},
      {"unit a+b", create_ou("a+b"), -1, txads::kBadPathname, ""},
      {"unit a+OU=b", create_ou("a+OU=b"), -1, txads::kBadPathname, ""},
      {"unit a;OU=Victim", create_ou("a;OU=Victim"), -1, txads::kBadPathname, ""},
      {"unit a=b", create_ou("a=b"), -1, txads::kInvalidDnSyntax, ""},
      {"unit a\\,b", create_ou("a\\,b"), 0, txads::kOk, "OU=a\\,b," + ou.dn()},
      {"unit a\\+b", create_ou("a\\+b"), 0, txads::kOk, "OU=a\\+b," + ou.dn()},
      {"deleting unit a,OU=Victim",
       [&](ErrorBuffer& e) {
         return TXADDeleteOU(here.c_str(), "a,OU=Victim", e.data(), e.length());
       },
       0, txads::kOk, ""},
      {"station X,OU=Victim",
       [&](ErrorBuffer& e) {
         const std::string name = x + ",OU=Victim";
         return TXADAddStationToContainer(name.c_str(), here.c_str(), e.data(), e.length());
       },
       -1, txads::kBadPathname, ""},
      {"station X+CN=Y",
       [&](ErrorBuffer& e) {
         const std::string name = x + "+CN=Y";
         return TXADAddStationToContainer(name.c_str(), here.c_str(), e.data(), e.length());
       },
       -1, txads::kBadPathname, ""},
      {"station X=Y",
       [&](ErrorBuffer& e) {
         const std::string name = x + "=Y";
         return TXADAddStationToContainer(name.c_str(), here.c_str(), e.data(), e.length());
       },
       -1, txads::kInvalidDnSyntax, ""},
      {"deleting station V,OU=Victim",
       [&](ErrorBuffer& e) {
         return TXADDeleteStationFromContainer(below_victim.c_str(), here.c_str(), e.data(),
                                               e.length());
       },
       -1, txads::kBadPathname, ""},
      {"moving station V,OU=Victim",
       [&](ErrorBuffer& e) {
         return TXADMoveStationToContainer(below_victim.c_str(), here.c_str(), there.c_str(),
                                           e.data(), e.length());
       },
       -1, txads::kBadPathname, ""},
      {"moving user a,OU=Victim",
       [&](ErrorBuffer& e) {
         return TXADMoveUserToContainer("a,OU=Victim", here.c_str(), there.c_str(), e.data(),
                                        e.length());
       },
       -1, txads::kBadPathname, ""},
      {"grouping station V,OU=Victim",
       [&](ErrorBuffer& e) {
         return TXADAddStationToGroup(below_victim.c_str(), here.c_str(), team.c_str(), e.data(),
                                      e.length());
       },
       -1, txads::kBadPathname, ""},
  };
  for (const auto& c : cases) {
    const Picture before = picture(ou.dn());
    ErrorBuffer error;
    EXPECT_EQ(c.call(error), c.result) << c.what;
    if (c.text == txads::kOk) {
      EXPECT_TRUE(error.untouched()) << c.what << ": " << error.text();
    } else {
      EXPECT_EQ(error.text(), text_of(c.text)) << c.what;
    }
    const Picture after = picture(ou.dn());
    EXPECT_EQ(added(before, after), c.creates) << c.what;
    EXPECT_EQ(removed(before, after), "") << c.what;
    EXPECT_EQ(changed(before, after), "") << c.what;
  }
}

}  // namespace
}  // namespace changes_test
