// A container with more users than the directory sends in one page: every
// user is listed once; and a server lost part-way ends the listing at once
// with the entries read so far, result 0 and no error text.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "list_entries.h"
#include "support/guarded_buffer.h"
#include "support/relay.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace queries_test {
namespace {

constexpr int kUsers = 800;
constexpr size_t kEntryLength = 16;  // "Bulk User 1xxxx|"

TEST(ALongListing, IsCompleteAndEndsWithItsEntriesWhenTheServerGoes) {
  txads_test::ScratchOu ou("bulk");
  std::string ldif;
  std::string pool;
  for (int i = 10000; i < 10000 + kUsers; ++i) {
    const std::string cn = "Bulk User " + std::to_string(i);
    ldif += "dn: CN=" + cn + "," + ou.dn() + "\nchangetype: add\nobjectClass: user\n\n";
    pool += cn + "|";
  }
  txads_test::modify(ldif);
  const int length = kUsers * static_cast<int>(kEntryLength) + 1;

  txads_test::GuardedBuffer all(length, '\0');
  txads_test::GuardedBuffer error(64);
  EXPECT_EQ(TXADGetUserListFromContainer(ou.path().c_str(), all.data(), length, error.data(), 64),
            0);
  EXPECT_TRUE(lists(all.text(), kUsers, pool));

  // The relay stands in for a server that goes away; every byte still comes
  // from the real one. Pages of 50, 100, 200 and 400 entries come first, the
  // next is asked for at the 350th entry, more than 350 ms into the listing:
  // the relay stops after the first page and before that.
  Relay relay;
  const std::string path = "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/" + ou.dn();
  txads_test::GuardedBuffer cut(length, '\0');
  std::thread stopper([&relay] {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    relay.stop();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(TXADGetUserListFromContainer(path.c_str(), cut.data(), length, error.data(), 64), 0);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  stopper.join();
  EXPECT_TRUE(error.untouched()) << error.text();
  EXPECT_TRUE(cut.guards_intact());
  const size_t listed = cut.text().size() / kEntryLength;
  EXPECT_TRUE(lists(cut.text(), listed, pool));
  EXPECT_GE(listed, 50u);
  EXPECT_LT(listed, static_cast<size_t>(kUsers));
  EXPECT_LT(elapsed, std::chrono::milliseconds(kUsers + 5000));  // no waiting for a timeout
}

}  // namespace
}  // namespace queries_test
