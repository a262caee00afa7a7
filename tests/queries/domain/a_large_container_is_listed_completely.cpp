// A container with more children than the directory returns in one page:
// every user is listed, each once, paced at 1 ms per element; and a server
// lost part-way ends the listing with the entries read so far.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "scratch.h"
#include "support/relay.h"
#include "txads.h"

namespace queries_test {
namespace {

constexpr int kUsers = 1200;
constexpr int kEntryLength = 16;  // "Bulk User 1xxxx|"

class ALargeContainerIsListedCompletely : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou_ = std::make_unique<ScratchOu>();
    std::string ldif;
    for (int i = 0; i < kUsers; ++i) {
      ldif += "dn: CN=Bulk User " + std::to_string(10000 + i) + "," + ou_->dn() +
              "\nobjectClass: user\n\n";
    }
    ou_->add_ldif(ldif);
    const auto adding = std::chrono::steady_clock::now();
    ou_->flush();
    added_ = std::chrono::steady_clock::now() - adding;
  }
  static void TearDownTestSuite() { ou_.reset(); }

  static std::unique_ptr<ScratchOu> ou_;
  static std::chrono::steady_clock::duration added_;
};
std::unique_ptr<ScratchOu> ALargeContainerIsListedCompletely::ou_;
std::chrono::steady_clock::duration ALargeContainerIsListedCompletely::added_;

TEST_F(ALargeContainerIsListedCompletely, TwelveHundredUsersAllAppearOnce) {
  const std::string path = ou_->path();
  const auto added = added_;

  const int length = kUsers * kEntryLength + 1;
  Guarded list(length);
  Guarded error(64, 'e');
  const auto start = std::chrono::steady_clock::now();
  const int result =
      TXADGetUserListFromContainer(path.c_str(), list.data(), length, error.data(), 64);
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(result, 0);
  EXPECT_TRUE(list.guards_intact());
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));
  const std::string text = list.text();
  EXPECT_EQ(text.size(), static_cast<size_t>(length - 1));
  std::set<std::string> seen;
  size_t from = 0;
  for (size_t bar; (bar = text.find('|', from)) != std::string::npos; from = bar + 1) {
    seen.insert(text.substr(from, bar - from));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kUsers));
  EXPECT_EQ(*seen.begin(), "Bulk User 10000");
  EXPECT_EQ(*seen.rbegin(), "Bulk User " + std::to_string(10000 + kUsers - 1));
  // One pause of 1 ms per element at least.
  EXPECT_GE(elapsed, std::chrono::milliseconds(kUsers));
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  std::printf("[ measured ] adding %d users: %lld ms; listing them: %lld ms (floor %d ms)\n",
              kUsers, static_cast<long long>(duration_cast<milliseconds>(added).count()),
              static_cast<long long>(duration_cast<milliseconds>(elapsed).count()), kUsers);

  // One byte short of the whole list: the last entry does not fit.
  Guarded short_list(length - 1);
  EXPECT_EQ(
      TXADGetUserListFromContainer(path.c_str(), short_list.data(), length - 1, error.data(), 64),
      -2);
  EXPECT_EQ(short_list.text().size(), static_cast<size_t>(length - 1 - kEntryLength));
  EXPECT_TRUE(short_list.guards_intact());
}

TEST_F(ALargeContainerIsListedCompletely, AServerLostPartWayEndsTheListWithTheEntriesSoFar) {
  // The relay stands in for a server that goes away; every byte still comes
  // from the real one.
  Relay relay;
  const std::string path = "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/" + ou_->dn();
  const int length = kUsers * kEntryLength + 1;
  Guarded list(length);
  Guarded error(64, 'e');
  std::thread stopper([&relay] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    relay.stop();
  });
  const auto start = std::chrono::steady_clock::now();
  const int result =
      TXADGetUserListFromContainer(path.c_str(), list.data(), length, error.data(), 64);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  stopper.join();

  EXPECT_EQ(result, 0);
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));  // no text for a failed fetch
  EXPECT_TRUE(list.guards_intact());
  const size_t listed = list.text().size() / kEntryLength;
  EXPECT_EQ(list.text().size() % kEntryLength, 0u);
  EXPECT_GE(listed, 50u);
  EXPECT_LT(listed, static_cast<size_t>(kUsers));
  // Ended at the loss (with the pages already received), not after a timeout.
  EXPECT_LT(elapsed, std::chrono::milliseconds(kUsers + 3000));
}

}  // namespace
}  // namespace queries_test
