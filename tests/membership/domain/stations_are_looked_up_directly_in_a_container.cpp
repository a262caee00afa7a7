// TXADIsStationInContainer asks the container for the computer CN=<name>
// directly in it, one level only; "no such object" is the answer 2.
#include <gtest/gtest.h>

#include "checks.h"
#include "frame/error_text.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

TEST(StationInContainer, OnlyTheContainerItselfIsAsked) {
  GuardedBuffer no_such;
  txads::GetADSErrorText(txads::kNoSuchObject, {no_such.data(), no_such.length()});
  const struct {
    const char* station;
    std::string path;
    int expected;
  } cases[] = {
      {"PC042", path_of(seeded("OU=Lab,OU=Site")), 1},
      {"pc042", path_of(seeded("OU=Lab,OU=Site")), 1},
      {"PC042", path_of(seeded("OU=Site")), 2},
      {"PC043", path_of(seeded("OU=Site")), 1},
      {"SCOPE1", path_of(seeded("CN=Equipment")), 1},
      {"NOSUCH", path_of(seeded("OU=Site")), 2},
  };
  for (const auto& c : cases) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInContainer(c.station, c.path.c_str(), error.data(), error.length()),
              c.expected)
        << c.station << " in " << c.path;
    if (c.expected == 1) {
      EXPECT_TRUE(error.untouched());
    } else {
      EXPECT_EQ(error.text(), no_such.text());
    }
  }
}

TEST(StationInContainer, UnusableOrAbsentContainersGiveNoAnswer) {
  const std::string absent = path_of(seeded("OU=Nowhere"));
  {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInContainer("PC042", absent.c_str(), error.data(), error.length()), -1);
    EXPECT_NE(error.text(), "");
  }
  for (const char* path : {"LDAP://", "", "LDAP:/", static_cast<const char*>(nullptr)}) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInContainer("PC042", path, error.data(), error.length()), -1);
    EXPECT_TRUE(error.untouched());
  }
}

TEST(StationInContainer, OddStationNamesNeverWriteOutsideTheBuffer) {
  const std::string lab = path_of(seeded("OU=Lab,OU=Site"));
  const std::string long_name(300, 'Z');
  for (const char* station :
       {"PC042,OU=Lab", "", "a=b", long_name.c_str(), static_cast<const char*>(nullptr)}) {
    GuardedBuffer error(16);
    const int result = TXADIsStationInContainer(station, lab.c_str(), error.data(), error.length());
    EXPECT_TRUE(result == 2 || result == -1) << (station ? station : "(null)") << " " << result;
    EXPECT_TRUE(error.guards_intact());
  }
}

}  // namespace
}  // namespace membership_test
