// TXADGetGroupList: the account's groups as domain\group, each followed by
// "|", a name going in only while "text now + name + 10 < length"; a name
// that does not fit is left out and the listing goes on.
#include <cstring>
#include <string>

#include "list_entries.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace queries_test {
namespace {

struct Row {
  std::string account;
  std::string on_entry;  // as long as the buffer: no zero byte in it
  int length;
  int code;
  size_t count;       // names appended, each one of the member's groups
  std::string error;  // "" when the error buffer must stay untouched
};

TEST(GroupListsNameEachGroupThatFits, EachRowListsWhatFits) {
  txads_test::ScratchOu ou("grouplist");
  const std::string domain = txads_test::netbios_domain() + "\\";
  const std::string member = ou.unique_name("member");
  const std::string member_dn = ou.add_user("Grp Member", member);
  const std::string lonely = ou.unique_name("lonely");
  ou.add_user("No Groups", lonely);
  std::string pool;
  for (const char* stem : {"GrpA", "GrpB", "GrpC"}) {
    const std::string account = ou.unique_name(stem);
    ou.add_member(ou.add_group(stem, {}, account), member_dn);
    pool += domain + account + "|";
  }
  const int n = static_cast<int>(pool.size() / 3 - 1);  // every name is this long
  const std::string not_found = "The name was not found, or the caller may not see it.\n";

  const Row rows[] = {
      {domain + member, "", 200, 0, 3, ""},
      {domain + member, "", 3 * n + 13, 0, 3, ""},  // 2 (n + 1) + n + 10 < 3 n + 13
      {domain + member, "", 3 * n + 12, 0, 2, ""},
      {domain + member, "", n + 11, 0, 1, ""},
      {domain + member, "", n + 10, -1, 0, ""},  // 0 + n + 10 is not less than n + 10
      {domain + member, "prior|", 6 + 3 * n + 13, 0, 3, ""},
      {domain + member, "prior|", 6 + 3 * n + 12, 0, 2, ""},
      {domain + member, std::string(40, 'x'), 40, -1, 0, ""},
      {domain + member, "", 0, -1, 0, ""},
      {domain + lonely, "", 200, -1, 0, ""},  // only its primary group
      {member, "", 200, -1, 0, not_found},
      {domain + ou.unique_name("nobody"), "", 200, -1, 0, not_found},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.account + " after \"" + row.on_entry + "\" length " +
                 std::to_string(row.length));
    txads_test::GuardedBuffer list(row.length, '\0');
    std::memcpy(list.data(), row.on_entry.data(), row.on_entry.size());
    txads_test::GuardedBuffer error(64);
    EXPECT_EQ(TXADGetGroupList(row.account.c_str(), list.data(), list.length(), error.data(),
                               error.length()),
              row.code);
    const std::string text = list.text();
    EXPECT_EQ(text.substr(0, row.on_entry.size()), row.on_entry);
    EXPECT_TRUE(lists(text.substr(row.on_entry.size()), row.count, pool));
    EXPECT_TRUE(list.guards_intact());
    if (row.error.empty()) {
      EXPECT_TRUE(error.untouched()) << error.text();
    } else {
      EXPECT_EQ(error.text(), row.error);
    }
  }
}

}  // namespace
}  // namespace queries_test
