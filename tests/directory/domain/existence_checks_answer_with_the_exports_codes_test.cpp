// TXADIsContainerExist and TXADIsGroupExist: 0 yes, -3 absent, -1 anything
// else with a reason in the caller's buffer, the same from eight threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;

TEST(ExistenceChecks, AnswerWithTheExportsCodesFromAnyThread) {
  const std::tuple<std::string, int, int> rows[] = {
      {path_of(seeded("OU=Site")), 0, -1},
      {path_of(seeded("CN=Lab Members,OU=Groups")), -1, 0},
      {path_of(seeded("OU=Deleted Long Ago")), -3, -3},
      {"ldap://" + txads_test::base_dn(), -1, -1},
  };
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 8; ++thread) {
    threads.emplace_back([&rows] {
      for (const auto& [path, container, group] : rows) {
        for (const auto& [check, code] :
             {std::pair{&TXADIsContainerExist, container}, std::pair{&TXADIsGroupExist, group}}) {
          txads_test::GuardedBuffer error(64);
          EXPECT_EQ(check(path.c_str(), error.data(), error.length()), code) << path;
          EXPECT_EQ(error.untouched(), code != -1) << path;
          EXPECT_TRUE(error.guards_intact()) << path;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace
