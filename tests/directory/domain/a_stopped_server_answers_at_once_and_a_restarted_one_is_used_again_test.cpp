// A server that goes away: the next call answers server down at once
// instead of hanging, and once the server is back the next call works on a
// new connection, without the caller doing anything.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "directory/pool.h"
#include "support/relay.h"
#include "scratch.h"

namespace txads::directory {
namespace {

using Clock = std::chrono::steady_clock;

TEST(ServerGoesAway, StoppedIsServerDownAtOnceAndRestartedIsUsedAgain) {
  Relay relay;
  const std::string path =
      "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/OU=Site," + scratch::base();
  Container container;
  ASSERT_EQ(ads_get_object(path, container), kOk);

  relay.stop();
  auto start = Clock::now();
  EXPECT_EQ(ads_get_object(path, container), kServerDown);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  start = Clock::now();
  EXPECT_EQ(ads_get_object(path, container), kServerDown);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

  relay.start();
  const uint64_t connections = operation_counts().connections;
  EXPECT_EQ(ads_get_object(path, container), kOk);
  EXPECT_GT(operation_counts().connections, connections);
}

TEST(ServerGoesAway, AConnectionClosedMeanwhileIsReplacedWithoutAFailure) {
  Relay relay;
  const std::string path =
      "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/OU=Site," + scratch::base();
  Container container;
  ASSERT_EQ(ads_get_object(path, container), kOk);
  relay.stop();  // closes the kept connection
  relay.start();
  EXPECT_EQ(ads_get_object(path, container), kOk);
  Enumerator children;
  EXPECT_EQ(container.new_enum(children), kOk);
}

TEST(ServerGoesAway, AResetConnectionNeitherFailsTheCallNorRaisesSigpipe) {
  // SIGPIPE keeps its default action here: were it raised, the test would end.
  ASSERT_EQ(signal(SIGPIPE, SIG_DFL), SIG_DFL);
  Relay relay;
  const std::string path =
      "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/OU=Site," + scratch::base();
  Container container;
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(ads_get_object(path, container), kOk);
    relay.stop(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reset arrives
    relay.start();
    EXPECT_EQ(ads_get_object(path, container), kOk);
    Enumerator children;
    EXPECT_EQ(container.new_enum(children), kOk);
  }
  drop_connections();
}

}  // namespace
}  // namespace txads::directory
