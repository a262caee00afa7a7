// The nested group search: with the recursion flag set, groups down to four
// levels below the named group are walked; members of the fifth level are
// collected, never walked. The seeded chain is Nest1 > Nest2 > ... > Nest6,
// and Nest6 holds dave and PC044.
#include <gtest/gtest.h>

#include <algorithm>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

std::string nest(int n) {
  return path_of(seeded("CN=Nest" + std::to_string(n) + ",OU=Groups"));
}

struct Case {
  int flag;
  int named;  // Nest<named>
  int expected;
};

// Nest<k> holds dave 6-k levels below it (Nest6 directly).
const Case kCases[] = {
    {1, 6, 1}, {1, 5, 1}, {1, 3, 1}, {1, 2, 1},  {1, 1, 2}, {0, 6, 1},
    {0, 5, 2}, {0, 2, 2}, {5, 2, 1}, {-1, 2, 1}, {5, 1, 2}, {0x7fffffff, 2, 1},
};

class NestedSearch : public ::testing::Test {
 protected:
  void TearDown() override { TXADSetRecursFlag(0); }
};

TEST_F(NestedSearch, UsersAreFoundFourLevelsDownWithTheFlagAndNotFive) {
  for (const Case& c : kCases) {
    TXADSetRecursFlag(c.flag);
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup("CORP\\dave", nest(c.named).c_str(), error.data(), error.length()),
              c.expected)
        << "flag " << c.flag << ", Nest" << c.named;
    EXPECT_TRUE(error.untouched());
  }
}

TEST_F(NestedSearch, StationsAreFoundFourLevelsDownWithTheFlagAndNotFive) {
  for (const Case& c : kCases) {
    TXADSetRecursFlag(c.flag);
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInGroup("PC044", nest(c.named).c_str(), error.data(), error.length()),
              c.expected)
        << "flag " << c.flag << ", Nest" << c.named;
    EXPECT_TRUE(error.untouched());
  }
}

TEST_F(NestedSearch, TheFifthLevelIsCollectedButNotWalked) {
  TXADSetRecursFlag(1);
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\dave", nest(1).c_str(), error.data(), error.length()), 2);
  std::vector<std::string> walked;
  size_t found_nest6 = 0;
  for (const std::string& line : trace.lines()) {
    if (line.rfind("run function 'IsUserInGroup'", 0) == 0) walked.push_back(line);
    if (line.rfind("Found sub group: '", 0) == 0 && line.find("CN=Nest6,") != std::string::npos)
      ++found_nest6;
  }
  ASSERT_EQ(walked.size(), 5u);
  for (int n = 1; n <= 5; ++n)
    EXPECT_NE(walked[n - 1].find("CN=Nest" + std::to_string(n) + ","), std::string::npos)
        << walked[n - 1];
  EXPECT_EQ(found_nest6, 1u);
}

TEST_F(NestedSearch, AStationNameMatchesInAnyCaseButNotWithPrefixOrDollar) {
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const struct {
    const char* station;
    int expected;
  } cases[] = {{"PC042", 1},
               {"pc042", 1},
               {"Pc043", 1},
               {"PC044", 2},
               {"CN=PC042", 2},
               {"PC042$", 2},
               {"pc042.corp.example.com", 2}};
  for (const auto& c : cases) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInGroup(c.station, lab.c_str(), error.data(), error.length()),
              c.expected)
        << c.station;
  }
}

TEST_F(NestedSearch, UserAndComputerMembersAreEachIgnoredByTheOtherCheck) {
  ScratchOu scratch;
  const std::string group = scratch.add_group("Mixed");
  const std::string pc = scratch.add_computer("MIXPC1");
  scratch.add_member(group, pc);
  scratch.add_member(group, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
  GuardedBuffer error;
  // A computer whose name is a user's, and a user whose name is a computer's.
  EXPECT_EQ(
      TXADIsStationInGroup("Ann Archer", path_of(group).c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(
      TXADIsUserInGroup("CORP\\MIXPC1$", path_of(group).c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(TXADIsStationInGroup("MIXPC1", path_of(group).c_str(), error.data(), error.length()),
            1);
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path_of(group).c_str(), error.data(), error.length()),
            1);
}

}  // namespace
}  // namespace membership_test
