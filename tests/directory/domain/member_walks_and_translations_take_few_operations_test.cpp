// The requests behind a membership check, counted with the operation
// counter on a connection already open: a translation is one search once the
// forest's domains are known, and a group's members come with their classes
// from the group's bind plus one search. What the bind read is never served
// after the list changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "scratch.h"

namespace txads::directory {
namespace {

uint64_t operations() {
  return operation_counts().operations;
}

std::vector<std::string> names_of(Members& members, ClassFilter filter) {
  EXPECT_EQ(members.put_filter(std::move(filter)), kOk);
  Enumerator items;
  EXPECT_EQ(members.new_enum(items), kOk);
  std::vector<std::string> names;
  Object item;
  while (items.next(item) == kOk) {
    std::string name;
    EXPECT_EQ(item.get_name(name), kOk);
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FewOperations, ATranslationIsOneSearchOnceTheDomainsAreKnown) {
  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);  // learns the forest's domains
  struct Row {
    NameType type;
    std::string name;
    std::string expected;  // in the other form
  };
  const Row rows[] = {
      {NameType::nt4, "CORP\\jsmith", "CN=Smith\\, John,OU=Staff," + scratch::base()},
      {NameType::nt4, "corp\\ann", "CN=Ann Archer,OU=Dev,OU=Staff," + scratch::base()},
      {NameType::rfc1779, "CN=PC042,OU=Lab,OU=Site," + scratch::base(), "CORP\\PC042$"},
      {NameType::rfc1779, scratch::base(), "CORP\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const uint64_t before = operations();
    ASSERT_EQ(translate.set(row.type, row.name), kOk);
    EXPECT_EQ(operations() - before, 1u);
    std::string out;
    ASSERT_EQ(translate.get(row.type == NameType::nt4 ? NameType::rfc1779 : NameType::nt4, out),
              kOk);
    EXPECT_EQ(out, row.expected);
  }
  // Known domains are kept across translators.
  NameTranslate other;
  ASSERT_EQ(other.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  const uint64_t before = operations();
  ASSERT_EQ(other.set(NameType::nt4, "CORP\\ann"), kOk);
  EXPECT_EQ(operations() - before, 1u);
}

TEST(FewOperations, AnUnknownDomainIsLookedUpAgainBeforeItIsRefused) {
  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);
  const uint64_t before = operations();
  EXPECT_EQ(translate.set(NameType::nt4, "NODOMAIN\\ann").bits(), 0x80072116u);
  EXPECT_EQ(operations() - before, 1u);  // the partitions read afresh, no account search
  EXPECT_EQ(translate.set(NameType::rfc1779, "CN=x,DC=elsewhere,DC=test").bits(), 0x80072116u);
  // The list read afresh still serves the known domain.
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);
}

class SmallGroup : public ::testing::Test {
 protected:
  scratch::Ou ou{"walks"};
  std::string group_dn;
  void SetUp() override {
    const std::string tag = std::to_string(getpid());
    ASSERT_EQ(ou.add("CN=u1", "user", "sAMAccountName: walk-u1-" + tag + "\n"), 0);
    ASSERT_EQ(ou.add("CN=u2", "user", "sAMAccountName: walk-u2-" + tag + "\n"), 0);
    ASSERT_EQ(ou.add("CN=pc", "computer", "sAMAccountName: walk-pc-" + tag + "$\n"), 0);
    ASSERT_EQ(ou.add("CN=c1", "contact"), 0);
    ASSERT_EQ(ou.add("CN=inner", "group", "sAMAccountName: walk-in-" + tag + "\n"), 0);
    group_dn = "CN=outer," + ou.dn();
    std::string members;
    for (const char* rdn : {"CN=u1", "CN=u2", "CN=pc", "CN=c1", "CN=inner"})
      members += std::string("member: ") + rdn + "," + ou.dn() + "\n";
    ASSERT_EQ(ou.add("CN=outer", "group", "sAMAccountName: walk-out-" + tag + "\n" + members), 0);
    // Open the connection first, so that only requests are counted.
    Object warm;
    ASSERT_EQ(ads_get_object(ou.path(), warm), kOk);
  }
};

TEST_F(SmallGroup, BindAndFilteredMembersAreTwoRequests) {
  const uint64_t before = operations();
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(names_of(members, {"user", "group"}),
            (std::vector<std::string>{"CN=inner", "CN=pc", "CN=u1", "CN=u2"}));
  EXPECT_EQ(operations() - before, 2u);
  EXPECT_EQ(names_of(members, {"contact"}), std::vector<std::string>{"CN=c1"});
}

TEST_F(SmallGroup, MembersChangedThroughTheHandleAreReadAgain) {
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(group_dn), group), kOk);
  ASSERT_EQ(group.remove(scratch::path("CN=u1," + ou.dn())), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(names_of(members, {"user"}), (std::vector<std::string>{"CN=pc", "CN=u2"}));
  ASSERT_EQ(group.add(scratch::path("CN=u1," + ou.dn())), kOk);
  EXPECT_EQ(names_of(members, {"user"}), (std::vector<std::string>{"CN=pc", "CN=u1", "CN=u2"}));

  ASSERT_EQ(group.put("member", Value(Value::Syntax::distinguished_name, {"CN=c1," + ou.dn()})),
            kOk);
  ASSERT_EQ(group.set_info(), kOk);
  EXPECT_EQ(names_of(members, {}), std::vector<std::string>{"CN=c1"});
}

TEST_F(SmallGroup, AnEmptyGroupHasNoMembers) {
  ASSERT_EQ(
      ou.add("CN=empty", "group", "sAMAccountName: walk-e-" + std::to_string(getpid()) + "\n"), 0);
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path("CN=empty," + ou.dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_TRUE(names_of(members, {}).empty());
}

}  // namespace
}  // namespace txads::directory
