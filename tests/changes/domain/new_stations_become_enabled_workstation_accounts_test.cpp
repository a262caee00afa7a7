// TXADAddStationToContainer creates cn=<name> as a computer with the account
// name <name>$, enables it and makes it a workstation account of the
// domain's computers group. The directory computes sAMAccountType itself and
// refuses it as a write; that refusal does not change the result.
#include <gtest/gtest.h>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::attribute_values;
using txads_test::ScratchOu;
using Values = std::vector<std::string>;

TEST(NewStationsBecomeEnabledWorkstationAccounts, TheStationIsWrittenAsAWorkstationAccount) {
  ScratchOu ou("chg-add");
  const std::string name = ou.unique_name("PC");
  const Picture before = picture(ou.dn());

  ErrorBuffer error;
  EXPECT_EQ(
      TXADAddStationToContainer(name.c_str(), ou.path().c_str(), error.data(), error.length()), 0);
  EXPECT_TRUE(error.untouched()) << error.text();

  const std::string station = "CN=" + name + "," + ou.dn();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(added(before, after), station);
  EXPECT_EQ(changed(before, after), "");
  EXPECT_EQ(attribute_values(station, "objectClass").back(), "computer");
  EXPECT_EQ(attribute_values(station, "name"), Values{name});
  EXPECT_EQ(attribute_values(station, "sAMAccountName"), Values{name + "$"});
  EXPECT_EQ(attribute_values(station, "userAccountControl"), Values{"4128"});  // 0x1020
  EXPECT_EQ(attribute_values(station, "primaryGroupID"), Values{"515"});
  EXPECT_EQ(attribute_values(station, "sAMAccountType"), Values{"805306369"});
}

TEST(NewStationsBecomeEnabledWorkstationAccounts, AStationThatExistsIsRefusedAndLeftAlone) {
  ScratchOu ou("chg-add");
  const std::string name = ou.unique_name("PC");
  ou.add_computer(name);
  const Picture before = picture(ou.dn());

  ErrorBuffer error;
  EXPECT_EQ(
      TXADAddStationToContainer(name.c_str(), ou.path().c_str(), error.data(), error.length()), -1);
  EXPECT_EQ(error.text(), text_of(txads::kAlreadyExists));
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(NewStationsBecomeEnabledWorkstationAccounts, AContainerThatCannotBeBoundIsReported) {
  ScratchOu ou("chg-add");
  const Picture before = picture(ou.dn());
  const std::string missing = "LDAP://OU=Missing," + ou.dn();
  ErrorBuffer error;
  EXPECT_EQ(TXADAddStationToContainer(ou.unique_name("PC").c_str(), missing.c_str(), error.data(),
                                      error.length()),
            -1);
  EXPECT_EQ(error.text(), text_of(txads::kNoSuchObject));
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(NewStationsBecomeEnabledWorkstationAccounts, NamesUpTo258BytesAreHandedToTheDirectory) {
  ScratchOu ou("chg-add");
  const Picture before = picture(ou.dn());

  // 258 bytes fit the account name; the directory then refuses an account
  // name that long, before anything is created.
  const std::string longest(258, 's');
  ErrorBuffer directory;
  EXPECT_EQ(TXADAddStationToContainer(longest.c_str(), ou.path().c_str(), directory.data(),
                                      directory.length()),
            -1);
  EXPECT_EQ(directory.text(), text_of(txads::Status::from_win32(8203)));  // invalid syntax

  const std::string too_long(259, 's');
  ErrorBuffer refused;
  EXPECT_EQ(TXADAddStationToContainer(too_long.c_str(), ou.path().c_str(), refused.data(),
                                      refused.length()),
            -1);
  EXPECT_EQ(refused.text(), text_of(txads::kInvalidArg));
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(NewStationsBecomeEnabledWorkstationAccounts, NonAsciiNamesAreTheStationsOwn) {
  ScratchOu ou("chg-add");
  const std::string name = "Pr\xC3\xBC" + ou.unique_name("f").substr(1);
  ErrorBuffer error;
  EXPECT_EQ(
      TXADAddStationToContainer(name.c_str(), ou.path().c_str(), error.data(), error.length()), 0)
      << error.text();
  const std::string station = "CN=" + name + "," + ou.dn();
  EXPECT_EQ(attribute_values(station, "sAMAccountName"), Values{name + "$"});
  EXPECT_EQ(attribute_values(station, "userAccountControl"), Values{"4128"});
}

}  // namespace
}  // namespace changes_test
