// Lists longer than one answer: a container's children across search pages
// and a group's members across value ranges.
//
// The data is a fixture kept in the domain, not a scratch OU: adding 1,600
// objects takes minutes on a loaded machine, so OU=txads-long-lists (1,600
// contacts c0..c1599 and the group CN=Big holding all of them) is made the
// first time a domain runs this test and reused while it still holds every
// object (checked by count). The tests only read it. A fixture found
// incomplete is completed (existing objects are skipped), so two runs at once
// against one domain both end with the whole set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "directory/ads.h"
#include "directory/ldap_ops.h"
#include "directory/operation_counter.h"
#include "directory/page_reader.h"
#include "directory/status_map.h"
#include "scratch.h"
#include "support/relay.h"

namespace txads::directory {
namespace {

constexpr int kCount = 1600;
constexpr int kWriters = 4;  // parallel ldapmodify processes for the first set-up

std::string fixture_dn() {
  return "OU=txads-long-lists," + scratch::base();
}
std::string contact_dn(int i) {
  return "CN=c" + std::to_string(i) + "," + fixture_dn();
}
std::string group_dn() {
  return "CN=Big," + fixture_dn();
}

// How many of the fixture's contacts pass `filter`, counted by ldapsearch.
int contacts_held(const std::string& filter = "") {
  const std::string command =
      "ldapsearch -LLL -Q -Y GSSAPI -N -o nettimeout=10 -E pr=1000/noprompt"
      " -s one -b '" +
      fixture_dn() + "' '(&(objectClass=contact)" + filter + ")' 1.1 2>/dev/null | grep -c '^dn:'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  int count = -1;
  if (fscanf(pipe, "%d", &count) != 1) count = -1;
  pclose(pipe);
  return count;
}

// Adds the missing contacts with several ldapmodify -c processes at once,
// each fed its own share of the names from a file.
void add_contacts() {
  char dir[] = "/tmp/txads-long-lists-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  for (int w = 0; w < kWriters; ++w) {
    std::string ldif;
    for (int i = w; i < kCount; i += kWriters)
      ldif += "dn: " + contact_dn(i) + "\nobjectClass: contact\n\n";
    FILE* file = fopen((std::string(dir) + "/" + std::to_string(w) + ".ldif").c_str(), "w");
    ASSERT_NE(file, nullptr);
    fwrite(ldif.data(), 1, ldif.size(), file);
    fclose(file);
  }
  const std::string command = std::string("for f in ") + dir +
                              "/*.ldif; do ldapmodify -a -c -Q -Y GSSAPI -N -o nettimeout=10"
                              " -f \"$f\" >/dev/null 2>&1 & done; wait; rm -rf " +
                              dir;
  std::system(command.c_str());
}

// Makes the fixture whole: the OU, every contact, and the group with every
// contact as a member (its list replaced when it is not complete).
void ensure_fixture() {
  if (!scratch::exists(fixture_dn()))
    scratch::modify("dn: " + fixture_dn() + "\nobjectClass: organizationalUnit\n\n", true);
  if (contacts_held() != kCount) add_contacts();
  ASSERT_EQ(contacts_held(), kCount);

  std::string members;
  for (int i = 0; i < kCount; ++i) members += "member: " + contact_dn(i) + "\n";
  if (!scratch::exists(group_dn())) {
    scratch::modify("dn: " + group_dn() +
                        "\nobjectClass: group\nsAMAccountName: txads-long-lists\n" + members + "\n",
                    true);
  }
  if (contacts_held("(memberOf=" + group_dn() + ")") != kCount) {
    ASSERT_EQ(scratch::modify("dn: " + group_dn() + "\nchangetype: modify\nreplace: member\n" +
                              members + "-\n\n"),
              0);
  }
}

class LongLists : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto start = std::chrono::steady_clock::now();
    ensure_fixture();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("long-list fixture ready in %.1f s\n", took.count());
  }
  void TearDown() override {
    set_page_size(0);
    set_range_size(0);
  }
  static std::string path() { return scratch::path(fixture_dn()); }
  // Starts enumerating the fixture's contacts, bound through `container_path`.
  static void enumerate_contacts(Enumerator& children, const std::string& container_path = path()) {
    Container container;
    ASSERT_EQ(ads_get_object(container_path, container), kOk);
    ASSERT_EQ(container.put_filter({"contact"}), kOk);
    ASSERT_EQ(container.new_enum(children), kOk);
  }
};

// Every name handed out, repeats kept.
std::multiset<std::string> drain(Enumerator& items) {
  std::multiset<std::string> names;
  Object item;
  while (items.next(item) == kOk) {
    std::string name;
    EXPECT_EQ(item.get_name(name), kOk);
    names.insert(name);
  }
  return names;
}

bool each_once(const std::multiset<std::string>& names) {
  return names.size() == size_t{kCount} &&
         std::set<std::string>(names.begin(), names.end()).size() == size_t{kCount} &&
         names.count("CN=c0") == 1 && names.count("CN=c1599") == 1;
}

TEST_F(LongLists, EveryChildIsListedAcrossSmallPages) {
  set_page_size(100);
  const uint64_t before = operation_counts().operations;
  Enumerator children;
  ASSERT_NO_FATAL_FAILURE(enumerate_contacts(children));
  EXPECT_TRUE(each_once(drain(children)));
  // The bind, then pages of 50, 100, 100, ...
  EXPECT_GE(operation_counts().operations - before, uint64_t{2 + (kCount - 50 + 99) / 100});
}

TEST_F(LongLists, TheNextPageIsAskedForBeforeTheCallerReachesIt) {
  Enumerator children;
  const uint64_t before = operation_counts().operations;
  ASSERT_NO_FATAL_FAILURE(enumerate_contacts(children));
  // The bind, the first page, and the second page already asked for.
  EXPECT_EQ(operation_counts().operations - before, 3u);
  Object child;
  for (int i = 0; i < PageReader::kFirstPageEntries; ++i) ASSERT_EQ(children.next(child), kOk);
  EXPECT_EQ(operation_counts().operations - before, 3u);
  ASSERT_EQ(children.next(child), kOk);  // the second page: the third is asked for
  EXPECT_EQ(operation_counts().operations - before, 4u);
}

TEST_F(LongLists, AnEnumerationLeftPartWayGivesItsConnectionBackInWorkingOrder) {
  {
    Enumerator children;
    ASSERT_NO_FATAL_FAILURE(enumerate_contacts(children));
    Object child;
    ASSERT_EQ(children.next(child), kOk);
  }  // dropped with the second page asked for and unread
  // A kept connection answers the next enumeration, with none of the
  // abandoned page in its answers.
  const uint64_t connections = operation_counts().connections;
  Enumerator children;
  ASSERT_NO_FATAL_FAILURE(enumerate_contacts(children));
  EXPECT_TRUE(each_once(drain(children)));
  EXPECT_EQ(operation_counts().connections, connections);
}

TEST_F(LongLists, AServerThatGoesAwayMidListEndsTheEnumerationWithItsStatus) {
  Relay relay;
  Enumerator children;
  ASSERT_NO_FATAL_FAILURE(enumerate_contacts(
      children, "LDAP://127.0.0.1:" + std::to_string(relay.port()) + "/" + fixture_dn()));
  relay.stop();
  const auto start = std::chrono::steady_clock::now();
  Object child;
  Status fetched = kOk;
  int listed = 0;
  while ((fetched = children.next(child)) == kOk) ++listed;
  // The pages already received are handed out; then the server's absence,
  // not a quiet end of the list.
  EXPECT_GE(listed, PageReader::kFirstPageEntries);
  EXPECT_LT(listed, kCount);
  EXPECT_EQ(fetched, kServerDown);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(children.next(child), kFalse);
}

TEST_F(LongLists, EveryMemberIsReadAcrossRanges) {
  set_range_size(500);
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  const uint64_t before = operation_counts().operations;
  Enumerator items;
  ASSERT_EQ(members.new_enum(items), kOk);
  const uint64_t used = operation_counts().operations - before;
  // Four ranges and one search per batch of names: far fewer than one
  // request per member.
  EXPECT_LT(used, uint64_t{kCount / 50});
  EXPECT_TRUE(each_once(drain(items)));
}

TEST_F(LongLists, AListLongerThanTheBindsAnswerIsReadInFull) {
  // The server's own range size: the bind's answer holds only the first
  // range, so the members are read again in ranges.
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  Enumerator items;
  ASSERT_EQ(members.new_enum(items), kOk);
  EXPECT_TRUE(each_once(drain(items)));
}

TEST_F(LongLists, TheServersOwnRangesAreFollowedToo) {
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn()), group), kOk);
  Value member;
  ASSERT_EQ(group.get("member", member), kOk);
  EXPECT_EQ(member.values().size(), size_t{kCount});
  EXPECT_EQ(member.syntax(), Value::Syntax::distinguished_name);
}

TEST_F(LongLists, AClassFilterIsAppliedToMembersOnTheServer) {
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  ASSERT_EQ(members.put_filter({"user", "group"}), kOk);
  Enumerator items;
  ASSERT_EQ(members.new_enum(items), kOk);
  EXPECT_TRUE(drain(items).empty());
}

}  // namespace
}  // namespace txads::directory
