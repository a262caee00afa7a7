// TXADDeleteStationFromContainer deletes cn=<name> of class computer from a
// container. Unlike a unit, a station that is not there is a failure.
#include <gtest/gtest.h>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::ScratchOu;

TEST(StationsAreDeletedOnlyWhereTheyAre, APresentStationGoes) {
  ScratchOu ou("chg-rm");
  const std::string name = ou.unique_name("PC");
  const std::string station = ou.add_computer(name);
  ou.add_computer(ou.unique_name("PCB"));
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(
      TXADDeleteStationFromContainer(name.c_str(), ou.path().c_str(), error.data(), error.length()),
      0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(removed(before, after), station);
  EXPECT_EQ(changed(before, after), "");
}

struct FailedDelete {
  const char* what;
  std::string name;
  std::string container;
  txads::Status expected;
};

TEST(StationsAreDeletedOnlyWhereTheyAre, AnythingButAStationThereIsAFailure) {
  ScratchOu ou("chg-rm");
  const std::string elsewhere = ou.add_ou("Elsewhere");
  const std::string away = ou.unique_name("PCE");
  ou.add_computer(away, elsewhere);
  ou.add_user("Una User", ou.unique_name("una"));
  ou.add_container("Box");
  const FailedDelete cases[] = {
      {"missing station", ou.unique_name("NONE"), ou.path(), txads::kNoSuchObject},
      {"station in another container", away, ou.path(), txads::kNoSuchObject},
      {"user named as a station", "Una User", ou.path(), txads::kNoSuchObject},
      {"container named as a station", "Box", ou.path(), txads::kNoSuchObject},
      {"container that cannot be bound", away, "LDAP://OU=Missing," + ou.dn(),
       txads::kNoSuchObject},
      {"container path that is no path", away, "OU=Elsewhere", txads::kBadPathname},
      {"name longer than a relative name holds", std::string(297, 'n'), ou.path(),
       txads::kInvalidArg},
  };
  for (const auto& c : cases) {
    const Picture before = picture(ou.dn());
    ErrorBuffer error;
    EXPECT_EQ(TXADDeleteStationFromContainer(c.name.c_str(), c.container.c_str(), error.data(),
                                             error.length()),
              -1)
        << c.what;
    EXPECT_EQ(error.text(), text_of(c.expected)) << c.what;
    EXPECT_EQ(picture(ou.dn()), before) << c.what;
  }
}

}  // namespace
}  // namespace changes_test
