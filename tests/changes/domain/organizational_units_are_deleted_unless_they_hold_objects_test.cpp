// TXADDeleteOU deletes OU=<name> below a parent; a unit that is not there
// counts as deleted, and a refusal leaves the error buffer as it was.
#include <gtest/gtest.h>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::object_exists;
using txads_test::ScratchOu;

TEST(OrganizationalUnitsAreDeletedUnlessTheyHoldObjects, AnEmptyUnitGoes) {
  ScratchOu ou("chg-del");
  const std::string unit = ou.add_ou("Old");
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADDeleteOU(ou.path().c_str(), "Old", error.data(), error.length()), 0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(removed(before, after), unit);
  EXPECT_EQ(added(before, after), "");
}

TEST(OrganizationalUnitsAreDeletedUnlessTheyHoldObjects, AMissingUnitCountsAsDeleted) {
  ScratchOu ou("chg-del");
  ou.add_ou("Other");
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADDeleteOU(ou.path().c_str(), "Missing", error.data(), error.length()), 0);
  EXPECT_TRUE(error.untouched()) << error.text();
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreDeletedUnlessTheyHoldObjects,
     AUnitHoldingObjectsIsRefusedWithTheBufferUntouched) {
  ScratchOu ou("chg-del");
  const std::string unit = ou.add_ou("Full");
  ou.add_computer(ou.unique_name("PC"), unit);
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADDeleteOU(ou.path().c_str(), "Full", error.data(), error.length()), -1);
  EXPECT_TRUE(error.untouched()) << error.text();
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreDeletedUnlessTheyHoldObjects, AContainerOfAnotherClassIsNotAUnit) {
  ScratchOu ou("chg-del");
  ou.add_container("Box");  // CN=Box: deleting OU=Box finds nothing
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADDeleteOU(ou.path().c_str(), "Box", error.data(), error.length()), 0);
  EXPECT_TRUE(error.untouched()) << error.text();
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreDeletedUnlessTheyHoldObjects, ParentsAreCheckedBeforeTheName) {
  ScratchOu ou("chg-del");
  ou.add_ou("Kept");
  const Picture before = picture(ou.dn());

  ErrorBuffer short_path;
  EXPECT_EQ(TXADDeleteOU("LDAP://", "Kept", short_path.data(), short_path.length()), -1);
  EXPECT_TRUE(short_path.untouched()) << short_path.text();

  const std::string missing = "LDAP://OU=Missing," + ou.dn();
  ErrorBuffer unbound;
  EXPECT_EQ(TXADDeleteOU(missing.c_str(), "Kept", unbound.data(), unbound.length()), -1);
  EXPECT_EQ(unbound.text(), text_of(txads::kNoSuchObject));

  const std::string too_long(297, 'k');
  ErrorBuffer long_name;
  EXPECT_EQ(TXADDeleteOU(ou.path().c_str(), too_long.c_str(), long_name.data(), long_name.length()),
            -1);
  EXPECT_EQ(long_name.text(), text_of(txads::kInvalidArg));
  EXPECT_EQ(picture(ou.dn()), before);
  EXPECT_TRUE(object_exists("OU=Kept," + ou.dn()));
}

}  // namespace
}  // namespace changes_test
