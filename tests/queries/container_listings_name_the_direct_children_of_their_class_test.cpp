// TXADGetUserListFromContainer and TXADGetStationListFromContainer: the
// direct children of exactly their class, each name followed by "|", while
// "fill count < length - 1" holds; text already in the buffer is kept and
// counts against the length.
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

struct Listing {
  int (*call)(const char*, char*, int, char*, int);
  const char* worker;
};
const Listing kUsers{TXADGetUserListFromContainer, "GetUserListFromContainer"};
const Listing kStations{TXADGetStationListFromContainer, "GetStationListFromContainer"};

struct Row {
  Listing listing;
  std::string path;
  std::string on_entry;  // as long as the buffer: no zero byte in it
  int length;
  int code;
  size_t count;  // entries appended, each one of `pool`
  std::string pool;
  std::string error;  // "" when the error buffer must stay untouched
};

TEST(ContainerListingsNameTheDirectChildrenOfTheirClass, EachRowListsWhatFits) {
  txads_test::ScratchOu ou("listing");
  const std::string mixed = ou.add_ou("Mixed");
  ou.add_user("Ann Smith", ou.unique_name("anns"), mixed);
  ou.add_user("Smith\\, John", ou.unique_name("js"), mixed);
  const std::string pc = ou.unique_name("PC");
  ou.add_computer(pc, mixed);
  ou.add_group("Team", mixed, ou.unique_name("team"));
  // inetOrgPerson passes the "user" filter but is of another class.
  txads_test::modify("dn: CN=Ina Org," + mixed + "\nchangetype: add\nobjectClass: inetOrgPerson\n" +
                     "sAMAccountName: " + ou.unique_name("ina") + "\n\ndn: CN=Con Tact," + mixed +
                     "\nchangetype: add\nobjectClass: contact\n");
  const std::string sub = ou.add_ou("Sub", mixed);
  ou.add_user("Deep User", ou.unique_name("deep"), sub);
  ou.add_computer(ou.unique_name("DEEP"), sub);
  const std::string pair = ou.add_container("Pair");  // a plain container
  ou.add_user("Ann", ou.unique_name("ann"), pair);
  ou.add_user("Bob", ou.unique_name("bob"), pair);
  const std::string empty = ou.add_ou("Empty");
  ou.add_group("Lone", empty, ou.unique_name("lone"));

  const std::string two = "Ann|Bob|";
  const std::string no_such_object = "The directory holds no object with that name.\n";
  const Row rows[] = {
      {kUsers, path_of(mixed), "", 1000, 0, 2, "Ann Smith|Smith\\, John|", ""},
      {kStations, path_of(mixed), "", 1000, 0, 1, pc + "|", ""},
      {kUsers, path_of(pair), "", 10, 0, 2, two, ""},  // 7 < 9
      {kUsers, path_of(pair), "", 9, 0, 2, two, ""},   // 7 < 8: the zero byte fills it
      {kUsers, path_of(pair), "", 8, -2, 1, two, ""},  // 7 is not less than 7
      {kUsers, path_of(pair), "", 4, -2, 0, two, ""},  // 3 is not less than 3
      {kUsers, path_of(pair), "", 1, -2, 0, two, ""},
      {kUsers, path_of(pair), "old|", 13, 0, 2, two, ""},
      {kUsers, path_of(pair), "old|", 12, -2, 1, two, ""},
      {kUsers, path_of(pair), std::string(20, 'x'), 20, -2, 0, two, ""},
      {kStations, path_of(pair), "kept|", 100, -3, 0, "", ""},
      {kUsers, path_of(empty), "", 100, -3, 0, "", ""},
      {kUsers, "LDAP://", "", 100, -1, 0, "", ""},
      {kStations, path_of("OU=Missing," + ou.dn()), "", 100, -1, 0, "", no_such_object},
      {kUsers, "ldap://" + pair, "", 100, -1, 0, "", "E_ADS_BAD_PATHNAME"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.listing.worker + (" " + row.path) + " length " + std::to_string(row.length));
    txads_test::GuardedBuffer list(row.length, '\0');
    std::memcpy(list.data(), row.on_entry.data(), row.on_entry.size());
    txads_test::GuardedBuffer error(64);
    txads_test::TraceCapture trace;
    EXPECT_EQ(row.listing.call(row.path.c_str(), list.data(), list.length(), error.data(),
                               error.length()),
              row.code);
    EXPECT_EQ(trace.messages(), (std::vector<std::string>{
                                    "run function 'TXAD" + std::string(row.listing.worker) + "'.",
                                    "run function '" + std::string(row.listing.worker) + "'."}));
    const std::string text = list.text();
    EXPECT_EQ(text.substr(0, row.on_entry.size()), row.on_entry);
    EXPECT_TRUE(lists(text.substr(row.on_entry.size()), row.count, row.pool));
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
