// When the name is not found, a group check answers with the code of the
// last walk: -1 when the last group visited could not be bound, 2 when it
// was, whatever the walks before gave; the error buffer keeps the text of
// the last failing walk, even when a later walk finds the name.
#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "frame/error_text.h"
#include "membership/member_walk.h"
#include "membership/nested_search.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;

// The server lists only groups that exist, so a sub-group that cannot be
// bound only happens when it goes between the walk that listed it and its
// own walk. This walk, the real one, makes that race certain: after the walk
// of the named group it deletes one sub-group with the directory's tools.
std::string doomed_dn;
int walk_then_delete(const char* name, const char* group, txads::OutputBuffer error,
                     txads::StringList& sub_groups) {
  const int result = txads::IsUserInGroup(name, group, error, sub_groups);
  if (!doomed_dn.empty()) txads_test::delete_tree(std::exchange(doomed_dn, {}));
  return result;
}

TEST(LastWalk, DecidesTheAnswerAndTheLastFailureTheErrorText) {
  TXADSetRecursFlag(1);
  GuardedBuffer no_such;
  txads::GetADSErrorText(txads::kNoSuchObject, {no_such.data(), no_such.length()});
  const struct {
    bool doom_last;  // else the first sub-group the walk lists
    bool ann_in_both;
    int expected;
  } cases[] = {{true, false, -1}, {false, false, 2}, {false, true, 1}};
  for (const auto& c : cases) {
    txads_test::ScratchOu ou("lastwalk");
    const std::string top = ou.add_group("Top", {}, ou.unique_name("top"));
    for (const char* sub : {"First", "Second"}) {
      const std::string dn = ou.add_group(sub, {}, ou.unique_name(sub));
      ou.add_member(top, dn);
      if (c.ann_in_both) ou.add_member(dn, txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
    }
    txads::StringList listed;
    GuardedBuffer probe;
    txads::IsUserInGroup("CORP\\bob", ("LDAP://" + top).c_str(), {probe.data(), probe.length()},
                         listed);
    ASSERT_EQ(listed.size(), 2u);
    const std::string& path = c.doom_last ? *std::next(listed.begin()) : *listed.begin();
    doomed_dn = path.substr(path.find("CN="));
    GuardedBuffer error;
    EXPECT_EQ(txads::nested_group_search(walk_then_delete, "CORP\\ann", ("LDAP://" + top).c_str(),
                                         {error.data(), error.length()}),
              c.expected);
    EXPECT_EQ(error.text(), no_such.text());
  }
  TXADSetRecursFlag(0);
}

}  // namespace
