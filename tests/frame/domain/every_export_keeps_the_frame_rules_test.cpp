// The rules every export keeps, one table of all 30 against the test domain: the
// entry trace line; the error text zero-filled and cut to length - 1 (a last-error
// text by strncpy); result texts by strncpy; nothing written past a length, nothing
// for a length of 0 or less or a null buffer; null strings refused. Calls read seeded
// objects, changes name a container that does not exist, dialogs run without a display,
// calls without a ticket run under a cache holding a principal alone.
// Names with a zero byte, one row per export and name, reach no object.
#include <gtest/gtest.h>
#include <krb5.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "directory/ads.h"
#include "frame/error_text.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

struct Args {
  char *out, *err;
  int out_n, err_n;
};
// A call of one export (its strings copied) and, where it takes strings, with all null.
struct Call {
  std::function<int(const Args&)> run, with_nulls = {};
  template <class F>
  Call(F f, std::function<int(const Args&)> nulls = {}) : run(f), with_nulls(std::move(nulls)) {}
};

// Strings, then the error buffer.
template <class F, class... S>
Call e(F f, S... s) {
  return {[f, ... t = std::string(s)](const Args& a) { return f(t.c_str()..., a.err, a.err_n); },
          [=](const Args& a) { return f(((void)s, nullptr)..., a.err, a.err_n); }};
}
// Strings, an output buffer, then the error buffer.
template <class F, class... S>
Call oe(F f, S... s) {
  return {[f, ... t = std::string(s)](const Args& a) {
            return f(t.c_str()..., a.out, a.out_n, a.err, a.err_n);
          },
          [=](const Args& a) { return f(((void)s, nullptr)..., a.out, a.out_n, a.err, a.err_n); }};
}
// Under a cache that names a principal and holds no ticket (what kinit
// leaves once the tickets are gone): no logon session, as without a cache.
Call without_tickets(Call call) {
  static const std::string cache = [] {  // in the test domain's cache directory
    const std::string file = txads_test::ccache_of("ticketless-" + std::to_string(getpid()));
    krb5_context c = nullptr;
    krb5_ccache cc = nullptr;
    krb5_principal ann = nullptr;
    krb5_init_context(&c);
    krb5_cc_resolve(c, ("FILE:" + file).c_str(), &cc);
    krb5_parse_name(c, "ann", &ann);
    krb5_cc_initialize(c, cc, ann);  // should any step fail, the rows fail with another text
    krb5_free_principal(c, ann);
    krb5_cc_close(c, cc);
    krb5_free_context(c);
    return file;
  }();
  call.run = [run = call.run](const Args& a) {
    txads_test::AsUser nobody(cache);
    return run(a);
  };
  return call;
}

// The LDAP path of a seeded DN.
std::string p(const char* relative) {
  return txads_test::path_of(txads_test::seeded(relative));
}
const std::string kNoObject = "The directory holds no object with that name.\n";
const std::string kNoLogonSession =
    "There is no logon session for the caller: no Kerberos credential cache was found.\n";
const std::string kNoName = "The name was not found, or the caller may not see it.\n";
[[maybe_unused]] const bool kNoDisplay = unsetenv("DISPLAY") == 0;  // before any call

struct Row {
  std::string name;
  Call call;
  int result;
  std::optional<std::string> error;  // "" untouched; nullopt not checked
  std::string output = {};           // the result text in the output buffer
  bool last_error = false;           // the error text is a last-error text
};

const std::vector<Row>& every_export() {
  static const std::string none = p("OU=Nowhere"), site = p("OU=Site"), lab = p("OU=Lab,OU=Site"),
                           nogroup = p("CN=Nogroup"), empty = p("CN=Empty,OU=Groups"),
                           ann = txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff"),
                           sid = txads_test::sid_of(ann);
  // clang-format off
  static const std::vector<Row> rows = {
    {"TXADInit", [](const Args&) { return TXADInit(nullptr); }, 1, ""},
    {"TXADSetRecursFlag", [](const Args&) { return TXADSetRecursFlag(0), 0; }, 0, ""},
    {"TXADIsUserInContainer", e(TXADIsUserInContainer, "CORP\\nobody", site), -1, kNoName},
    {"TXADIsCurrentUserInContainer", without_tickets(e(TXADIsCurrentUserInContainer, site)), -1,
     kNoLogonSession, "", true},
    {"TXADIsUserInGroup", e(TXADIsUserInGroup, "CORP\\ann", nogroup), -1, kNoObject},
    {"TXADIsCurrentUserInGroup", e(TXADIsCurrentUserInGroup, nogroup), -1, kNoName},
    {"TXADIsCurrentStationInContainer", without_tickets(e(TXADIsCurrentStationInContainer, lab)),
     -1, "The domain named does not exist or cannot be contacted.\n", "", true},
    {"TXADIsStationInContainer", e(TXADIsStationInContainer, "PC043", none), -1, kNoObject},
    {"TXADIsStationInContainerEx", oe(TXADIsStationInContainerEx, "PC042", site), 1, "", lab},
    {"TXADIsStationInGroup", e(TXADIsStationInGroup, "PC042", nogroup), -1, kNoObject},
    {"TXADIsCurrentStationInGroup", e(TXADIsCurrentStationInGroup, nogroup), -1, kNoObject},
    {"TXADGetSIDFromName", [](const Args& a) { return TXADGetSIDFromName(ann.c_str(), a.out, a.out_n); },
     1, "", sid},
    {"TXADGetNameFromSID", [](const Args& a) {
       char path[512]; return TXADGetNameFromSID(sid.c_str(), a.out, a.out_n, path, 512); },
     1, "", "CORP\\ann"},
    {"TXADGetValue", oe(TXADGetValue, "CORP\\ann", "description"), 0, "", "Developer"},
    {"TXADGetGroupList", oe(TXADGetGroupList, "CORP\\nobody"), -1, kNoName},
    {"TXADIsContainerExist", e(TXADIsContainerExist, "LDAP://CN=x,,DC=corp"), -1,
     "E_ADS_BAD_PATHNAME"},
    {"TXADIsGroupExist", e(TXADIsGroupExist, site), -1, "80004002"},
    {"TXADGetUserListFromContainer", oe(TXADGetUserListFromContainer, none), -1, kNoObject},
    {"TXADGetStationListFromContainer", without_tickets(oe(TXADGetStationListFromContainer, site)),
     -1, kNoLogonSession},
    {"TXADCreateOU", e(TXADCreateOU, none, "x"), -1, kNoObject},
    {"TXADDeleteOU", e(TXADDeleteOU, none, "x"), -1, kNoObject},
    {"TXADMoveOUToContainer", e(TXADMoveOUToContainer, none, site), -1, kNoObject},
    {"TXADAddStationToContainer", e(TXADAddStationToContainer, "PCX", none), -1, kNoObject},
    {"TXADDeleteStationFromContainer", e(TXADDeleteStationFromContainer, "PCX", none), -1,
     kNoObject},
    {"TXADMoveUserToContainer", e(TXADMoveUserToContainer, "Ann", none, site), -1, kNoObject},
    {"TXADMoveStationToContainer", e(TXADMoveStationToContainer, "PCX", none, site), -1, kNoObject},
    {"TXADAddStationToGroup", e(TXADAddStationToGroup, "PCX", none, empty), -1, kNoObject},
    {"TXADDeleteStationFromGroup", e(TXADDeleteStationFromGroup, "PCX", none, empty), -1,
     kNoObject},
    {"TXADGetContainer", [](const Args& a) { return TXADGetContainer("C", "T", a.out, a.out_n); },
     -1, ""},
    {"TXADGetGroups", [](const Args& a) { return TXADGetGroups(a.out, a.out_n, a.err, a.err_n); },
     -1, std::nullopt},  // the last row; its error text depends on the dialog helper
  };
  // clang-format on
  return rows;
}

// One call with guarded buffers of the given lengths.
struct Buffers {
  txads_test::GuardedBuffer out, err;
  explicit Buffers(int err_n = 512, int out_n = 512) : out(out_n), err(err_n) {}
  int call(const std::function<int(const Args&)>& call) {
    const int result = call({out.data(), err.data(), out.length(), err.length()});
    EXPECT_TRUE(out.guards_intact() && err.guards_intact());
    return result;
  }
};

TEST(EveryExport, KeepsTheFrameRules) {
  for (const Row& row : every_export()) {
    SCOPED_TRACE(row.name);
    txads_test::TraceCapture capture;
    Buffers full;
    EXPECT_EQ(full.call(row.call.run), row.result);
    const std::string entry = row.name == "TXADIsUserInGroup"
                                  ? "Check if user 'CORP\\ann' in group '" + p("CN=Nogroup") + "'."
                                  : "run function '" + row.name + "'.";
    const auto lines = capture.lines();  // the entry line first, from all but TXADInit
    ASSERT_EQ(lines.empty(), row.name == "TXADInit");
    EXPECT_TRUE(lines.empty() ||
                lines[0].raw.ends_with("] Tamrix | Tamrix AD Checker | 6 | " + entry))
        << lines.at(0).raw;
    const std::string text = row.error.value_or("");
    EXPECT_TRUE(!row.error ||
                (text.empty() ? full.err.untouched()
                              : full.err.raw() == text + std::string(512 - text.size(), '\0')));
    if (!text.empty()) {  // cut to length - 1, zero-filled; a last-error text cut by strncpy
      const size_t half = text.size() / 2 + 1;
      Buffers cut(static_cast<int>(half));
      EXPECT_EQ(cut.call(row.call.run), row.result);
      EXPECT_EQ(cut.err.raw(),
                row.last_error ? text.substr(0, half) : text.substr(0, half - 1) + '\0');
    }
    const int size = static_cast<int>(row.output.size());   // the result text cut by strncpy
    for (int length : {size + 3, size, size / 2, 0, -1}) {  // both buffers this long
      Buffers b(length, length);
      const int result = b.call(row.call.run);
      EXPECT_TRUE(length > 0 || (b.err.untouched() && b.out.untouched())) << length;
      if (length < 0 && size > 0) continue;  // the result is then the export's own choice
      EXPECT_EQ(result, row.result) << length;
      const std::string zero_filled = row.output + std::string(512, '\0');
      EXPECT_TRUE(size == 0 || b.out.raw() == zero_filled.substr(0, size_t(length))) << length;
    }
    const int with_null_buffers = row.call.run({nullptr, nullptr, 64, 64});
    EXPECT_TRUE(size > 0 || with_null_buffers == row.result);  // else the export's own choice
    if (row.call.with_nulls) {  // a null string: a failure code after the entry line
      txads_test::TraceCapture null_capture;
      Buffers b(64);
      EXPECT_TRUE(b.call(row.call.with_nulls) < 0 && b.out.untouched());
      EXPECT_FALSE(null_capture.lines().empty()) << "no entry line";
    }
  }
}

// Lists append behind what the buffer holds, by rules of their own, inside it.
TEST(EveryExport, KeepsItsListsInsideTheirLength) {
  const Call lists[] = {
      oe(TXADGetGroupList, "CORP\\ann"), oe(TXADGetUserListFromContainer, p("OU=Dev,OU=Staff")),
      oe(TXADGetStationListFromContainer, p("OU=Lab,OU=Site")), every_export().back().call};
  for (const Call& call : lists) {  // at every length up to the whole list's and past it
    txads_test::GuardedBuffer whole(512, '\0');
    call.run({whole.data(), nullptr, 512, 0});
    for (int length = -1; length <= static_cast<int>(whole.text().size()) + 1; ++length) {
      txads_test::GuardedBuffer list(length, '\0');
      call.run({list.data(), nullptr, length, 0});
      EXPECT_TRUE(list.guards_intact() && (length > 0 || list.untouched())) << length;
    }
  }
}

// A null name counts as empty: 0 before any directory call; a null caption
// and title leave the dialog's defaults (here: no display, so -1).
TEST(EveryExport, TakesNullStringsWhereAllowedAndRefusesThemElsewhere) {
  txads_test::GuardedBuffer out(64);
  EXPECT_EQ(TXADGetSIDFromName(nullptr, out.data(), 64), 0);
  EXPECT_EQ(TXADGetContainer(nullptr, nullptr, out.data(), 64), -1);
  EXPECT_TRUE(out.untouched() && out.guards_intact());
}

std::string text_of(txads::Status status) {
  char text[256] = {};
  txads::GetADSErrorText(status, {text, sizeof text});
  return text;
}

// Every object below `dn`, each followed by its members.
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

// A zero byte, escaped ("\00"), is invalid dn syntax before anything reaches
// the server, which reads a name only up to it ("OU=Lab\00x" as "OU=Lab"). A
// name the server answers for under another dn ("OU=Lab\20" for "OU=Lab") is
// no such object. After each row the scratch OU holds what it held before.
TEST(EveryExport, ReachesNoObjectThroughANameWithAZeroByte) {
  txads_test::ScratchOu ou{"nul"};
  const std::string pc = ou.unique_name("pcz"), spare = ou.unique_name("pcy"), top = ou.path();
  const std::string scratch = "," + ou.dn(), dest = "LDAP://" + ou.add_ou("Dest");
  const std::string group = ou.add_group("Grp", {}, ou.unique_name("grp")), grp = "LDAP://" + group;
  ou.add_ou("Unit");
  ou.add_user("Una", ou.unique_name("una"));
  ou.add_member(group, ou.add_computer(pc));
  ou.add_computer(spare);
  const std::string nul = "\\00x", ann = "CORP\\ann" + nul, dn = text_of(txads::kInvalidDnSyntax),
                    lab = p("OU=Lab\\00x,OU=Site"), members = p("CN=Lab Members\\00x,OU=Groups");
  const struct {
    const char* name;
    Call call;
    int result;
    std::string error;  // "" untouched
  } rows[] = {
      // clang-format off
      {"IsUserInContainer", e(TXADIsUserInContainer, ann, p("OU=Staff")), -1, dn},
      {"IsCurrentUserInContainer", e(TXADIsCurrentUserInContainer, p("CN=Users\\00x")), 2, ""},
      {"IsUserInGroup", e(TXADIsUserInGroup, "CORP\\ann", members), -1, dn},
      {"IsCurrentUserInGroup", e(TXADIsCurrentUserInGroup, p("CN=Domain Admins\\00x,CN=Users")), -1, dn},
      {"IsCurrentStationInContainer", e(TXADIsCurrentStationInContainer, lab), 2, ""},
      {"IsStationInContainer", e(TXADIsStationInContainer, "PC042" + nul, p("OU=Lab,OU=Site")), -1, dn},
      {"IsStationInContainerEx", oe(TXADIsStationInContainerEx, "PC042", p("OU=Site\\00x")), -1, dn},
      {"IsStationInGroup", e(TXADIsStationInGroup, "PC042", members), -1, dn},
      {"IsCurrentStationInGroup", e(TXADIsCurrentStationInGroup, members), -1, dn},
      {"GetSIDFromName", e(TXADGetSIDFromName, p("CN=Ann Archer\\00x,OU=Dev,OU=Staff")), 0, ""},
      {"GetValue", oe(TXADGetValue, ann, "description"), -1, dn},
      {"GetGroupList", oe(TXADGetGroupList, ann), -1, dn},
      {"IsContainerExist", e(TXADIsContainerExist, lab), -1, dn},
      {"IsGroupExist", e(TXADIsGroupExist, members), -1, dn},
      {"GetUserListFromContainer", oe(TXADGetUserListFromContainer, p("OU=Dev\\00x,OU=Staff")), -1, dn},
      {"GetStationListFromContainer", oe(TXADGetStationListFromContainer, lab), -1, dn},
      {"CreateOU", e(TXADCreateOU, "LDAP://" + std::string(ou.dn()).insert(ou.dn().find(','), nul), "New"), -1, dn},
      {"CreateOU unit", e(TXADCreateOU, top, "Unit" + nul), -1, dn},
      {"DeleteOU", e(TXADDeleteOU, top, "Unit" + nul), 0, ""},  // no such unit: nothing to delete
      {"MoveOUToContainer", e(TXADMoveOUToContainer, "LDAP://OU=Unit" + nul + scratch, dest), -1, dn},
      {"AddStationToContainer", e(TXADAddStationToContainer, "pcn" + nul, top), -1, dn},
      {"DeleteStationFromContainer", e(TXADDeleteStationFromContainer, pc + nul, top), -1, dn},
      {"MoveUserToContainer", e(TXADMoveUserToContainer, "Una" + nul, top, dest), -1, dn},
      {"MoveStationToContainer", e(TXADMoveStationToContainer, pc + nul, top, dest), -1, dn},
      {"AddStationToGroup", e(TXADAddStationToGroup, spare + nul, top, grp), -1, dn},
      {"DeleteStationFromGroup", e(TXADDeleteStationFromGroup, pc + nul, top, grp), -1, dn},
      // The server answers for "OU=Lab" when asked for "OU=Lab\20".
      {"IsContainerExist answered", e(TXADIsContainerExist, p("OU=Lab\\20,OU=Site")), -3, ""},
      {"GetSIDFromName answered", e(TXADGetSIDFromName, p("CN=Ann Archer\\20,OU=Dev,OU=Staff")), 0, ""},
      {"DeleteStationFromContainer answered", e(TXADDeleteStationFromContainer, pc + "\\20", top), -1, kNoObject},
      {"MoveOUToContainer answered", e(TXADMoveOUToContainer, "LDAP://OU=Unit\\20" + scratch, dest), -1, kNoObject},
      // clang-format on
  };
  std::vector<std::string> before = snapshot(ou.dn());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Buffers b(256, 256);  // the SID buffer of TXADGetSIDFromName is the error buffer
    EXPECT_EQ(b.call(row.call.run), row.result);
    EXPECT_EQ(b.err.untouched() ? "" : b.err.text(), row.error);
    const std::vector<std::string> after = snapshot(ou.dn());
    EXPECT_EQ(after, before);
    before = after;  // each row judged on the directory as it found it
  }
}

// A zero byte inside a name the directory layer is handed with its length.
TEST(EveryExport, ReachesNoObjectThroughANameWithARawZeroByte) {
  using namespace std::string_literals;
  namespace d = txads::directory;
  d::Container container, other;
  ASSERT_TRUE(d::ads_get_object(p("OU=Lab,OU=Site"), container).ok());
  d::Object child;
  d::NameTranslate translate;
  ASSERT_TRUE(translate.init(d::ADS_NAME_INITTYPE_GC, "").ok());
  const std::function<txads::Status()> calls[] = {
      [&] {
        return d::ads_get_object("LDAP://OU=Lab\0x,"s + txads_test::seeded("OU=Site"), other);
      },
      [&] { return container.get_object("computer", "CN=PC042\0x"s, child); },
      [&] { return translate.set(d::NameType::nt4, "CORP\\ann\0x"s); },
      [&] {
        return translate.set(d::NameType::rfc1779, "CN=Ann Archer\0x,"s + txads_test::base_dn());
      },
  };
  for (const auto& call : calls) EXPECT_EQ(call(), txads::kInvalidDnSyntax);
}

}  // namespace
