// The rules every export keeps, one table of all 30 against the test domain:
// the entry trace line; the error text zero-filled and cut to length - 1 (a
// last-error text by strncpy); result texts by strncpy; nothing written past
// a length, nothing for a length of 0 or less or a null buffer; null strings
// refused. Calls read seeded objects, changes name a container that does not
// exist, dialogs run without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;

struct Args {
  char *out, *err;
  int out_n, err_n;
};
using Call = std::function<int(const Args&)>;

// Strings, then the error buffer.
template <class F, class... S>
Call e(F f, S... s) {
  return [=](const Args& a) { return f(s..., a.err, a.err_n); };
}
// Strings, an output buffer, then the error buffer.
template <class F, class... S>
Call oe(F f, S... s) {
  return [=](const Args& a) { return f(s..., a.out, a.out_n, a.err, a.err_n); };
}
Call without_tickets(Call call) {
  return [=](const Args& a) {
    txads_test::AsUser nobody("/nonexistent/ccache");
    return call(a);
  };
}

// A text kept for the life of the test, and the LDAP path of a seeded DN.
const char* keep(std::string text) {
  static std::deque<std::string> kept;
  return kept.emplace_back(std::move(text)).c_str();
}
const char* p(const char* relative) {
  return keep(txads_test::path_of(txads_test::seeded(relative)));
}
const std::string kNoObject = "The directory holds no object with that name.\n";
const std::string kNoName = "The name was not found, or the caller may not see it.\n";
[[maybe_unused]] const bool kNoDisplay = unsetenv("DISPLAY") == 0;  // before any call

struct Row {
  const char* name;
  Call call;
  int result;
  std::optional<std::string> error;  // "" untouched; nullopt not checked
  std::string output = {};           // the result text in the output buffer
  bool last_error = false;           // the error text is a last-error text
};

const std::vector<Row>& every_export() {
  static const char *none = p("OU=Nowhere"), *site = p("OU=Site"), *lab = p("OU=Lab,OU=Site"),
                    *nogroup = p("CN=Nogroup"), *empty = p("CN=Empty,OU=Groups"),
                    *ann = keep(txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff")),
                    *sid = keep(txads_test::sid_of(ann));
  // clang-format off
  static const std::vector<Row> rows = {
    {"TXADInit", [](const Args&) { return TXADInit(nullptr); }, 1, ""},
    {"TXADSetRecursFlag", [](const Args&) { return TXADSetRecursFlag(0), 0; }, 0, ""},
    {"TXADIsUserInContainer", e(TXADIsUserInContainer, "CORP\\nobody", site), -1, kNoName},
    {"TXADIsCurrentUserInContainer", without_tickets(e(TXADIsCurrentUserInContainer, site)), -1,
     "There is no logon session for the caller: no Kerberos credential cache was found.\n", "",
     true},
    {"TXADIsUserInGroup", e(TXADIsUserInGroup, "CORP\\ann", nogroup), -1, kNoObject},
    {"TXADIsCurrentUserInGroup", e(TXADIsCurrentUserInGroup, nogroup), -1, kNoName},
    {"TXADIsCurrentStationInContainer", without_tickets(e(TXADIsCurrentStationInContainer, lab)),
     -1, "The domain named does not exist or cannot be contacted.\n", "", true},
    {"TXADIsStationInContainer", e(TXADIsStationInContainer, "PC043", none), -1, kNoObject},
    {"TXADIsStationInContainerEx", oe(TXADIsStationInContainerEx, "PC042", site), 1, "", lab},
    {"TXADIsStationInGroup", e(TXADIsStationInGroup, "PC042", nogroup), -1, kNoObject},
    {"TXADIsCurrentStationInGroup", e(TXADIsCurrentStationInGroup, nogroup), -1, kNoObject},
    {"TXADGetSIDFromName", [](const Args& a) { return TXADGetSIDFromName(ann, a.out, a.out_n); },
     1, "", sid},
    {"TXADGetNameFromSID", [](const Args& a) {
       char path[512]; return TXADGetNameFromSID(sid, a.out, a.out_n, path, 512); },
     1, "", "CORP\\ann"},
    {"TXADGetValue", oe(TXADGetValue, "CORP\\ann", "description"), 0, "", "Developer"},
    {"TXADGetGroupList", oe(TXADGetGroupList, "CORP\\nobody"), -1, kNoName},
    {"TXADIsContainerExist", e(TXADIsContainerExist, "LDAP://CN=x,,DC=corp"), -1,
     "E_ADS_BAD_PATHNAME"},
    {"TXADIsGroupExist", e(TXADIsGroupExist, site), -1, "80004002"},
    {"TXADGetUserListFromContainer", oe(TXADGetUserListFromContainer, none), -1, kNoObject},
    {"TXADGetStationListFromContainer", oe(TXADGetStationListFromContainer, none), -1, kNoObject},
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

// One call with guarded buffers of the given lengths, or with null ones.
struct Buffers {
  GuardedBuffer out, err;
  explicit Buffers(int err_n = 512, int out_n = 512) : out(out_n), err(err_n) {}
  int call(const Call& call, bool null_buffers = false) {
    const int result = call({null_buffers ? nullptr : out.data(),
                             null_buffers ? nullptr : err.data(), out.length(), err.length()});
    EXPECT_TRUE(out.guards_intact() && err.guards_intact());
    return result;
  }
};

TEST(EveryExport, WritesItsEntryLineFirst) {
  for (const Row& row : every_export()) {
    txads_test::TraceCapture capture;
    Buffers().call(row.call);
    const auto lines = capture.lines();
    const std::string name = row.name;
    ASSERT_EQ(lines.empty(), name == "TXADInit") << name;
    if (lines.empty()) continue;
    EXPECT_EQ(lines[0].message,
              name == "TXADIsUserInGroup"
                  ? "Check if user 'CORP\\ann' in group '" + std::string(p("CN=Nogroup")) + "'."
                  : "run function '" + name + "'.");
    EXPECT_EQ(lines[0].level, 6) << name;
    EXPECT_EQ(lines[0].component, "Tamrix AD Checker") << name;
    EXPECT_NE(lines[0].raw.find("] Tamrix | "), std::string::npos) << "product named by TXADInit";
  }
}

TEST(EveryExport, FillsItsErrorBufferByTheErrorTextRules) {
  for (const Row& row : every_export()) {
    if (!row.error) continue;
    SCOPED_TRACE(row.name);
    const std::string& text = *row.error;
    Buffers full;
    EXPECT_EQ(full.call(row.call), row.result);
    if (text.empty()) {
      EXPECT_TRUE(full.err.untouched());
      continue;
    }
    EXPECT_EQ(full.err.raw(), text + std::string(512 - text.size(), '\0'));
    const size_t half = text.size() / 2 + 1;
    Buffers cut(static_cast<int>(half));
    EXPECT_EQ(cut.call(row.call), row.result);
    EXPECT_EQ(cut.err.raw(),
              row.last_error ? text.substr(0, half) : text.substr(0, half - 1) + '\0');
    for (int length : {0, -1}) {
      Buffers none(length);
      EXPECT_EQ(none.call(row.call), row.result) << length;
      EXPECT_TRUE(none.err.untouched()) << length;
    }
    EXPECT_EQ(Buffers(64).call(row.call, /*null_buffers=*/true), row.result);
  }
}

TEST(EveryExport, CopiesItsResultTextByStrncpy) {
  for (const Row& row : every_export()) {
    const int size = static_cast<int>(row.output.size());
    for (int length : {size + 3, size, size / 2, 0, -1}) {
      if (size == 0) break;
      Buffers b(512, length);
      const int result = b.call(row.call);
      if (length < 0) {  // the result is then the export's own choice
        EXPECT_TRUE(b.out.untouched()) << row.name;
        continue;
      }
      std::string expected = row.output.substr(0, static_cast<size_t>(length));
      expected.resize(static_cast<size_t>(length), '\0');
      EXPECT_EQ(b.out.raw(), expected) << row.name << " " << length;
      EXPECT_EQ(result, row.result) << row.name << " " << length;
    }
    Buffers().call(row.call, /*null_buffers=*/true);  // must not crash
  }
}

// Lists append behind what the buffer holds, by rules of their own, inside it.
TEST(EveryExport, KeepsItsListsInsideTheirLength) {
  const Call lists[] = {
      oe(TXADGetGroupList, "CORP\\ann"), oe(TXADGetUserListFromContainer, p("OU=Dev,OU=Staff")),
      oe(TXADGetStationListFromContainer, p("OU=Lab,OU=Site")), every_export().back().call};
  for (const Call& call : lists) {  // at every length up to the whole list's and past it
    GuardedBuffer whole(512, '\0');
    call({whole.data(), nullptr, 512, 0});
    for (int length = -1; length <= static_cast<int>(whole.text().size()) + 1; ++length) {
      GuardedBuffer list(length, '\0');
      call({list.data(), nullptr, length, 0});
      EXPECT_TRUE(list.guards_intact() && (length > 0 || list.untouched())) << length;
    }
  }
}

// A null name counts as empty: 0 before any directory call. A null caption
// and title leave the dialog's defaults (here: no display, so -1).
TEST(EveryExport, TakesNullStringsWhereAllowedAndRefusesThemElsewhere) {
  const char* n = nullptr;
  GuardedBuffer out(64);
  EXPECT_EQ(TXADGetSIDFromName(nullptr, out.data(), 64), 0);
  EXPECT_EQ(TXADGetContainer(nullptr, nullptr, out.data(), 64), -1);
  EXPECT_TRUE(out.untouched() && out.guards_intact());
  // Elsewhere a null string is bad input: a failure code, never a crash.
  // clang-format off
  const Call calls[] = {
    e(TXADIsUserInContainer, n, n), e(TXADIsCurrentUserInContainer, n), e(TXADIsUserInGroup, n, n),
    e(TXADIsCurrentUserInGroup, n), e(TXADIsCurrentStationInContainer, n),
    e(TXADIsStationInContainer, n, n), oe(TXADIsStationInContainerEx, n, n),
    e(TXADIsStationInGroup, n, n), e(TXADIsCurrentStationInGroup, n), oe(TXADGetValue, n, n),
    oe(TXADGetGroupList, n), e(TXADIsContainerExist, n), e(TXADIsGroupExist, n),
    oe(TXADGetUserListFromContainer, n), oe(TXADGetStationListFromContainer, n),
    e(TXADCreateOU, n, n), e(TXADDeleteOU, n, n), e(TXADMoveOUToContainer, n, n),
    e(TXADAddStationToContainer, n, n), e(TXADDeleteStationFromContainer, n, n),
    e(TXADMoveUserToContainer, n, n, n), e(TXADMoveStationToContainer, n, n, n),
    e(TXADAddStationToGroup, n, n, n), e(TXADDeleteStationFromGroup, n, n, n)};
  // clang-format on
  for (const Call& call : calls) {
    txads_test::TraceCapture capture;
    Buffers b(64);
    EXPECT_LT(b.call(call), 0) << "call " << &call - calls;
    EXPECT_TRUE(b.out.untouched()) << "call " << &call - calls;
    EXPECT_FALSE(capture.lines().empty()) << "no entry line, call " << &call - calls;
  }
}

}  // namespace
