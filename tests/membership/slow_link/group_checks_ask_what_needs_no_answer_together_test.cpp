// What a group check asks without needing an answer of its own (the named
// group's bind, the group's translation for the SID rule) goes out when the
// check starts, together with the user's translation: the global catalog
// then sees one round trip per check, not one for each translation; the
// group's account for the SID rule goes out with a level of the search. Slow
// links (relays counting round trips, 50 ms each way) stand in front of the real
// controller's LDAP port and global catalog; LDAPURI names the first before
// the library's first call, so this test has its own main.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/slow_link.h"
#include "txads.h"

namespace {

txads_test::SlowLink* ldap_link = nullptr;
txads_test::SlowLink* catalog_link = nullptr;

TEST(GroupChecks, AskTheGroupWithTheUserAndLetNoUnreadAnswerMisleadTheNext) {
  ASSERT_TRUE(ldap_link->listening() && catalog_link->listening());
  TXADSetRecursFlag(1);
  const auto group = [](const char* name) {
    return txads_test::path_of(txads_test::seeded("CN=" + std::string(name) + ",OU=Groups"));
  };
  // Found in Nest2 (the asked translation is never read), then not found
  // through Nest1 (it is, and the group's account for the SID rule goes out
  // with the second level), twice over on the same connections. Warm round
  // trips on the LDAP port: the named group with the translations, a level
  // each (Nest2 to Nest6 for Nest1), nothing more.
  const struct {
    const char* group;
    int expected;
    uint64_t ldap_round_trips;
  } calls[] = {{"Nest1", 2, 0}, {"Nest2", 1, 6}, {"Nest1", 2, 6}, {"Nest2", 1, 6}, {"Nest1", 2, 6}};
  txads_test::GuardedBuffer error;
  for (size_t i = 0; i < std::size(calls); ++i) {
    SCOPED_TRACE(std::to_string(i) + " " + calls[i].group);
    const uint64_t before = catalog_link->counts().round_trips;
    const uint64_t ldap_before = ldap_link->counts().round_trips;
    EXPECT_EQ(TXADIsUserInGroup("CORP\\dave", group(calls[i].group).c_str(), error.data(), 512),
              calls[i].expected);
    EXPECT_TRUE(error.untouched()) << error.text();
    if (i > 0) {  // warm connections
      EXPECT_EQ(catalog_link->counts().round_trips - before, 1u);
      EXPECT_EQ(ldap_link->counts().round_trips - ldap_before, calls[i].ldap_round_trips);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string controller = txads_test::first_controller_address();
  // The library reconnects to the LDAP link under the controller's host name
  // (Kerberos), so that link listens on every address; the global catalog
  // is port 3268 of the configured host.
  txads_test::SlowLink ldap("0.0.0.0", 0, controller, 389);
  txads_test::SlowLink catalog("127.0.0.1", 3268, controller, 3268);
  // Requests sent together must reach the server before its first answer
  // returns for the relays to count them as one round trip: a 100 ms round
  // trip leaves room for a slow (sanitized, loaded) client between them.
  for (txads_test::SlowLink* link : {&ldap, &catalog})
    link->set_delay(std::chrono::milliseconds(50));
  ldap_link = &ldap;
  catalog_link = &catalog;
  setenv("LDAPURI", ("ldap://127.0.0.1:" + std::to_string(ldap.port())).c_str(), 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
