// A server that accepts connections but never answers: calls end with the
// timeout status after the configured operation timeout (LDAPTIMEOUT),
// instead of hanging. Runs as a process of its own because libldap reads
// its configuration once per process; main sets the timeouts first.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "directory/ads.h"
#include "relay.h"
#include "scratch.h"

namespace txads::directory {
namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kTimeout = 0x800705B4;  // ERROR_TIMEOUT

TEST(HungServer, ANewConnectionTimesOut) {
  Relay relay;
  relay.freeze(true);
  const auto start = Clock::now();
  Container container;
  EXPECT_EQ(ads_get_object(
                "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/OU=Site," + scratch::base(),
                container)
                .bits(),
            kTimeout);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(1500));
  EXPECT_LT(took, std::chrono::seconds(8));
}

TEST(HungServer, AKeptConnectionTimesOutAndIsNotReused) {
  Relay relay;
  const std::string path =
      "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/OU=Site," + scratch::base();
  Container container;
  ASSERT_EQ(ads_get_object(path, container), kOk);
  relay.freeze(true);
  const auto start = Clock::now();
  EXPECT_EQ(ads_get_object(path, container).bits(), kTimeout);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
  relay.freeze(false);
  EXPECT_EQ(ads_get_object(path, container), kOk);  // on a new connection
}

}  // namespace
}  // namespace txads::directory

int main(int argc, char** argv) {
  setenv("LDAPTIMEOUT", "2", 1);
  setenv("LDAPNETWORK_TIMEOUT", "2", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
