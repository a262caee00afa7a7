// A server that accepts connections but never answers: calls end with the
// timeout status after the configured operation timeout (LDAPTIMEOUT, 2 s
// in this process: see configured_main.cpp), instead of hanging.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "directory/ads.h"
#include "support/relay.h"
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
