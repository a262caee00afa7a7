// A name or dn holding a zero byte, escaped ("\00") or raw, is refused as
// invalid dn syntax before it reaches the server, which would read it only up
// to that byte and answer for another object ("OU=Lab\00x" for "OU=Lab"). A
// name the server answers for under another dn ("OU=Lab\20" for "OU=Lab") is
// no such object. One row per export and argument: the result and error text,
// and afterwards the scratch OU holds exactly what it held before.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "directory/ads.h"
#include "frame/error_text.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::seeded;

std::string text_of(txads::Status status) {
  char text[256] = {};
  txads::GetADSErrorText(status, {text, sizeof text});
  return text;
}

// Every object below the scratch OU with its members.
std::vector<std::string> snapshot(const std::string& dn) {
  std::vector<std::string> held;
  for (const auto& entry :
       txads_test::search(dn, "(objectClass=*)", txads_test::Scope::subtree, {"member"})) {
    held.push_back(entry.dn);
    for (const std::string& member : entry.values("member")) held.push_back(" " + member);
  }
  std::sort(held.begin(), held.end());
  return held;
}

using Call = std::function<int(char*, int)>;
// An export called with these strings, then the error buffer (for
// TXADGetSIDFromName its SID buffer), or with an output buffer before it.
template <class F, class... S>
Call e(F f, S... s) {
  return [f, ... t = std::string(s)](char* error, int n) { return f(t.c_str()..., error, n); };
}
template <class F, class... S>
Call oe(F f, S... s) {
  return [f, ... t = std::string(s)](char* error, int n) {
    char out[300] = {};
    return f(t.c_str()..., out, 300, error, n);
  };
}

TEST(NamesWithAZeroByte, ReachNoObjectAndChangeNothing) {
  txads_test::ScratchOu ou{"nul"};
  const std::string pc = ou.unique_name("pcz"), spare = ou.unique_name("pcy");
  const std::string unit = ou.add_ou("Unit"), dest = "LDAP://" + ou.add_ou("Dest");
  const std::string group = ou.add_group("Grp", {}, ou.unique_name("grp"));
  ou.add_user("Una", ou.unique_name("una"));
  ou.add_member(group, ou.add_computer(pc));
  ou.add_computer(spare);
  // A path with `tail` after the first RDN of the dn.
  auto p = [](std::string dn, const std::string& tail = {}) {
    return "LDAP://" + dn.insert(dn.find(','), tail);
  };
  const std::string top = ou.path(), nul = "\\00x", lab = seeded("OU=Lab,OU=Site"),
                    users = "CN=Users," + txads_test::base_dn(), grp = p(group),
                    members = seeded("CN=Lab Members,OU=Groups"), staff = p(seeded("OU=Staff")),
                    ann = seeded("CN=Ann Archer,OU=Dev,OU=Staff"), ann_nul = "CORP\\ann" + nul;
  const std::string dn_text = text_of(txads::kInvalidDnSyntax),
                    no_object = text_of(txads::kNoSuchObject);
  const struct {
    const char* name;
    Call call;
    int result;
    std::string error;  // "" untouched
  } rows[] = {
      // clang-format off
      {"IsUserInContainer", e(TXADIsUserInContainer, ann_nul, staff), -1, dn_text},
      {"IsCurrentUserInContainer", e(TXADIsCurrentUserInContainer, p(users, nul)), 2, ""},
      {"IsUserInGroup", e(TXADIsUserInGroup, "CORP\\ann", p(members, nul)), -1, dn_text},
      {"IsUserInGroup user", e(TXADIsUserInGroup, ann_nul, p(members)), 2, ""},
      {"IsCurrentUserInGroup", e(TXADIsCurrentUserInGroup, p("CN=Domain Admins," + users, nul)), -1, dn_text},
      {"IsCurrentStationInContainer", e(TXADIsCurrentStationInContainer, p(lab, nul)), 2, ""},
      {"IsStationInContainer", e(TXADIsStationInContainer, "PC042" + nul, p(lab)), -1, dn_text},
      {"IsStationInContainer path", e(TXADIsStationInContainer, "PC042", p(lab, nul)), -1, dn_text},
      {"IsStationInContainerEx", oe(TXADIsStationInContainerEx, "PC042", p(seeded("OU=Site"), nul)), -1, dn_text},
      {"IsStationInGroup", e(TXADIsStationInGroup, "PC042", p(members, nul)), -1, dn_text},
      {"IsCurrentStationInGroup", e(TXADIsCurrentStationInGroup, p(members, nul)), -1, dn_text},
      {"GetSIDFromName", e(TXADGetSIDFromName, p(ann, nul)), 0, ""},
      {"GetValue", [&](char* error, int n) { char v[64]; return TXADGetValue(ann_nul.c_str(), "description", v, 64, error, n); }, -1, dn_text},
      {"GetGroupList", oe(TXADGetGroupList, ann_nul), -1, dn_text},
      {"IsContainerExist", e(TXADIsContainerExist, p(lab, nul)), -1, dn_text},
      {"IsGroupExist", e(TXADIsGroupExist, p(members, nul)), -1, dn_text},
      {"GetUserListFromContainer", oe(TXADGetUserListFromContainer, p(seeded("OU=Dev,OU=Staff"), nul)), -1, dn_text},
      {"GetStationListFromContainer", oe(TXADGetStationListFromContainer, p(lab, nul)), -1, dn_text},
      {"CreateOU parent", e(TXADCreateOU, p(ou.dn(), nul), "New"), -1, dn_text},
      {"CreateOU", e(TXADCreateOU, top, "Unit" + nul), -1, dn_text},
      {"DeleteOU", e(TXADDeleteOU, top, "Unit" + nul), 0, ""},  // no such unit: nothing to delete
      {"MoveOUToContainer", e(TXADMoveOUToContainer, p(unit, nul), dest), -1, dn_text},
      {"AddStationToContainer", e(TXADAddStationToContainer, "pcn" + nul, top), -1, dn_text},
      {"DeleteStationFromContainer", e(TXADDeleteStationFromContainer, pc + nul, top), -1, dn_text},
      {"DeleteStationFromContainer path", e(TXADDeleteStationFromContainer, pc, p(ou.dn(), nul)), -1, dn_text},
      {"MoveUserToContainer", e(TXADMoveUserToContainer, "Una" + nul, top, dest), -1, dn_text},
      {"MoveStationToContainer", e(TXADMoveStationToContainer, pc + nul, top, dest), -1, dn_text},
      {"AddStationToGroup", e(TXADAddStationToGroup, spare + nul, top, grp), -1, dn_text},
      {"DeleteStationFromGroup", e(TXADDeleteStationFromGroup, pc + nul, top, grp), -1, dn_text},
      // The server answers for "OU=Lab" when asked for "OU=Lab\20".
      {"IsContainerExist answered", e(TXADIsContainerExist, p(lab, "\\20")), -3, ""},
      {"IsStationInContainer answered", e(TXADIsStationInContainer, "PC042\\20", p(lab)), 2, no_object},
      {"GetSIDFromName answered", e(TXADGetSIDFromName, p(ann, "\\20")), 0, ""},
      {"DeleteStationFromContainer answered", e(TXADDeleteStationFromContainer, pc + "\\20", top), -1, no_object},
      {"MoveOUToContainer answered", e(TXADMoveOUToContainer, p(unit, "\\20"), dest), -1, no_object},
      // clang-format on
  };
  std::vector<std::string> before = snapshot(ou.dn());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    txads_test::GuardedBuffer error(256);
    EXPECT_EQ(row.call(error.data(), 256), row.result);
    EXPECT_EQ(error.untouched() ? "" : error.text(), row.error);
    const std::vector<std::string> after = snapshot(ou.dn());
    EXPECT_EQ(after, before);
    before = after;  // each row judged on its own
  }
}

// A zero byte inside a name the layer is handed with its length.
TEST(NamesWithAZeroByte, AreRefusedByTheDirectoryLayerWhenRaw) {
  using namespace std::string_literals;
  namespace d = txads::directory;
  const std::string lab = "LDAP://OU=Lab\0x,"s + seeded("OU=Site");
  d::Container container, other;
  ASSERT_TRUE(d::ads_get_object(txads_test::path_of(seeded("OU=Lab,OU=Site")), container).ok());
  d::Object child;
  d::NameTranslate translate;
  ASSERT_TRUE(translate.init(d::ADS_NAME_INITTYPE_GC, "").ok());
  const std::function<txads::Status()> calls[] = {
      [&] { return d::ads_get_object(lab, other); },
      [&] { return container.get_object("computer", "CN=PC042\0x"s, child); },
      [&] { return translate.set(d::NameType::nt4, "CORP\\ann\0x"s); },
      [&] {
        return translate.set(d::NameType::rfc1779,
                             "CN=Ann Archer\0x,"s + seeded("OU=Dev,OU=Staff"));
      },
  };
  for (const auto& call : calls) EXPECT_EQ(call(), txads::kInvalidDnSyntax);
}

}  // namespace
