// TXADGetUserListFromContainer and TXADGetStationListFromContainer against
// the test domain: which children are listed, how they are written, and the
// capacity rule "fill count < length - 1".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scratch.h"
#include "txads.h"

namespace queries_test {
namespace {

using Listing = int (*)(const char*, char*, int, char*, int);

struct Listed {
  int result;
  std::string list;   // the caller's bytes
  std::string error;  // the caller's bytes
};

Listed list(Listing listing, const std::string& path, int length,
            const std::string& on_entry = "") {
  Guarded buffer(length);
  buffer.put(on_entry);
  Guarded error(64, 'e');
  const int result = listing(path.c_str(), buffer.data(), length, error.data(), 64);
  EXPECT_TRUE(buffer.guards_intact()) << path;
  EXPECT_TRUE(error.guards_intact()) << path;
  return {result, buffer.text(), error.text()};
}

const std::string kUntouched(64, 'e');

class ContainerListingsNameTheDirectChildrenOfTheirClass : public ::testing::Test {
 protected:
  ScratchOu ou_;
};

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass, EachListHoldsOnlyItsOwnClass) {
  ou_.add_user("Ann Smith", "ann");
  ou_.add_user("Bob Jones", "bob");
  ou_.add_user("Smith\\, John", "jsmith");
  ou_.add_computer("PCQ1");
  // inetOrgPerson passes the "user" filter but is of another class.
  ou_.add_entry("CN=Ina Org", "inetOrgPerson", "sAMAccountName: " + ou_.tag() + "ina\n");
  ou_.add_entry("CN=Con Tact", "contact");
  ou_.add_group("Team", "team", {});
  const std::string sub = ou_.add_ou("Sub");
  ou_.add_user("Deep User", "deep", "", sub);
  ou_.add_computer("DEEPPC", sub);

  const Listed users = list(TXADGetUserListFromContainer, ou_.path(), 1000);
  EXPECT_EQ(users.result, 0) << users.error;
  EXPECT_EQ(sorted_entries(users.list),
            (std::vector<std::string>{"Ann Smith", "Bob Jones", "Smith\\, John"}));
  EXPECT_EQ(users.error, kUntouched);

  const Listed stations = list(TXADGetStationListFromContainer, ou_.path(), 1000);
  EXPECT_EQ(stations.result, 0) << stations.error;
  EXPECT_EQ(stations.list, "PCQ1|");
  EXPECT_EQ(stations.error, kUntouched);
}

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass, PlainContainersAreListedToo) {
  const std::string box = ou_.add_entry("CN=Box", "container");
  ou_.add_user("Boxed User", "boxed", "", box);
  ou_.add_computer("BOXPC", box);
  const Listed users = list(TXADGetUserListFromContainer, ou_.path_of(box), 100);
  EXPECT_EQ(users.result, 0) << users.error;
  EXPECT_EQ(users.list, "Boxed User|");
  const Listed stations = list(TXADGetStationListFromContainer, ou_.path_of(box), 100);
  EXPECT_EQ(stations.result, 0) << stations.error;
  EXPECT_EQ(stations.list, "BOXPC|");
}

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass,
       ContainerWithoutTheClassGivesMinusThree) {
  ou_.add_group("Team", "team", {});
  ou_.add_user("Deep User", "deep", "", ou_.add_ou("Sub"));
  for (Listing listing : {TXADGetUserListFromContainer, TXADGetStationListFromContainer}) {
    const Listed empty = list(listing, ou_.path(), 100);
    EXPECT_EQ(empty.result, -3);
    EXPECT_EQ(empty.list, "");
    EXPECT_EQ(empty.error, kUntouched);
    const Listed kept = list(listing, ou_.path(), 100, "kept|");
    EXPECT_EQ(kept.result, -3);
    EXPECT_EQ(kept.list, "kept|");
  }
}

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass,
       EntriesGoInWhileFillCountStaysBelowLengthMinusOne) {
  ou_.add_user("Ann", "ann");
  ou_.add_user("Bob", "bob");
  struct Case {
    int length;
    int result;
    size_t entries;
  } cases[] = {
      {10, 0, 2},  // Ann|Bob| and its zero byte: 7 < 9
      {9, 0, 2},   // 7 < 8: exactly fits
      {8, -2, 1},  // 7 is not less than 7
      {5, -2, 1},  // Ann| and its zero byte
      {4, -2, 0},  // 3 is not less than 3
      {1, -2, 0}, {0, -2, 0}, {-1, -2, 0},
  };
  for (const Case& c : cases) {
    const Listed l = list(TXADGetUserListFromContainer, ou_.path(), c.length);
    EXPECT_EQ(l.result, c.result) << c.length;
    EXPECT_EQ(l.list.size(), 4 * c.entries) << c.length << ": " << l.list;
    for (const std::string& e : sorted_entries(l.list)) EXPECT_TRUE(e == "Ann" || e == "Bob") << e;
    EXPECT_EQ(l.error, kUntouched) << c.length;
  }
}

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass,
       TextOnEntryIsKeptAndCountsAgainstTheLength) {
  ou_.add_user("Ann", "ann");
  ou_.add_user("Bob", "bob");
  const Listed fits = list(TXADGetUserListFromContainer, ou_.path(), 13, "old|");
  EXPECT_EQ(fits.result, 0);
  EXPECT_EQ(fits.list.substr(0, 4), "old|");
  EXPECT_EQ(sorted_entries(fits.list.substr(4)), (std::vector<std::string>{"Ann", "Bob"}));
  const Listed one_short = list(TXADGetUserListFromContainer, ou_.path(), 12, "old|");
  EXPECT_EQ(one_short.result, -2);
  EXPECT_EQ(one_short.list.size(), 8u) << one_short.list;

  // A buffer with no zero byte within its length is full already.
  Guarded unterminated(20, 'x');
  Guarded error(64);
  EXPECT_EQ(
      TXADGetUserListFromContainer(ou_.path().c_str(), unterminated.data(), 20, error.data(), 64),
      -2);
  EXPECT_EQ(unterminated.bytes(), std::string(20, 'x'));
  EXPECT_TRUE(unterminated.guards_intact());
}

TEST_F(ContainerListingsNameTheDirectChildrenOfTheirClass, PathsThatCannotBeListedGiveMinusOne) {
  ou_.add_user("Ann", "ann");
  for (Listing listing : {TXADGetUserListFromContainer, TXADGetStationListFromContainer}) {
    for (const char* too_short : {"", "LDAP://", "LDAP:/"}) {
      const Listed l = list(listing, too_short, 100);
      EXPECT_EQ(l.result, -1) << too_short;
      EXPECT_EQ(l.error, kUntouched) << too_short;
    }
    Guarded buffer(100);
    Guarded error(64, 'e');
    EXPECT_EQ(listing(nullptr, buffer.data(), 100, error.data(), 64), -1);
    EXPECT_EQ(error.bytes(), kUntouched);

    const Listed gone = list(listing, "LDAP://OU=txads-no-such-unit," + ou_.dn(), 100);
    EXPECT_EQ(gone.result, -1);
    EXPECT_EQ(gone.error, kNoSuchObjectText);
    EXPECT_EQ(gone.list, "");

    const Listed bad =
        list(listing, "ldap://" + ou_.dn(), 100);  // the provider name is case-sensitive
    EXPECT_EQ(bad.result, -1);
    EXPECT_EQ(bad.error, "E_ADS_BAD_PATHNAME");
  }
}

}  // namespace
}  // namespace queries_test
