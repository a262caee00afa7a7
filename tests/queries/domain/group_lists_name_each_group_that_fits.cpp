// TXADGetGroupList against the test domain: the account's groups as
// domain\group names, each followed by "|", under the rule that a name goes
// in only while "text now + name + 10 < length".
#include <gtest/gtest.h>

#include <locale.h>
#include <algorithm>
#include <string>
#include <vector>

#include "scratch.h"
#include "support/domain.h"
#include "txads.h"

namespace queries_test {
namespace {

class GroupListsNameEachGroupThatFits : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string member = ou_.add_user("Grp Member", "member");
    ou_.add_user("No Groups", "lonely");
    for (const char* g : {"GrpA", "GrpB", "GrpC"}) ou_.add_group(g, g, {member});
  }
  // Each name is equally long: CORP\<tag>GrpA.
  std::string group(const char* g) const { return ou_.account_name(g); }
  int n() const { return static_cast<int>(group("GrpA").size()); }
  std::vector<std::string> all() const { return {group("GrpA"), group("GrpB"), group("GrpC")}; }

  int list_groups(const char* account, Guarded& list, Guarded& error) {
    const int result =
        TXADGetGroupList(account, list.data(), list.length(), error.data(), error.length());
    EXPECT_TRUE(list.guards_intact());
    EXPECT_TRUE(error.guards_intact());
    return result;
  }

  ScratchOu ou_;
};

TEST_F(GroupListsNameEachGroupThatFits, EveryGroupIsListedWithItsDomain) {
  Guarded list(200);
  Guarded error(64, 'e');
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), list, error), 0);
  EXPECT_EQ(sorted_entries(list.text()), all());
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));
}

TEST_F(GroupListsNameEachGroupThatFits, BufferJustLargeEnoughTakesAllAndOneByteLessDropsTheLast) {
  // The third name needs 2 * (n + 1) + n + 10 < length.
  const int enough = 3 * n() + 13;
  Guarded list(enough);
  Guarded error(64);
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), list, error), 0);
  EXPECT_EQ(sorted_entries(list.text()), all());

  Guarded short_list(enough - 1);
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), short_list, error), 0);
  EXPECT_EQ(sorted_entries(short_list.text()).size(), 2u) << short_list.text();
  EXPECT_EQ(short_list.text().size(), 2u * (n() + 1));
}

TEST_F(GroupListsNameEachGroupThatFits, NoNameFittingGivesMinusOneWithoutErrorText) {
  Guarded list(n() + 10);  // 0 + n + 10 is not less than n + 10
  Guarded error(64, 'e');
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), list, error), -1);
  EXPECT_EQ(list.bytes(), std::string(n() + 10, '\0'));
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));
}

TEST_F(GroupListsNameEachGroupThatFits, AccountWithOnlyItsPrimaryGroupGivesMinusOne) {
  Guarded list(200, '\0');
  Guarded error(64, 'e');
  EXPECT_EQ(list_groups(ou_.account_name("lonely").c_str(), list, error), -1);
  EXPECT_EQ(list.bytes(), std::string(200, '\0'));
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));
}

TEST_F(GroupListsNameEachGroupThatFits, TextAlreadyInTheBufferIsKeptAndCounted) {
  // "prior|" (6) + three names: the last needs 6 + 2 (n + 1) + n + 10 < length.
  const int enough = 6 + 3 * n() + 13;
  Guarded list(enough);
  list.put("prior|");
  Guarded error(64);
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), list, error), 0);
  ASSERT_EQ(list.text().rfind("prior|", 0), 0u) << list.text();
  EXPECT_EQ(sorted_entries(list.text().substr(6)), all());

  Guarded short_list(enough - 1);
  short_list.put("prior|");
  EXPECT_EQ(list_groups(ou_.account_name("member").c_str(), short_list, error), 0);
  EXPECT_EQ(sorted_entries(short_list.text().substr(6)).size(), 2u);
}

TEST_F(GroupListsNameEachGroupThatFits, UnterminatedOrTinyBuffersTakeNothing) {
  const std::string account = ou_.account_name("member");
  Guarded full(40, 'x');  // no zero byte anywhere: nothing can follow it
  Guarded error(64, 'e');
  EXPECT_EQ(list_groups(account.c_str(), full, error), -1);
  EXPECT_EQ(full.bytes(), std::string(40, 'x'));
  for (int length : {0, 1, -1, -2147483647 - 1}) {
    Guarded tiny(length > 0 ? length : 0);
    EXPECT_EQ(TXADGetGroupList(account.c_str(), tiny.data(), length, error.data(), 64), -1)
        << length;
    EXPECT_TRUE(tiny.guards_intact()) << length;
  }
  EXPECT_EQ(error.bytes(), std::string(64, 'e'));
}

TEST_F(GroupListsNameEachGroupThatFits, UnknownOrMissingAccountFailsWithAText) {
  Guarded list(200);
  Guarded error(64, 'e');
  EXPECT_EQ(TXADGetGroupList(nullptr, list.data(), 200, error.data(), 64), -1);
  EXPECT_EQ(error.text(), kInvalidParameterText);
  for (const std::string& account : {std::string(), ou_.tag() + "member",
                                     txads_test::netbios_domain() + "\\" + ou_.tag() + "nobody"}) {
    Guarded e(64, 'e');
    EXPECT_EQ(list_groups(account.c_str(), list, e), -1) << account;
    EXPECT_EQ(e.text(), kNameNotFoundText) << account;
  }
  EXPECT_EQ(list.bytes(), std::string(200, '\0'));
}

TEST_F(GroupListsNameEachGroupThatFits, GroupNamesAreInTheCallingThreadsCodeSet) {
  const std::string member = ou_.add_user("Umlaut Member", "umember");
  ou_.add_group("Prüfer", "Prüfer", {member});
  Guarded list(200);
  Guarded error(64);
  EXPECT_EQ(list_groups(ou_.account_name("umember").c_str(), list, error), 0);
  EXPECT_EQ(list.text(), ou_.account_name("Prüfer") + "|");

  locale_t latin1 = newlocale(LC_CTYPE_MASK, "de_DE.iso88591", nullptr);
  if (latin1 == nullptr) GTEST_SKIP() << "no de_DE.iso88591 locale";
  const locale_t before = uselocale(latin1);
  Guarded latin(200);
  const int result = list_groups(ou_.account_name("umember").c_str(), latin, error);
  uselocale(before);
  freelocale(latin1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(latin.text(), txads_test::netbios_domain() + "\\" + ou_.tag() +
                              "Pr\xFC"
                              "fer|");
}

}  // namespace
}  // namespace queries_test
