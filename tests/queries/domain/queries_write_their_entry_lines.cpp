// The trace lines of the four queries: each export's entry line, and for the
// listings the worker's own line after it. The binary's trace goes to a file
// of its own, named before the first line is written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "txads.h"

namespace queries_test {
namespace {

const std::string kTraceFile = [] {
  std::string name = "/tmp/txads-queries-trace-" + std::to_string(getpid()) + ".log";
  setenv("ZKTRACE_FILE", name.c_str(), 1);
  return name;
}();

// Removes the trace file when the tests are done.
class RemoveTraceFile : public ::testing::Environment {
  void TearDown() override { unlink(kTraceFile.c_str()); }
};
const auto* const kRemoveTraceFile = ::testing::AddGlobalTestEnvironment(new RemoveTraceFile);

// The messages written since the last call (level 6, the checker's component).
std::vector<std::string> new_messages() {
  static size_t seen = 0;
  std::ifstream in(kTraceFile);
  std::vector<std::string> all;
  for (std::string line; std::getline(in, line);) {
    const std::string marker = " | Tamrix AD Checker | 6 | ";
    const size_t at = line.find(marker);
    all.push_back(at == std::string::npos ? "unparsed: " + line : line.substr(at + marker.size()));
  }
  std::vector<std::string> fresh(all.begin() + static_cast<long>(std::min(seen, all.size())),
                                 all.end());
  seen = all.size();
  return fresh;
}

TEST(QueriesWriteTheirEntryLines, ValueAndGroupListWriteOneLineEach) {
  new_messages();
  char buffer[64];
  char error[64];
  EXPECT_EQ(TXADGetValue(nullptr, nullptr, buffer, 64, error, 64), -1);
  EXPECT_EQ(new_messages(), std::vector<std::string>{"run function 'TXADGetValue'."});
  EXPECT_EQ(TXADGetGroupList(nullptr, buffer, 64, error, 64), -1);
  EXPECT_EQ(new_messages(), std::vector<std::string>{"run function 'TXADGetGroupList'."});
}

TEST(QueriesWriteTheirEntryLines, ListingsWriteTheExportsLineThenTheWorkers) {
  new_messages();
  char buffer[64];
  char error[64];
  EXPECT_EQ(TXADGetUserListFromContainer("LDAP://", buffer, 64, error, 64), -1);
  EXPECT_EQ(new_messages(),
            (std::vector<std::string>{"run function 'TXADGetUserListFromContainer'.",
                                      "run function 'GetUserListFromContainer'."}));
  EXPECT_EQ(TXADGetStationListFromContainer(nullptr, buffer, 64, error, 64), -1);
  EXPECT_EQ(new_messages(),
            (std::vector<std::string>{"run function 'TXADGetStationListFromContainer'.",
                                      "run function 'GetStationListFromContainer'."}));
}

}  // namespace
}  // namespace queries_test
