#include "change_table.h"

#include <map>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace changes_test {
namespace {

using Two = int (*)(const char*, const char*, char*, int);
using Three = int (*)(const char*, const char*, const char*, char*, int);
const std::map<std::string, Two> kTwo = {
    {"CreateOU", TXADCreateOU},
    {"DeleteOU", TXADDeleteOU},
    {"MoveOUToContainer", TXADMoveOUToContainer},
    {"AddStationToContainer", TXADAddStationToContainer},
    {"DeleteStationFromContainer", TXADDeleteStationFromContainer}};
const std::map<std::string, Three> kThree = {
    {"MoveUserToContainer", TXADMoveUserToContainer},
    {"MoveStationToContainer", TXADMoveStationToContainer},
    {"AddStationToGroup", TXADAddStationToGroup},
    {"DeleteStationFromGroup", TXADDeleteStationFromGroup}};

// Every object in the subtree with its change stamp, by DN.
using Picture = std::map<std::string, std::string>;
Picture picture(const std::string& base) {
  Picture objects;
  for (const auto& entry :
       txads_test::search(base, "(objectClass=*)", txads_test::Scope::subtree, {"uSNChanged"}))
    objects[entry.dn] = entry.values("uSNChanged").at(0);
  return objects;
}

// What went, what came and what changed, each in DN order, without the
// last `suffix` characters of each DN.
std::string diff(const Picture& before, const Picture& after, size_t suffix) {
  std::string text;
  auto note = [&](char mark, const std::string& dn) {
    text += "; " + (mark + dn.substr(0, dn.size() - suffix));
  };
  for (const auto& [dn, stamp] : before)
    if (!after.count(dn)) note('-', dn);
  for (const auto& [dn, stamp] : after)
    if (!before.count(dn)) note('+', dn);
  for (const auto& [dn, stamp] : after)
    if (before.count(dn) && before.at(dn) != stamp) note('*', dn);
  return text.empty() ? text : text.substr(2);
}

}  // namespace

std::string ChangeTable::expand(std::string_view text) const {
  if (text == "@") return ou_.path();
  if (text.starts_with("@")) return txads_test::path_of(dn(text.substr(1)));
  std::string out;
  for (char c : text) out += c == '~' ? ou_.unique_name("") : std::string(1, c);
  return out;
}

void ChangeTable::run(const Row& row) {
  SCOPED_TRACE(row.worker + " " + row.args[0] + " " + row.args[1]);
  std::vector<std::string> a;
  for (const auto& arg : row.args) a.push_back(expand(arg));
  const auto before = picture(ou_.dn());
  txads_test::GuardedBuffer error(256);
  txads_test::TraceCapture trace;
  EXPECT_EQ(a.size() == 2 ? kTwo.at(row.worker)(a[0].c_str(), a[1].c_str(), error.data(), 256)
                          : kThree.at(row.worker)(a[0].c_str(), a[1].c_str(), a[2].c_str(),
                                                  error.data(), 256),
            row.code);
  std::vector<std::string> lines = trace.messages();
  const std::vector<std::string> entry{"run function 'TXAD" + row.worker + "'.",
                                       "run function '" + row.worker + "'."};
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 2), entry);
  const std::vector<std::string> said(lines.begin() + 2, lines.end());
  for (const std::string& line : said) EXPECT_TRUE(line.starts_with("The directory answered '"));
  if (row.said) {
    ASSERT_EQ(said.size(), row.said->size()) << ::testing::PrintToString(said);
    for (size_t i = 0; i < said.size(); ++i)
      EXPECT_NE(said[i].find((*row.said)[i]), std::string::npos) << said[i];
  }
  EXPECT_TRUE(row.error.empty() ? error.untouched() : error.text() == row.error) << error.text();
  EXPECT_TRUE(error.guards_intact());
  EXPECT_EQ(diff(before, picture(ou_.dn()), ou_.dn().size() + 1), expand(row.diff));
}

}  // namespace changes_test
