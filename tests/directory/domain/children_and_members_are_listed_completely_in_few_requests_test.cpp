// Children and members listed completely, each once, in few requests: members with class and
// path (on the group's server), filtered on the server, read again after a change; long lists
// in pages asked for ahead of the caller, members in value ranges. The fixture (1,600 contacts
// and the group CN=Big of them all) is added by the first run against a domain, then only read.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "directory/ads.h"
#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"
#include "directory/operation_counter.h"
#include "directory/pool.h"
#include "support/domain.h"
#include "support/scratch_ou.h"

namespace txads::directory {
namespace {

constexpr size_t kCount = 1600;
const std::string kFixture = "OU=txads-long-lists," + txads_test::base_dn();
const std::string kGroup = "CN=Big," + kFixture;

// ldapmodify -a -c as the administrator: adds what is missing.
void add_missing(const std::string& ldif) {
  txads_test::run_tool({"ldapmodify", "-a", "-c", "-Q", "-Y", "GSSAPI", "-N"}, ldif,
                       {"KRB5CCNAME=" + txads_test::ccache_of("administrator")});
}

class LongLists : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Container warm;  // a kept connection, so that only requests are counted
    ASSERT_EQ(ads_get_object(txads_test::path_of(txads_test::base_dn()), warm), kOk);
    if (txads_test::attribute_values(kGroup, "member").size() == kCount) return;
    add_missing("dn: " + kFixture + "\nobjectClass: organizationalUnit\n\ndn: " + kGroup +
                "\nobjectClass: group\nsAMAccountName: txads-long-lists\n\n");
    std::string members = "dn: " + kGroup + "\nchangetype: modify\nreplace: member\n";
    std::vector<std::thread> writers;
    for (size_t w = 0; w < 4; ++w) {
      std::string ldif;
      for (size_t i = w; i < kCount; i += 4) {
        const std::string dn = "CN=c" + std::to_string(i) + "," + kFixture;
        ldif += "dn: " + dn + "\nobjectClass: contact\n\n";
        members += "member: " + dn + "\n";
      }
      writers.emplace_back(add_missing, ldif);
    }
    for (std::thread& writer : writers) writer.join();
    txads_test::modify(members);
  }
  void TearDown() override {
    set_page_size(0);
    set_range_size(0);
  }
};

uint64_t operations() {
  return operation_counts().operations;
}

// "class path" of each item handed out; `asking` gets the items whose next() sent a request.
std::vector<std::string> drain(Enumerator& items, std::vector<size_t>* asking = nullptr) {
  std::vector<std::string> out;
  Object item;
  std::string class_name, path;
  for (uint64_t before = operations(); items.next(item) == kOk; before = operations()) {
    if (asking != nullptr && operations() != before) asking->push_back(out.size());
    EXPECT_EQ(item.get_class(class_name), kOk);
    EXPECT_EQ(item.get_ads_path(path), kOk);
    out.push_back(class_name + " " + path);
  }
  return out;
}

bool each_once(const std::vector<std::string>& listed) {
  return listed.size() == kCount && std::set(listed.begin(), listed.end()).size() == kCount;
}

// The members of the classes asked for, sorted.
std::vector<std::string> listed(Members& members, ClassFilter filter) {
  Enumerator items;
  EXPECT_EQ(members.put_filter(std::move(filter)), kOk);
  EXPECT_EQ(members.new_enum(items), kOk);
  std::vector<std::string> out = drain(items);
  std::sort(out.begin(), out.end());
  return out;
}

Status list_contacts(Enumerator& children) {
  Container container;
  Status status = ads_get_object(txads_test::path_of(kFixture), container);
  if (status == kOk) status = container.put_filter({"contact"});
  return status == kOk ? container.new_enum(children) : status;
}

// Pages of 50 entries first, doubling up to the page size; each page is
// asked for when the one before it arrives, ahead of the caller. A listing
// dropped with a page asked for and unread gives its connection back, and
// none of its answers reach the next listing.
TEST_F(LongLists, ChildrenComeInGrowingPagesAskedForAhead) {
  const size_t kept = kept_connections();
  Enumerator abandoned;
  ASSERT_EQ(list_contacts(abandoned), kOk);
  abandoned = Enumerator();
  EXPECT_EQ(kept_connections(), kept);
  std::vector<size_t> by_hundreds;
  for (size_t item = 50; item < kCount - 100; item += 100) by_hundreds.push_back(item);
  const std::pair<int, std::vector<size_t>> rows[] = {{0, {50, 150, 350, 750}}, {100, by_hundreds}};
  for (const auto& [page_size, asking_items] : rows) {
    set_page_size(page_size);
    const uint64_t before = operations();
    Enumerator children;
    ASSERT_EQ(list_contacts(children), kOk);
    EXPECT_EQ(operations() - before, 3u);  // the bind, the first page and the second
    std::vector<size_t> asking;
    EXPECT_TRUE(each_once(drain(children, &asking)));
    EXPECT_EQ(asking, asking_items) << page_size;
  }
}

// Searches sent together are answered in order, so the second page of the
// first comes after the first page of the second, and libldap holds that
// page already when it is read: it is taken, not awaited on the socket.
TEST_F(LongLists, SearchesSentTogetherAreReadWholeAcrossPages) {
  set_page_size(1000);
  LdapPath fixture;
  ASSERT_EQ(parse_path(txads_test::path_of(kFixture), fixture), kOk);
  const SearchRequest contacts{kFixture, Scope::one_level, "(objectClass=contact)", {}};
  std::vector<Entry> entries;
  ASSERT_EQ(with_connection(fixture.endpoint,
                            [&](Connection& connection) {
                              return search_all(connection, {contacts, contacts}, entries);
                            }),
            kOk);
  EXPECT_EQ(entries.size(), 2 * kCount);
}

// Ranges of 500 values or the server's own, then searches of 100 names.
TEST_F(LongLists, MembersAreReadAcrossRangesInFewRequests) {
  const std::pair<int, uint64_t> rows[] = {{500, 4 + 16}, {0, 16}};
  for (const auto& [range_size, requests] : rows) {
    set_range_size(range_size);
    Group group;
    ASSERT_EQ(ads_get_object(txads_test::path_of(kGroup), group), kOk);
    Members members;
    ASSERT_EQ(group.members(members), kOk);
    const uint64_t before = operations();
    Enumerator items;
    ASSERT_EQ(members.new_enum(items), kOk);
    EXPECT_EQ(operations() - before, requests) << range_size;
    EXPECT_TRUE(each_once(drain(items)));
    EXPECT_TRUE(listed(members, {"user", "group"}).empty());
  }
}

// Test double: the test server answers an unpaged search whole; one that
// caps such answers (at 10 entries here) says so with a size limit result.
void cap_unpaged(const std::string&, const SearchRequest& query, int& result,
                 std::vector<Entry>& entries, std::vector<std::string>&) {
  if (query.paged || query.scope == Scope::base || entries.size() <= 10) return;
  entries.resize(10);
  result = LDAP_SIZELIMIT_EXCEEDED;
}

// The searches by names ask for no pages; answers cut short by the server
// are asked for again in pages, and no member is lost.
TEST_F(LongLists, MembersComeWholeFromAServerThatCapsUnpagedAnswers) {
  Group group;
  ASSERT_EQ(ads_get_object(txads_test::path_of(kGroup), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  set_answer_filter(cap_unpaged);
  const uint64_t before = operations();
  Enumerator items;
  const Status status = members.new_enum(items);
  const uint64_t requests = operations() - before;
  set_answer_filter(nullptr);
  ASSERT_EQ(status, kOk);
  EXPECT_EQ(requests, 16u + 16u);
  EXPECT_TRUE(each_once(drain(items)));
}

TEST(GroupMembers, ComeWithTheirClassesInTwoRequestsAndAreReadAgainAfterAChange) {
  txads_test::ScratchOu ou{"members"};
  const std::string dc1 = "LDAP://dc1.corp.example.com/";
  const std::string u1 = ou.add_user("u1", ou.unique_name("u1")),
                    u2 = ou.add_user("u2", ou.unique_name("u2")),
                    pc = ou.add_computer("pc", {}, ou.unique_name("pc")),
                    inner = ou.add_group("inner", {}, ou.unique_name("in")),
                    outer = ou.add_group("outer", {}, ou.unique_name("out"));
  for (const std::string& member : {u1, u2, pc, inner, ou.add_container("box")})
    ou.add_member(outer, member);
  Object warm;  // opens the connection, so that only requests are counted
  ASSERT_EQ(ads_get_object(dc1 + ou.dn(), warm), kOk);

  const uint64_t before = operations();
  Group group;
  ASSERT_EQ(ads_get_object(dc1 + outer, group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(listed(members, {"user", "group"}),
            (std::vector<std::string>{"computer " + dc1 + pc, "group " + dc1 + inner,
                                      "user " + dc1 + u1, "user " + dc1 + u2}));
  EXPECT_EQ(operations() - before, 2u);

  ASSERT_EQ(group.remove(dc1 + u1), kOk);
  EXPECT_EQ(listed(members, {"user"}).size(), 2u);
  ASSERT_EQ(group.add(txads_test::path_of(u1)), kOk);
  EXPECT_EQ(listed(members, {"user"}).size(), 3u);
}

}  // namespace
}  // namespace txads::directory
