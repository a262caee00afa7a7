// Objects whose names hold what a dn or a path must escape ("/", "+", ",",
// "#", '"', "\", spaces at either end) or an apostrophe are reached like any
// other: the station walk enters an OU so named, the nested group search goes
// through a group so named, and listings and translations give names and
// paths as the grammar writes them (escapes kept, a "/" in a path as "\/").
#include <gtest/gtest.h>

#include <string>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;

// "LDAP://" + the dn, every "/" written "\/".
std::string path_of(const std::string& dn, const std::string& server = "") {
  std::string path = "LDAP://" + (server.empty() ? "" : server + "/");
  for (char c : dn) path += c == '/' ? std::string("\\/") : std::string(1, c);
  return path;
}

TEST(NamesAPathMustEscape, AreWalkedListedAndTranslated) {
  txads_test::ScratchOu ou{"escape"};
  const std::string top = path_of(ou.add_group("Top", {}, ou.unique_name("top")));
  TXADSetRecursFlag(1);
  // Each name as the server writes it in a dn.
  const std::string names[] = {"Sales/East",    "a\\+b", "a\\,b",   "\\#hash", "q\\\"uote",
                               "back\\\\slash", "it's",  "\\ lead", "trail\\ "};
  for (size_t i = 0; i < std::size(names); ++i) {
    const std::string& name = names[i];
    SCOPED_TRACE(name);
    const std::string tag = std::to_string(i), pc = ou.unique_name("pc" + tag),
                      user = ou.unique_name("u" + tag), unit = ou.add_ou(name);
    const std::string group = ou.add_group(name, {}, ou.unique_name("g" + tag));
    ou.add_member(group, ou.add_user(name, user, unit));
    ou.add_member(group, ou.add_computer(pc, unit));
    ou.add_member(top.substr(7), group);

    GuardedBuffer found(300), error(128), list(128, '\0'), account(64), path(300), sid(80);
    EXPECT_EQ(TXADIsStationInContainerEx(pc.c_str(), ou.path().c_str(), found.data(), 300,
                                         error.data(), 128),
              1);
    EXPECT_EQ(found.text(), path_of(unit));
    EXPECT_EQ(TXADIsUserInGroup(("CORP\\" + user).c_str(), top.c_str(), error.data(), 128), 1);
    EXPECT_EQ(TXADIsStationInGroup(pc.c_str(), top.c_str(), error.data(), 128), 1);
    EXPECT_TRUE(error.untouched()) << error.text();
    EXPECT_EQ(
        TXADGetUserListFromContainer(path_of(unit).c_str(), list.data(), 128, error.data(), 128),
        0);
    EXPECT_EQ(list.text(), name + "|");

    const std::string group_sid = txads_test::sid_of(group);
    EXPECT_EQ(TXADGetNameFromSID(group_sid.c_str(), account.data(), 64, path.data(), 300), 1);
    EXPECT_EQ(path.text(), path_of(group, txads_test::dns_domain()));
    EXPECT_EQ(TXADGetSIDFromName(path.text().c_str(), sid.data(), 80), 1);
    EXPECT_EQ(sid.text(), group_sid);
  }
  TXADSetRecursFlag(0);
}

}  // namespace
