// TXADAddStationToGroup and TXADDeleteStationFromGroup find cn=<name> of
// class computer in its container and add its own path to a group, or remove
// it. A change the group already has is a failure, not a success.
#include <gtest/gtest.h>

#include <algorithm>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::attribute_values;
using txads_test::path_of;
using txads_test::ScratchOu;

std::vector<std::string> members(const std::string& group) {
  auto values = attribute_values(group, "member");
  std::sort(values.begin(), values.end());
  return values;
}

TEST(StationGroupMembershipChangesOnceEachWay, AddAgainRemoveAndRemoveAgain) {
  ScratchOu ou("chg-grp");
  const std::string lab = ou.add_ou("Lab");
  const std::string name = ou.unique_name("PC");
  const std::string station = ou.add_computer(name, lab);
  const std::string group = ou.add_group("Lab Stations", {}, ou.unique_name("labst"));
  const std::string other = ou.add_user("Una User", ou.unique_name("una"));
  ou.add_member(group, other);
  const auto as_before = members(group);

  ErrorBuffer added_once;
  EXPECT_EQ(TXADAddStationToGroup(name.c_str(), path_of(lab).c_str(), path_of(group).c_str(),
                                  added_once.data(), added_once.length()),
            0);
  EXPECT_TRUE(added_once.untouched()) << added_once.text();
  auto with_station = as_before;
  with_station.push_back(station);
  std::sort(with_station.begin(), with_station.end());
  EXPECT_EQ(members(group), with_station);

  ErrorBuffer added_twice;
  EXPECT_EQ(TXADAddStationToGroup(name.c_str(), path_of(lab).c_str(), path_of(group).c_str(),
                                  added_twice.data(), added_twice.length()),
            -1);
  EXPECT_EQ(added_twice.text(), text_of(txads::kAlreadyExists));
  EXPECT_EQ(members(group), with_station);

  ErrorBuffer removed_once;
  EXPECT_EQ(TXADDeleteStationFromGroup(name.c_str(), path_of(lab).c_str(), path_of(group).c_str(),
                                       removed_once.data(), removed_once.length()),
            0);
  EXPECT_TRUE(removed_once.untouched()) << removed_once.text();
  EXPECT_EQ(members(group), as_before);

  ErrorBuffer removed_twice;
  EXPECT_EQ(TXADDeleteStationFromGroup(name.c_str(), path_of(lab).c_str(), path_of(group).c_str(),
                                       removed_twice.data(), removed_twice.length()),
            -1);
  EXPECT_EQ(removed_twice.text(), text_of(txads::kUnwillingToPerform));
  EXPECT_EQ(members(group), as_before);
}

using Change = int (*)(const char*, const char*, const char*, char*, int);

struct FailedChange {
  const char* what;
  Change change;
  std::string name;
  std::string container;
  std::string group;
  txads::Status expected;
};

TEST(StationGroupMembershipChangesOnceEachWay, AFailedLookupOrBindLeavesTheGroupAsItWas) {
  ScratchOu ou("chg-grp");
  const std::string lab = ou.add_ou("Lab");
  const std::string office = ou.add_ou("Office");
  const std::string name = ou.unique_name("PC");
  const std::string station = ou.add_computer(name, lab);
  const std::string group = ou.add_group("Lab Stations", {}, ou.unique_name("labst"));
  const std::string user = ou.add_user("Una User", ou.unique_name("una"), lab);
  ou.add_member(group, station);
  const FailedChange cases[] = {
      {"station in another container", TXADAddStationToGroup, name, path_of(office), path_of(group),
       txads::kNoSuchObject},
      {"user named as a station", TXADAddStationToGroup, "Una User", path_of(lab), path_of(group),
       txads::kNoSuchObject},
      {"container that cannot be bound", TXADDeleteStationFromGroup, name,
       path_of("OU=Missing," + ou.dn()), path_of(group), txads::kNoSuchObject},
      {"group path naming a container", TXADAddStationToGroup, name, path_of(lab), path_of(office),
       txads::kNoInterface},
      {"group path naming a user", TXADDeleteStationFromGroup, name, path_of(lab), path_of(user),
       txads::kNoInterface},
      {"group that is not there", TXADDeleteStationFromGroup, name, path_of(lab),
       path_of("CN=Missing," + ou.dn()), txads::kNoSuchObject},
      {"name longer than a relative name holds", TXADDeleteStationFromGroup, std::string(297, 'p'),
       path_of(lab), path_of(group), txads::kInvalidArg},
  };
  for (const auto& c : cases) {
    const Picture before = picture(ou.dn());
    ErrorBuffer error;
    EXPECT_EQ(c.change(c.name.c_str(), c.container.c_str(), c.group.c_str(), error.data(),
                       error.length()),
              -1)
        << c.what;
    EXPECT_EQ(error.text(), text_of(c.expected)) << c.what;
    EXPECT_EQ(picture(ou.dn()), before) << c.what;
  }
  EXPECT_EQ(members(group), std::vector<std::string>{station});
}

}  // namespace
}  // namespace changes_test
