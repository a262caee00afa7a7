// TXADMoveUserToContainer and TXADMoveStationToContainer move cn=<name> from
// one container into another under its own relative name. Each looks only
// for its own class: a computer is not moved as a user, nor a user as a
// computer.
#include <gtest/gtest.h>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::path_of;
using txads_test::ScratchOu;

using Move = int (*)(const char*, const char*, const char*, char*, int);

std::string rdn_of(const std::string& dn) {
  return dn.substr(0, dn.find(",", 3));
}

TEST(UsersAndStationsMoveOnlyAsTheirOwnClass, AUserArrivesUnderItsOwnName) {
  ScratchOu ou("chg-mvu");
  const std::string from = ou.add_ou("From");
  const std::string to = ou.add_ou("To");
  const std::string user = ou.add_user("Smith\\, John", ou.unique_name("js"), from);
  const Picture before = picture(ou.dn());

  ErrorBuffer error;
  EXPECT_EQ(TXADMoveUserToContainer("Smith\\, John", path_of(from).c_str(), path_of(to).c_str(),
                                    error.data(), error.length()),
            0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(removed(before, after), user);
  EXPECT_EQ(added(before, after), "CN=Smith\\, John," + to);
}

TEST(UsersAndStationsMoveOnlyAsTheirOwnClass, AStationArrivesUnderItsOwnName) {
  ScratchOu ou("chg-mvs");
  const std::string from = ou.add_ou("From");
  const std::string to = ou.add_container("To");
  const std::string name = ou.unique_name("PC");
  const std::string station = ou.add_computer(name, from);
  const Picture before = picture(ou.dn());

  ErrorBuffer error;
  EXPECT_EQ(TXADMoveStationToContainer(name.c_str(), path_of(from).c_str(), path_of(to).c_str(),
                                       error.data(), error.length()),
            0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(removed(before, after), station);
  EXPECT_EQ(added(before, after), rdn_of(station) + "," + to);
}

struct FailedMove {
  const char* what;
  Move move;
  std::string name;
  std::string from;
  std::string to;
  txads::Status expected;
};

TEST(UsersAndStationsMoveOnlyAsTheirOwnClass, AFailedMoveLeavesEverythingWhereItWas) {
  ScratchOu ou("chg-mvf");
  const std::string from = ou.add_ou("From");
  const std::string to = ou.add_ou("To");
  const std::string station = ou.unique_name("PC");
  ou.add_computer(station, from);
  ou.add_user("Una User", ou.unique_name("una"), from);
  const std::string missing = path_of("OU=Missing," + ou.dn());
  const FailedMove cases[] = {
      {"station named as a user", TXADMoveUserToContainer, station, path_of(from), path_of(to),
       txads::kNoSuchObject},
      {"user named as a station", TXADMoveStationToContainer, "Una User", path_of(from),
       path_of(to), txads::kNoSuchObject},
      {"user not in the source", TXADMoveUserToContainer, "Una User", path_of(to), path_of(from),
       txads::kNoSuchObject},
      {"station not in the source", TXADMoveStationToContainer, station, path_of(to), path_of(from),
       txads::kNoSuchObject},
      {"source that cannot be bound", TXADMoveStationToContainer, station, missing, path_of(to),
       txads::kNoSuchObject},
      {"destination that cannot be bound", TXADMoveStationToContainer, station, path_of(from),
       missing, txads::kNoSuchObject},
      {"empty destination", TXADMoveUserToContainer, "Una User", path_of(from), "",
       txads::kBadPathname},
      {"name longer than a relative name holds", TXADMoveUserToContainer, std::string(297, 'u'),
       path_of(from), path_of(to), txads::kInvalidArg},
  };
  for (const auto& c : cases) {
    const Picture before = picture(ou.dn());
    ErrorBuffer error;
    EXPECT_EQ(c.move(c.name.c_str(), c.from.c_str(), c.to.c_str(), error.data(), error.length()),
              -1)
        << c.what;
    EXPECT_EQ(error.text(), text_of(c.expected)) << c.what;
    EXPECT_EQ(picture(ou.dn()), before) << c.what;
  }
}

TEST(UsersAndStationsMoveOnlyAsTheirOwnClass, AMoveIntoTheContainerThatHoldsItIsHandedOn) {
  // The directory accepts it as a rename onto the same name; the object stays.
  ScratchOu ou("chg-mvf");
  const std::string name = ou.unique_name("PC");
  const std::string station = ou.add_computer(name);
  const Picture before = picture(ou.dn());
  ErrorBuffer error;
  EXPECT_EQ(TXADMoveStationToContainer(name.c_str(), ou.path().c_str(), ou.path().c_str(),
                                       error.data(), error.length()),
            0);
  EXPECT_TRUE(error.untouched()) << error.text();
  const Picture after = picture(ou.dn());
  EXPECT_EQ(added(before, after), "");
  EXPECT_EQ(removed(before, after), "");
}

}  // namespace
}  // namespace changes_test
