// The nested group search: with the recursion flag set, groups down to four
// levels below the named group are walked, breadth first, and a cycle ends
// at that bound. Seeded: Nest1 > Nest2 > ... > Nest6, Nest6 holds dave and
// PC044; CycleA and CycleB hold each other, CycleB also bob.
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;

std::string group(const std::string& cn) {
  return path_of(seeded("CN=" + cn + ",OU=Groups"));
}

class NestedSearch : public ::testing::Test {
 protected:
  void TearDown() override { TXADSetRecursFlag(0); }
};

TEST_F(NestedSearch, FindsMembersFourLevelsDownWithTheFlagAndNeverFive) {
  const struct {
    int flag;
    const char* named;
    int expected;
  } cases[] = {
      {1, "Nest6", 1}, {1, "Nest2", 1},  {1, "Nest1", 2},  {0, "Nest6", 1},
      {0, "Nest5", 2}, {-1, "Nest2", 1}, {1, "CycleA", 2},
  };
  for (const auto& c : cases) {
    TXADSetRecursFlag(c.flag);
    txads_test::GuardedBuffer error;
    const std::string named = group(c.named);
    EXPECT_EQ(TXADIsUserInGroup("CORP\\dave", named.c_str(), error.data(), error.length()),
              c.expected)
        << "dave, flag " << c.flag << ", " << c.named;
    EXPECT_EQ(TXADIsStationInGroup("PC044", named.c_str(), error.data(), error.length()),
              c.expected)
        << "PC044, flag " << c.flag << ", " << c.named;
    EXPECT_TRUE(error.untouched());
  }
  TXADSetRecursFlag(1);
  txads_test::GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\bob", group("CycleA").c_str(), error.data(), error.length()),
            1);
}

// The groups a user walk visited, from its trace lines, by their CN.
std::vector<std::string> walked(const txads_test::TraceCapture& trace) {
  std::vector<std::string> cns;
  for (const std::string& line : trace.messages())
    if (line.rfind("run function 'IsUserInGroup'", 0) == 0) {
      const size_t cn = line.find("CN=");
      cns.push_back(line.substr(cn + 3, line.find(',', cn) - cn - 3));
    }
  return cns;
}

TEST_F(NestedSearch, WalksLevelByLevelAndStopsAtTheBound) {
  TXADSetRecursFlag(1);
  const struct {
    const char* named;
    std::vector<std::string> walks;
  } cases[] = {
      {"Nest1", {"Nest1", "Nest2", "Nest3", "Nest4", "Nest5"}},
      {"CycleA", {"CycleA", "CycleB", "CycleA", "CycleB", "CycleA"}},
  };
  for (const auto& c : cases) {
    txads_test::TraceCapture trace;
    txads_test::GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", group(c.named).c_str(), error.data(), error.length()),
              2);
    EXPECT_EQ(walked(trace), c.walks) << c.named;
  }
}

}  // namespace
