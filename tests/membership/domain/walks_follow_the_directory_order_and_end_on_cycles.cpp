// The order and the end of the nested group search: sub-groups are walked
// head first in the order the directory listed them, a group reached twice
// is walked twice, and a cycle of two groups ends at the depth bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

const std::string kWalkPrefix = "run function 'IsUserInGroup' for user 'CORP\\ann', group '";
const std::string kFoundPrefix = "Found sub group: '";

// The group paths named by lines that start with `prefix`, in order.
std::vector<std::string> paths_after(const std::vector<std::string>& lines,
                                     const std::string& prefix) {
  std::vector<std::string> paths;
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0)
      paths.push_back(line.substr(prefix.size(), line.rfind('\'') - prefix.size()));
  return paths;
}

class WalkOrder : public ::testing::Test {
 protected:
  void SetUp() override { TXADSetRecursFlag(1); }
  void TearDown() override { TXADSetRecursFlag(0); }
};

TEST_F(WalkOrder, ACycleOfTwoGroupsEndsAfterFiveWalks) {
  TraceCapture trace;
  GuardedBuffer error;
  const std::string cycle_a = path_of(seeded("CN=CycleA,OU=Groups"));
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", cycle_a.c_str(), error.data(), error.length()), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  const auto walked = paths_after(trace.lines(), kWalkPrefix);
  ASSERT_EQ(walked.size(), 5u);
  EXPECT_EQ(walked[0], cycle_a);
  for (size_t i = 1; i < walked.size(); ++i)
    EXPECT_NE(walked[i].find(i % 2 ? "CN=CycleB," : "CN=CycleA,"), std::string::npos) << walked[i];
}

TEST_F(WalkOrder, AMemberOfTheSecondGroupOfACycleIsFound) {
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\bob", path_of(seeded("CN=CycleA,OU=Groups")).c_str(),
                              error.data(), error.length()),
            1);
}

TEST_F(WalkOrder, SubGroupsAreWalkedInTheOrderTheyWereFoundAndStopAtTheMatch) {
  ScratchOu scratch;
  const std::string top = scratch.add_group("Top");
  std::vector<std::string> subs;
  for (const char* name : {"SubA", "SubB", "SubC", "SubD"}) {
    subs.push_back(scratch.add_group(name));
    scratch.add_member(top, subs.back());
  }
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path_of(top).c_str(), error.data(), error.length()), 2);
  const auto lines = trace.lines();
  const auto found = paths_after(lines, kFoundPrefix);
  auto walked = paths_after(lines, kWalkPrefix);
  ASSERT_EQ(found.size(), 4u);
  ASSERT_EQ(walked.size(), 5u);
  walked.erase(walked.begin());
  EXPECT_EQ(walked, found);

  // With ann in the third group listed, the fourth is never walked.
  const std::string third_dn = found[2].substr(found[2].find("CN="));
  scratch.add_member(third_dn, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
  TraceCapture again;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path_of(top).c_str(), error.data(), error.length()), 1);
  const auto walked_again = paths_after(again.lines(), kWalkPrefix);
  ASSERT_EQ(walked_again.size(), 4u);
  EXPECT_EQ(walked_again.back(), found[2]);
}

TEST_F(WalkOrder, AGroupReachedAlongTwoPathsIsWalkedTwice) {
  ScratchOu scratch;
  const std::string top = scratch.add_group("Top");
  const std::string left = scratch.add_group("Left");
  const std::string right = scratch.add_group("Right");
  const std::string shared = scratch.add_group("Shared");
  scratch.add_member(top, left);
  scratch.add_member(top, right);
  scratch.add_member(left, shared);
  scratch.add_member(right, shared);
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path_of(top).c_str(), error.data(), error.length()), 2);
  const auto walked = paths_after(trace.lines(), kWalkPrefix);
  EXPECT_EQ(std::count_if(walked.begin(), walked.end(),
                          [](const std::string& p) { return p.find("CN=Shared,") != p.npos; }),
            2);
  EXPECT_EQ(walked.size(), 5u);
}

TEST_F(WalkOrder, AWideDeepTreeEndsInBoundedTime) {
  // Three groups per level, each holding the three of the next level, six
  // levels deep: the search walks 1 + 3 + 9 + 27 + 81 groups and stops.
  ScratchOu scratch;
  std::vector<std::string> level = {scratch.add_group("W0")};
  const std::string top = level.front();
  for (int depth = 1; depth <= 5; ++depth) {
    std::vector<std::string> next;
    for (int i = 0; i < 3; ++i)
      next.push_back(scratch.add_group("W" + std::to_string(depth) + "n" + std::to_string(i)));
    for (const std::string& group : level)
      for (const std::string& member : next) scratch.add_member(group, member);
    level = next;
  }
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path_of(top).c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(paths_after(trace.lines(), kWalkPrefix).size(), 1u + 3 + 9 + 27 + 81);
}

}  // namespace
}  // namespace membership_test
