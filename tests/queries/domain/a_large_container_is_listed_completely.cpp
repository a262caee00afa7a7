// A container with more children than the directory returns in one page:
// every user is listed, each once, paced at 1 ms per element.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>

#include "scratch.h"
#include "txads.h"

namespace queries_test {
namespace {

constexpr int kUsers = 1200;

TEST(ALargeContainerIsListedCompletely, TwelveHundredUsersAllAppearOnce) {
  ScratchOu ou;
  std::string ldif;
  for (int i = 0; i < kUsers; ++i) {
    ldif +=
        "dn: CN=Bulk User " + std::to_string(10000 + i) + "," + ou.dn() + "\nobjectClass: user\n\n";
  }
  ou.add_ldif(ldif);
  const auto adding = std::chrono::steady_clock::now();
  const std::string path = ou.path();  // writes the entries
  const auto added = std::chrono::steady_clock::now() - adding;

  const int length = kUsers * 16 + 1;  // "Bulk User 1xxxx|" is 16 characters
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
  EXPECT_EQ(short_list.text().size(), static_cast<size_t>(length - 1 - 16));
  EXPECT_TRUE(short_list.guards_intact());
}

}  // namespace
}  // namespace queries_test
