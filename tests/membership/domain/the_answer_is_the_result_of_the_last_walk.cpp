// When the name is not found, a group check answers with the code of the
// last walk: -1 when the last group visited could not be bound, 2 when it
// was, whatever the walks before it gave. The error buffer keeps the text
// of the last failing walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "checks.h"
#include "frame/error_text.h"
#include "frame/string_list.h"
#include "membership/nested_search.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

class LastWalk : public ::testing::Test {
 protected:
  void SetUp() override { TXADSetRecursFlag(1); }
  void TearDown() override { TXADSetRecursFlag(0); }
};

// The server lists only groups that exist, so a sub-group that cannot be
// bound only happens when it goes between the walk that found it and its
// own walk. This walk makes that race certain: after the real walk of the
// named group it deletes the last sub-group with the directory's tools.
// Everything else is the real walk against the real server.
std::string doomed_dn;
int walk_then_delete(const char* name, const char* group, txads::OutputBuffer error,
                     txads::StringList& sub_groups) {
  const int result = txads::IsUserInGroup(name, group, error, sub_groups);
  if (!doomed_dn.empty()) {
    modify("dn: " + doomed_dn + "\nchangetype: delete\n");
    doomed_dn.clear();
  }
  return result;
}

// The DN of the first or last of the two sub-groups that the real walk of
// `top` lists (their order is the server's choice); "" unless it lists two.
std::string listed_sub_group(const std::string& top, bool last) {
  txads::StringList listed;
  GuardedBuffer probe;
  txads::IsUserInGroup("CORP\\ann", path_of(top).c_str(), {probe.data(), probe.length()}, listed);
  if (listed.size() != 2u) return "";
  const std::string& path = last ? *std::next(listed.begin()) : *listed.begin();
  return path.substr(path.find("CN="));
}

TEST_F(LastWalk, AnUnbindableLastSubGroupTurnsTheAnswerIntoNoAnswer) {
  ScratchOu scratch;
  const std::string top = scratch.add_group("Top");
  const std::string kept = scratch.add_group("Kept");
  const std::string gone = scratch.add_group("Gone");
  scratch.add_member(top, kept);
  scratch.add_member(top, gone);
  // Doom whichever the real walk lists last.
  doomed_dn = listed_sub_group(top, true);
  ASSERT_FALSE(doomed_dn.empty());
  GuardedBuffer error;

  const int result = txads::nested_group_search(walk_then_delete, "CORP\\ann", path_of(top).c_str(),
                                                {error.data(), error.length()});
  EXPECT_EQ(result, -1);
  GuardedBuffer expected;
  txads::GetADSErrorText(txads::kNoSuchObject, {expected.data(), expected.length()});
  EXPECT_EQ(error.text(), expected.text());
}

TEST_F(LastWalk, ABoundLastSubGroupGivesNotAMemberAfterAFailedOne) {
  ScratchOu scratch;
  const std::string top = scratch.add_group("Top");
  const std::string first = scratch.add_group("First");
  const std::string second = scratch.add_group("Second");
  scratch.add_member(top, first);
  scratch.add_member(top, second);
  doomed_dn = listed_sub_group(top, false);
  ASSERT_FALSE(doomed_dn.empty());

  GuardedBuffer error;
  EXPECT_EQ(txads::nested_group_search(walk_then_delete, "CORP\\ann", path_of(top).c_str(),
                                       {error.data(), error.length()}),
            2);
  EXPECT_FALSE(error.text().empty());  // the failed walk's text stays
}

TEST_F(LastWalk, AGroupPathThatIsNoGroupGivesNoAnswerWithTheTrace) {
  const struct {
    std::string path;
    bool has_text;
  } cases[] = {
      {path_of(seeded("OU=Groups")), true},            // no group
      {path_of(seeded("CN=Nobody,OU=Groups")), true},  // no object
      {"LDAP://CN=Bad=Name,,DC=corp", true},           // no DN
      {"http://CN=Nest1,OU=Groups,DC=corp", true},     // no path at all
  };
  for (const auto& c : cases) {
    TraceCapture trace;
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", c.path.c_str(), error.data(), error.length()), -1)
        << c.path;
    EXPECT_NE(error.text(), "") << c.path;
    const auto lines = trace.lines();
    const std::string bind_line = "cannot getting AD object '" + c.path + "'.";
    EXPECT_NE(std::find(lines.begin(), lines.end(), bind_line), lines.end()) << c.path;
  }
}

TEST_F(LastWalk, AnErrorTextOfAnEarlierWalkStaysWhenALaterWalkFinds) {
  ScratchOu scratch;
  const std::string top = scratch.add_group("Top");
  const std::string a = scratch.add_group("A");
  const std::string b = scratch.add_group("B");
  scratch.add_member(top, a);
  scratch.add_member(top, b);
  scratch.add_member(a, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
  scratch.add_member(b, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
  doomed_dn = listed_sub_group(top, false);
  ASSERT_FALSE(doomed_dn.empty());
  GuardedBuffer error;
  EXPECT_EQ(txads::nested_group_search(walk_then_delete, "CORP\\ann", path_of(top).c_str(),
                                       {error.data(), error.length()}),
            1);
  GuardedBuffer expected;
  txads::GetADSErrorText(txads::kNoSuchObject, {expected.data(), expected.length()});
  EXPECT_EQ(error.text(), expected.text());
}

}  // namespace
}  // namespace membership_test
