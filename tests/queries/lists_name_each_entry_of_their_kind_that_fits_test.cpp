// The listings and the group list append entries, each followed by "|", to
// the text already in a caller's buffer. The listings name the direct
// children of exactly their class while "fill count < length - 1" holds, else
// stop with -2; a long one is complete, and a server lost part-way ends it at
// once with the entries read so far; one whose enumeration cannot start
// fails without an error text (that is for a failed bind); the first page
// goes out together with the container's bind. The group list
// names the account's groups as domain\group while "text + name + 10 <
// length" holds.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <ldap.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/relay.h"
#include "support/scratch_ou.h"
#include "support/slow_link.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {
// The DN whose one-level searches the stand-in below refuses; null for none.
std::atomic<const std::string*> refused_listing{nullptr};
}  // namespace

// The real server cannot be made to refuse a one-level search of a container
// it has just let the caller read. This test double stands in for that
// refusal: it replaces libldap's ldap_search_ext in this binary and passes
// every other request to the real server.
extern "C" int ldap_search_ext(LDAP* ld, const char* base, int scope, const char* filter,
                               char** attrs, int attrsonly, LDAPControl** sctrls,
                               LDAPControl** cctrls, timeval* timeout, int sizelimit, int* msgidp) {
  static const auto real =
      reinterpret_cast<decltype(&ldap_search_ext)>(dlsym(RTLD_NEXT, "ldap_search_ext"));
  const std::string* refused = refused_listing.load();
  if (refused && scope == LDAP_SCOPE_ONELEVEL && base && *refused == base)
    return LDAP_UNWILLING_TO_PERFORM;
  return real(ld, base, scope, filter, attrs, attrsonly, sctrls, cctrls, timeout, sizelimit,
              msgidp);
}

namespace {

using txads_test::GuardedBuffer;
using txads_test::path_of;

// `list` is `count` different entries of `pool`, each followed by "|" (the
// directory gives entries in no fixed order, and a full buffer cuts a list
// after any of them).
::testing::AssertionResult lists(const std::string& list, size_t count, const std::string& pool) {
  std::set<std::string> entries;
  size_t from = 0;
  for (size_t bar; (bar = list.find('|', from)) != std::string::npos; from = bar + 1) {
    const std::string entry = list.substr(from, bar - from);
    if (("|" + pool).find("|" + entry + "|") == std::string::npos) break;
    entries.insert(entry);
  }
  if (from == list.size() && entries.size() == count) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << '"' << list << "\" is not " << count << " of " << pool;
}

struct List {
  int (*call)(const char*, char*, int, char*, int);
  const char* worker;  // the listing's worker, which traces a line of its own
};
const List kUsers{TXADGetUserListFromContainer, "GetUserListFromContainer"};
const List kStations{TXADGetStationListFromContainer, "GetStationListFromContainer"};
const List kGroups{TXADGetGroupList, nullptr};

TEST(Lists, NameEachEntryOfTheirKindThatFits) {
  txads_test::ScratchOu ou("lists");
  const std::string mixed = ou.add_ou("Mixed");
  ou.add_user("Ann Smith", ou.unique_name("anns"), mixed);
  ou.add_user("Smith\\, John", ou.unique_name("js"), mixed);
  const std::string pc = ou.unique_name("PC");
  ou.add_computer(pc, mixed);
  // inetOrgPerson passes the "user" filter but is of another class.
  txads_test::modify("dn: CN=Ina Org," + mixed + "\nchangetype: add\nobjectClass: inetOrgPerson\n" +
                     "sAMAccountName: " + ou.unique_name("ina") + "\n\ndn: CN=Con Tact," + mixed +
                     "\nchangetype: add\nobjectClass: contact\n");
  const std::string sub = ou.add_ou("Sub", mixed);
  ou.add_user("Deep User", ou.unique_name("deep"), sub);
  ou.add_computer(ou.unique_name("DEEP"), sub);
  const std::string pair = ou.add_container("Pair");  // a plain container
  const std::string domain = txads_test::netbios_domain() + "\\";
  const std::string ann = domain + ou.unique_name("ann"), bob = domain + ou.unique_name("bob");
  const std::string ann_dn = ou.add_user("Ann", ou.unique_name("ann"), pair);
  ou.add_user("Bob", ou.unique_name("bob"), pair);  // in no group
  const std::string groups = ou.add_ou("Groups");
  std::string pool;  // Ann's groups, each name n characters
  for (const char* stem : {"GrpA", "GrpB", "GrpC"}) {
    ou.add_member(ou.add_group(stem, groups, ou.unique_name(stem)), ann_dn);
    pool += domain + ou.unique_name(stem) + "|";
  }
  const int n = static_cast<int>(pool.size() / 3 - 1);
  const std::string two = "Ann|Bob|", x20(20, 'x'), x40(40, 'x');
  const std::string not_found = "The name was not found, or the caller may not see it.\n";
  const struct {
    List list;
    std::string arg;
    std::string on_entry;  // the text before the call; as long as the buffer: unterminated
    int length, code;
    size_t count;  // entries appended, each one of `pool`
    std::string pool;
    std::string error;  // "" when the error buffer must stay untouched
    bool refuse_enumeration = false;
  } rows[] = {
      {kUsers, path_of(mixed), "", 1000, 0, 2, "Ann Smith|Smith\\, John|", ""},
      {kStations, path_of(mixed), "", 1000, 0, 1, pc + "|", ""},
      {kUsers, path_of(pair), "", 9, 0, 2, two, ""},   // 7 < 8: the zero byte fills it
      {kUsers, path_of(pair), "", 8, -2, 1, two, ""},  // 7 is not less than 7
      {kUsers, path_of(pair), "", 4, -2, 0, two, ""},  // 3 is not less than 3
      {kUsers, path_of(pair), "old|", 13, 0, 2, two, ""},
      {kUsers, path_of(pair), "old|", 12, -2, 1, two, ""},
      {kUsers, path_of(pair), x20, 20, -2, 0, two, ""},
      {kStations, path_of(pair), "kept|", 100, -3, 0, "", ""},
      {kUsers, path_of(groups), "", 100, -3, 0, "", ""},
      {kUsers, "LDAP://", "", 100, -1, 0, "", ""},
      {kStations, path_of("OU=Missing," + ou.dn()), "", 100, -1, 0, "",
       "The directory holds no object with that name.\n"},
      {kUsers, "ldap://" + pair, "", 100, -1, 0, "", "E_ADS_BAD_PATHNAME"},
      {kUsers, path_of(pair), "", 100, -1, 0, "", "", true},
      {kStations, path_of(mixed), "", 100, -1, 0, "", "", true},
      {kGroups, ann, "", 3 * n + 13, 0, 3, pool, ""},  // 2 (n + 1) + n + 10 < 3 n + 13
      {kGroups, ann, "", 3 * n + 12, 0, 2, pool, ""},
      {kGroups, ann, "", n + 11, 0, 1, pool, ""},
      {kGroups, ann, "", n + 10, -1, 0, pool, ""},  // n + 10 is not less than n + 10
      {kGroups, ann, "prior|", 6 + 3 * n + 13, 0, 3, pool, ""},
      {kGroups, ann, "prior|", 6 + 3 * n + 12, 0, 2, pool, ""},
      {kGroups, ann, x40, 40, -1, 0, pool, ""},
      {kGroups, bob, "", 200, -1, 0, "", ""},  // only in its primary group
      {kGroups, ou.unique_name("ann"), "", 200, -1, 0, "", not_found},
      {kGroups, domain + ou.unique_name("nobody"), "", 200, -1, 0, "", not_found},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arg + " after \"" + row.on_entry + "\", length " + std::to_string(row.length));
    GuardedBuffer list(row.length, '\0'), error(64);
    std::memcpy(list.data(), row.on_entry.data(), row.on_entry.size());
    txads_test::TraceCapture trace;
    const std::string refused = row.refuse_enumeration ? row.arg.substr(7) : "";
    if (row.refuse_enumeration) refused_listing = &refused;
    EXPECT_EQ(row.list.call(row.arg.c_str(), list.data(), row.length, error.data(), 64), row.code);
    refused_listing = nullptr;
    const std::string text = list.text();
    EXPECT_EQ(text.substr(0, row.on_entry.size()), row.on_entry);
    EXPECT_TRUE(lists(text.substr(row.on_entry.size()), row.count, row.pool));
    EXPECT_TRUE(list.guards_intact());
    EXPECT_TRUE(row.error.empty() ? error.untouched() : error.text() == row.error) << error.text();
    if (!row.list.worker) continue;
    const std::string worker = row.list.worker;
    // The two entry lines, then what the server said of a refused request.
    const std::vector<std::string> lines = trace.messages();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "run function 'TXAD" + worker + "'.");
    EXPECT_EQ(lines[1], "run function '" + worker + "'.");
    for (size_t i = 2; i < lines.size(); ++i)
      EXPECT_TRUE(lines[i].starts_with("The directory answered '")) << lines[i];
  }
}

TEST(Lists, ALongListingIsCompleteAndEndsWithItsEntriesWhenTheServerGoes) {
  constexpr int kBulk = 800;  // more users than one page holds
  txads_test::ScratchOu ou("bulk");
  std::string ldif, pool;
  for (int i = 10000; i < 10000 + kBulk; ++i) {
    const std::string cn = "Bulk User " + std::to_string(i);
    ldif += "dn: CN=" + cn + "," + ou.dn() + "\nchangetype: add\nobjectClass: user\n\n";
    pool += cn + "|";
  }
  txads_test::modify(ldif);
  const int length = kBulk * 16 + 1;  // "Bulk User 1xxxx|" each
  GuardedBuffer all(length, '\0'), error(64);
  EXPECT_EQ(TXADGetUserListFromContainer(ou.path().c_str(), all.data(), length, error.data(), 64),
            0);
  EXPECT_TRUE(lists(all.text(), kBulk, pool));

  // The relay stands in for a server that goes away (every byte still comes
  // from the real one). It stops once the first entry is in the buffer; the
  // last page is asked for only 349 pauses of 1 ms later. Should the machine
  // hold the stopper back that long, the listing ends whole: run it again.
  Relay relay;
  const std::string path = "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/" + ou.dn();
  std::string cut;
  for (int attempt = 0; attempt < 5 && (cut.empty() || cut.size() == all.text().size());
       ++attempt) {
    GuardedBuffer list(length, '\0');
    std::atomic<bool> returned = false;
    std::chrono::steady_clock::time_point stopped;
    std::thread stopper([&] {
      while (std::atomic_ref<char>(*list.data()).load() == '\0' && !returned)
        std::this_thread::yield();
      relay.stop();
      stopped = std::chrono::steady_clock::now();
    });
    relay.start();
    EXPECT_EQ(TXADGetUserListFromContainer(path.c_str(), list.data(), length, error.data(), 64), 0);
    const auto end = std::chrono::steady_clock::now();
    returned = true;
    stopper.join();
    EXPECT_LT(end - stopped, std::chrono::seconds(20));  // no waiting out a timeout
    EXPECT_TRUE(error.untouched()) << error.text();
    EXPECT_TRUE(list.guards_intact());
    cut = list.text();
  }
  const size_t listed = cut.size() / 16;
  EXPECT_TRUE(lists(cut, listed, pool));
  EXPECT_GE(listed, 50u);  // the first page
  EXPECT_LT(listed, static_cast<size_t>(kBulk));
}

// The first page goes out together with the container's bind: a short
// listing costs one round trip, counted by a slow link in front of the real
// server (the first call opens the connection).
TEST(Lists, CostOneRoundTrip) {
  txads_test::SlowLink link("127.0.0.1", 0, txads_test::first_controller_address(), 389);
  link.set_delay(std::chrono::milliseconds(20));
  const std::string path =
      "LDAP://127.0.0.1:" + std::to_string(link.port()) + "/" + txads_test::seeded("OU=Staff");
  const struct {
    List list;
    int code;
  } calls[] = {{kUsers, 0}, {kUsers, 0}, {kStations, -3}};  // the first opens the connection
  for (size_t i = 0; i < std::size(calls); ++i) {
    GuardedBuffer buffer(512, '\0'), error(64);
    const uint64_t before = link.counts().round_trips;
    EXPECT_EQ(calls[i].list.call(path.c_str(), buffer.data(), 512, error.data(), 64),
              calls[i].code);
    if (i > 0) {
      EXPECT_EQ(link.counts().round_trips - before, 1u) << calls[i].list.worker;
    }
  }
}

}  // namespace
