// The listings and the group list append entries to a caller's list buffer,
// each followed by "|"; text already in the buffer is kept and counts against
// the length. TXADGetUserListFromContainer and TXADGetStationListFromContainer
// name the direct children of exactly their class while "fill count <
// length - 1" holds, and stop with -2 at the first that does not fit.
// TXADGetGroupList names the account's groups as domain\group while "text +
// name + 10 < length" holds, leaving out what does not fit.
#include <cstring>
#include <string>
#include <vector>

#include "list_entries.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace queries_test {
namespace {

using txads_test::path_of;

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
  const std::string ann = domain + ou.unique_name("ann");
  const std::string ann_dn = ou.add_user("Ann", ou.unique_name("ann"), pair);
  const std::string bob = domain + ou.unique_name("bob");  // in no group
  ou.add_user("Bob", ou.unique_name("bob"), pair);
  const std::string groups = ou.add_ou("Groups");
  std::string pool;  // Ann's groups, each name n characters
  for (const char* stem : {"GrpA", "GrpB", "GrpC"}) {
    ou.add_member(ou.add_group(stem, groups, ou.unique_name(stem)), ann_dn);
    pool += domain + ou.unique_name(stem) + "|";
  }
  const int n = static_cast<int>(pool.size() / 3 - 1);

  const std::string two = "Ann|Bob|";
  const std::string no_such_object = "The directory holds no object with that name.\n";
  const std::string not_found = "The name was not found, or the caller may not see it.\n";
  const struct {
    List list;
    std::string arg;
    std::string on_entry;  // the text before the call; as long as the buffer: unterminated
    int length;
    int code;
    size_t count;  // entries appended, each one of `pool`
    std::string pool;
    std::string error;  // "" when the error buffer must stay untouched
  } rows[] = {
      {kUsers, path_of(mixed), "", 1000, 0, 2, "Ann Smith|Smith\\, John|", ""},
      {kStations, path_of(mixed), "", 1000, 0, 1, pc + "|", ""},
      {kUsers, path_of(pair), "", 9, 0, 2, two, ""},   // 7 < 8: the zero byte fills it
      {kUsers, path_of(pair), "", 8, -2, 1, two, ""},  // 7 is not less than 7
      {kUsers, path_of(pair), "", 4, -2, 0, two, ""},  // 3 is not less than 3
      {kUsers, path_of(pair), "old|", 13, 0, 2, two, ""},
      {kUsers, path_of(pair), "old|", 12, -2, 1, two, ""},
      {kUsers, path_of(pair), std::string(20, 'x'), 20, -2, 0, two, ""},
      {kStations, path_of(pair), "kept|", 100, -3, 0, "", ""},
      {kUsers, path_of(groups), "", 100, -3, 0, "", ""},
      {kUsers, "LDAP://", "", 100, -1, 0, "", ""},
      {kStations, path_of("OU=Missing," + ou.dn()), "", 100, -1, 0, "", no_such_object},
      {kUsers, "ldap://" + pair, "", 100, -1, 0, "", "E_ADS_BAD_PATHNAME"},
      {kGroups, ann, "", 3 * n + 13, 0, 3, pool, ""},  // 2 (n + 1) + n + 10 < 3 n + 13
      {kGroups, ann, "", 3 * n + 12, 0, 2, pool, ""},
      {kGroups, ann, "", n + 11, 0, 1, pool, ""},
      {kGroups, ann, "", n + 10, -1, 0, pool, ""},  // n + 10 is not less than n + 10
      {kGroups, ann, "prior|", 6 + 3 * n + 13, 0, 3, pool, ""},
      {kGroups, ann, "prior|", 6 + 3 * n + 12, 0, 2, pool, ""},
      {kGroups, ann, std::string(40, 'x'), 40, -1, 0, pool, ""},
      {kGroups, bob, "", 200, -1, 0, "", ""},  // only in its primary group
      {kGroups, ou.unique_name("ann"), "", 200, -1, 0, "", not_found},
      {kGroups, domain + ou.unique_name("nobody"), "", 200, -1, 0, "", not_found},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arg + " after \"" + row.on_entry + "\", length " + std::to_string(row.length));
    txads_test::GuardedBuffer list(row.length, '\0');
    std::memcpy(list.data(), row.on_entry.data(), row.on_entry.size());
    txads_test::GuardedBuffer error(64);
    txads_test::TraceCapture trace;
    EXPECT_EQ(
        row.list.call(row.arg.c_str(), list.data(), list.length(), error.data(), error.length()),
        row.code);
    const std::string text = list.text();
    EXPECT_EQ(text.substr(0, row.on_entry.size()), row.on_entry);
    EXPECT_TRUE(lists(text.substr(row.on_entry.size()), row.count, row.pool));
    EXPECT_TRUE(list.guards_intact());
    EXPECT_TRUE(row.error.empty() ? error.untouched() : error.text() == row.error) << error.text();
    if (row.list.worker) {
      const std::string worker = row.list.worker;
      EXPECT_EQ(trace.messages(), (std::vector<std::string>{"run function 'TXAD" + worker + "'.",
                                                            "run function '" + worker + "'."}));
    }
  }
}

}  // namespace
}  // namespace queries_test
