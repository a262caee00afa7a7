// TXADMoveOUToContainer moves a unit, with everything in it, into another
// container under its own relative name.
#include <gtest/gtest.h>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::path_of;
using txads_test::ScratchOu;

TEST(OrganizationalUnitsMoveUnderTheirOwnName, TheUnitAndItsContentsArriveInTheDestination) {
  ScratchOu ou("chg-mv");
  const std::string unit = ou.add_ou("Mover");
  const std::string station = ou.add_computer(ou.unique_name("PC"), unit);
  const std::string destination = ou.add_ou("Archive");
  const Picture before = picture(ou.dn());

  ErrorBuffer error;
  EXPECT_EQ(TXADMoveOUToContainer(path_of(unit).c_str(), path_of(destination).c_str(), error.data(),
                                  error.length()),
            0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  const std::string moved = "OU=Mover," + destination;
  EXPECT_EQ(removed(before, after), station + "; " + unit);  // in DN order
  EXPECT_EQ(added(before, after),
            station.substr(0, station.find(',')) + "," + moved + "; " + moved);
}

struct FailedMove {
  const char* what;
  std::string unit;
  std::string destination;
  txads::Status expected;
};

TEST(OrganizationalUnitsMoveUnderTheirOwnName, AFailedMoveChangesNothing) {
  ScratchOu ou("chg-mv");
  const std::string unit = ou.add_ou("Stay");
  ou.add_ou("Inner", unit);
  const std::string destination = ou.add_ou("Dest");
  const FailedMove cases[] = {
      {"empty destination", path_of(unit), "", txads::kBadPathname},
      {"missing destination", path_of(unit), path_of("OU=Missing," + ou.dn()),
       txads::kNoSuchObject},
      {"missing unit", path_of("OU=Missing," + ou.dn()), path_of(destination),
       txads::kNoSuchObject},
      {"unit that is no path", "OU=Stay", path_of(destination), txads::kBadPathname},
      {"destination whose class may not hold units", path_of(unit),
       path_of(ou.add_container("Box")), txads::Status::from_win32(8247)},  // naming violation
      {"destination that is a user", path_of(unit),
       path_of(ou.add_user("Una", ou.unique_name("una"))), txads::kNoInterface},
  };
  for (const auto& c : cases) {
    const Picture before = picture(ou.dn());
    ErrorBuffer error;
    EXPECT_EQ(
        TXADMoveOUToContainer(c.unit.c_str(), c.destination.c_str(), error.data(), error.length()),
        -1)
        << c.what;
    EXPECT_EQ(error.text(), text_of(c.expected)) << c.what;
    EXPECT_EQ(picture(ou.dn()), before) << c.what;
  }
}

TEST(OrganizationalUnitsMoveUnderTheirOwnName, AUnitCannotMoveBelowItself) {
  ScratchOu ou("chg-mv");
  const std::string unit = ou.add_ou("Top");
  const std::string inner = ou.add_ou("Inner", unit);
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADMoveOUToContainer(path_of(unit).c_str(), path_of(inner).c_str(), error.data(),
                                  error.length()),
            -1);
  EXPECT_EQ(error.text(), text_of(txads::kUnwillingToPerform));
  EXPECT_EQ(picture(ou.dn()), before);
}

}  // namespace
}  // namespace changes_test
