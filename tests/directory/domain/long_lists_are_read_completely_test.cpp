// Lists longer than one answer: a container's children across search pages
// and a group's members across value ranges. The data (1,600 contacts in one
// OU, all members of one group) is made once for this file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "directory/ads.h"
#include "directory/ldap_ops.h"
#include "directory/operation_counter.h"
#include "scratch.h"

namespace txads::directory {
namespace {

constexpr int kCount = 1600;

class LongLists : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou_ = new scratch::Ou("long-lists");
    std::string ldif;
    for (int i = 0; i < kCount; ++i)
      ldif += "dn: CN=c" + std::to_string(i) + "," + ou_->dn() + "\nobjectClass: contact\n\n";
    ASSERT_EQ(scratch::modify(ldif), 0);
    std::string group = "dn: CN=Big," + ou_->dn() +
                        "\nobjectClass: group\nsAMAccountName: long-lists-" +
                        std::to_string(getpid()) + "\n";
    for (int i = 0; i < kCount; ++i)
      group += "member: CN=c" + std::to_string(i) + "," + ou_->dn() + "\n";
    ASSERT_EQ(scratch::modify(group + "\n"), 0);
  }
  static void TearDownTestSuite() {
    delete ou_;
    ou_ = nullptr;
  }
  void TearDown() override {
    set_page_size(0);
    set_range_size(0);
  }
  static scratch::Ou* ou_;
};
scratch::Ou* LongLists::ou_ = nullptr;

std::set<std::string> drain(Enumerator& items) {
  std::set<std::string> names;
  Object item;
  while (items.next(item) == kOk) {
    std::string name;
    EXPECT_EQ(item.get_name(name), kOk);
    names.insert(name);
  }
  return names;
}

TEST_F(LongLists, EveryChildIsListedAcrossSmallPages) {
  set_page_size(100);
  Container container;
  ASSERT_EQ(ads_get_object(ou_->path(), container), kOk);
  ASSERT_EQ(container.put_filter({"contact"}), kOk);
  const uint64_t before = operation_counts().operations;
  Enumerator children;
  ASSERT_EQ(container.new_enum(children), kOk);
  EXPECT_GE(operation_counts().operations - before, uint64_t{kCount / 100});  // one per page
  const std::set<std::string> names = drain(children);
  EXPECT_EQ(names.size(), size_t{kCount});
  EXPECT_TRUE(names.count("CN=c0") && names.count("CN=c1599"));
}

TEST_F(LongLists, EveryMemberIsReadAcrossRanges) {
  set_range_size(500);
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path("CN=Big," + ou_->dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  const uint64_t before = operation_counts().operations;
  Enumerator items;
  ASSERT_EQ(members.new_enum(items), kOk);
  const uint64_t used = operation_counts().operations - before;
  // Four ranges and one search per batch of names: far fewer than one
  // request per member.
  EXPECT_LT(used, uint64_t{kCount / 50});
  const std::set<std::string> names = drain(items);
  EXPECT_EQ(names.size(), size_t{kCount});
  EXPECT_TRUE(names.count("CN=c0") && names.count("CN=c1599"));
}

TEST_F(LongLists, TheServersOwnRangesAreFollowedToo) {
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path("CN=Big," + ou_->dn()), group), kOk);
  Value member;
  ASSERT_EQ(group.get("member", member), kOk);
  EXPECT_EQ(member.values().size(), size_t{kCount});
  EXPECT_EQ(member.syntax(), Value::Syntax::distinguished_name);
}

TEST_F(LongLists, AClassFilterIsAppliedToMembersOnTheServer) {
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path("CN=Big," + ou_->dn()), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  ASSERT_EQ(members.put_filter({"user", "group"}), kOk);
  Enumerator items;
  ASSERT_EQ(members.new_enum(items), kOk);
  EXPECT_TRUE(drain(items).empty());
}

}  // namespace
}  // namespace txads::directory
