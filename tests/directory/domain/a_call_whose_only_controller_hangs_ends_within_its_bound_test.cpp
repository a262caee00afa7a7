// With the only configured controller hung (its process stopped: connections
// are accepted, never answered), a call ends within about the configured
// operation timeout however many requests it makes, keeps no connection to
// the hung host, and tries that host once at most.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "directory/operation_counter.h"
#include "directory/pool.h"
#include "frame/system_messages.h"
#include "support/child_tests.h"
#include "support/domain.h"
#include "txads.h"

namespace txads::directory {
namespace {

constexpr std::chrono::seconds kBound{3};  // LDAPTIMEOUT of the child process

// In a child process: libldap reads LDAPTIMEOUT once per process.
TEST(CallBound, HoldsWhileTheOnlyControllerHangs) {
  txads_test::expect_child_tests_pass("*DISABLED_Hung*",
                                      {"LDAPTIMEOUT=" + std::to_string(kBound.count())});
  txads_test::control_controller(1, "thaw");
}

struct Thaw {
  ~Thaw() { txads_test::control_controller(1, "thaw"); }
};

TEST(CallBound, DISABLED_HungController) {
  using txads_test::path_of, txads_test::seeded;
  const std::string devs = path_of(seeded("CN=Devs,OU=Dev,OU=Staff"));
  const std::string nest = path_of(seeded("CN=Nest1,OU=Groups")), site = path_of(seeded("OU=Site"));
  char found[512] = "", error[256] = "";
  const std::pair<const char*, std::function<int()>> calls[] = {
      {"user in group", [&] { return TXADIsUserInGroup("CORP\\ann", devs.c_str(), error, 256); }},
      {"station in group", [&] { return TXADIsStationInGroup("PC044", nest.c_str(), error, 256); }},
      {"station in container",
       [&] { return TXADIsStationInContainerEx("PC042", site.c_str(), found, 512, error, 256); }},
  };
  for (const auto& [what, call] : calls) ASSERT_GT(call(), 0) << what << ": " << error;
  ASSERT_GT(kept_connections(), 0u);

  const Thaw thaw;
  ASSERT_TRUE(txads_test::control_controller(1, "freeze").ok());
  for (int round = 0; round < 2; ++round) {  // the first call meets a kept connection
    for (const auto& [what, call] : calls) {
      SCOPED_TRACE(std::string(what) + ", round " + std::to_string(round));
      const uint64_t connections = operation_counts().connections;
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(call(), -1);
      EXPECT_LT(std::chrono::steady_clock::now() - start, 2 * kBound);
      EXPECT_STREQ(error, system_message(0x203A));
      EXPECT_LE(operation_counts().connections - connections, 1u);
      EXPECT_EQ(kept_connections(), 0u);  // none left to wait on again
    }
  }
}

}  // namespace
}  // namespace txads::directory
