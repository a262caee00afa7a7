// The rules that hold for all 30 exports, one table each, against the test
// domain. Calls read seeded objects; the directory changes name a container
// that does not exist, so they change nothing. Dialogs run without a display.
//   - The first trace line of a call is its entry line; TXADInit writes none.
//   - An error text is zero-filled and cut to length - 1; a last-error text
//     (current user or station without tickets) is copied by strncpy.
//   - A result text is copied by strncpy: zero padding, no terminator when
//     it fills the buffer.
//   - Nothing is written past a length, nothing at all for a length of 0 or
//     less or a null buffer.
#include <gtest/gtest.h>

#include <cstdlib>
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
  char *out, *out2, *err;
  int out_n, out2_n, err_n;
};
using Call = std::function<int(const Args&)>;

const char* c(const std::string& s) {
  return s.c_str();
}
const char* c(const char* s) {
  return s;
}

// Strings, then the error buffer.
template <class F, class... S>
Call e(F f, S... s) {
  return [=](const Args& a) { return f(c(s)..., a.err, a.err_n); };
}
// Strings, an output buffer, then the error buffer.
template <class F, class... S>
Call oe(F f, S... s) {
  return [=](const Args& a) { return f(c(s)..., a.out, a.out_n, a.err, a.err_n); };
}
Call without_tickets(Call call) {
  return [=](const Args& a) {
    txads_test::AsUser nobody("/nonexistent/ccache");
    return call(a);
  };
}

std::string p(const char* relative) {
  return txads_test::path_of(txads_test::seeded(relative));
}
const std::string kNoObject = "The directory holds no object with that name.\n";
const std::string kNoName = "The name was not found, or the caller may not see it.\n";

struct Row {
  const char* name;
  Call call;
  int result;
  std::optional<std::string> error;  // "" untouched; nullopt not checked
  bool last_error = false;           // the error text is a last-error text
};

const std::vector<Row>& every_export() {
  static const std::string none = p("OU=Nowhere"), site = p("OU=Site"), lab = p("OU=Lab,OU=Site"),
                           nogroup = p("CN=Nogroup"), empty = p("CN=Empty,OU=Groups"),
                           ann = txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff");
  // clang-format off
  static const std::vector<Row> rows = {
    {"TXADInit", [](const Args&) { return TXADInit(nullptr); }, 1, ""},
    {"TXADSetRecursFlag", [](const Args&) { return TXADSetRecursFlag(0), 0; }, 0, ""},
    {"TXADIsUserInContainer", e(TXADIsUserInContainer, "CORP\\nobody", site), -1, kNoName},
    {"TXADIsCurrentUserInContainer", without_tickets(e(TXADIsCurrentUserInContainer, site)), -1,
     "There is no logon session for the caller: no Kerberos credential cache was found.\n", true},
    {"TXADIsUserInGroup", e(TXADIsUserInGroup, "CORP\\ann", nogroup), -1, kNoObject},
    {"TXADIsCurrentUserInGroup", e(TXADIsCurrentUserInGroup, nogroup), -1, kNoName},
    {"TXADIsCurrentStationInContainer", without_tickets(e(TXADIsCurrentStationInContainer, lab)),
     -1, "The domain named does not exist or cannot be contacted.\n", true},
    {"TXADIsStationInContainer", e(TXADIsStationInContainer, "PC043", none), -1, kNoObject},
    {"TXADIsStationInContainerEx", oe(TXADIsStationInContainerEx, "PC042", none), -1, kNoObject},
    {"TXADIsStationInGroup", e(TXADIsStationInGroup, "PC042", nogroup), -1, kNoObject},
    {"TXADIsCurrentStationInGroup", e(TXADIsCurrentStationInGroup, nogroup), -1, kNoObject},
    {"TXADGetSIDFromName", [](const Args& a) { return TXADGetSIDFromName(c(ann), a.out, a.out_n); },
     1, ""},
    {"TXADGetNameFromSID", [](const Args& a) {
       return TXADGetNameFromSID("S-1-5-32-544", a.out, a.out_n, a.out2, a.out2_n); }, 1, ""},
    {"TXADGetValue", oe(TXADGetValue, "CORP\\ann", "carLicense"), -1, "E_ADS_PROPERTY_NOT_FOUND"},
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
     -1, std::nullopt},  // its error text depends on the dialog helper
  };
  // clang-format on
  return rows;
}

// One call with guarded buffers (the error buffer of the given length).
struct Buffers {
  GuardedBuffer out{512}, out2{512}, err;
  explicit Buffers(int err_n = 512) : err(err_n) {}
  int call(const Call& call, bool null_error = false) {
    const int result = call({out.data(), out2.data(), null_error ? nullptr : err.data(),
                             out.length(), out2.length(), err.length()});
    EXPECT_TRUE(out.guards_intact() && out2.guards_intact() && err.guards_intact());
    return result;
  }
};

class EveryExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { unsetenv("DISPLAY"); }
};

TEST_F(EveryExport, WritesItsEntryLineFirst) {
  for (const Row& row : every_export()) {
    txads_test::TraceCapture capture;
    Buffers().call(row.call);
    const auto lines = capture.lines();
    const std::string name = row.name;
    if (name == "TXADInit") {
      EXPECT_TRUE(lines.empty()) << lines.front().raw;
      continue;
    }
    ASSERT_FALSE(lines.empty()) << name;
    EXPECT_EQ(lines[0].message,
              name == "TXADIsUserInGroup"
                  ? "Check if user 'CORP\\ann' in group '" + p("CN=Nogroup") + "'."
                  : "run function '" + name + "'.");
    EXPECT_EQ(lines[0].level, 6) << name;
    EXPECT_EQ(lines[0].component, "Tamrix AD Checker") << name;
    EXPECT_NE(lines[0].raw.find("] Tamrix | "), std::string::npos) << "product named by TXADInit";
  }
}

TEST_F(EveryExport, FillsItsErrorBufferByTheErrorTextRules) {
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
    EXPECT_EQ(Buffers(64).call(row.call, /*null_error=*/true), row.result);
  }
}

TEST_F(EveryExport, CopiesResultTextsByStrncpy) {
  static const std::string ann = txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff"),
                           sid = txads_test::sid_of(ann), site = p("OU=Site");
  static char spare[512];
  const struct {
    std::function<int(char*, int)> call;
    int result;
    std::string text;
  } rows[] = {
      {[](char* b, int n) {
         return TXADIsStationInContainerEx("PC042", c(site), b, n, spare, 512);
       },
       1, p("OU=Lab,OU=Site")},
      {[](char* b, int n) { return TXADGetSIDFromName(c(ann), b, n); }, 1, sid},
      {[](char* b, int n) { return TXADGetNameFromSID(c(sid), b, n, spare, 512); }, 1, "CORP\\ann"},
      {[](char* b, int n) { return TXADGetNameFromSID(c(sid), spare, 512, b, n); }, 1,
       "LDAP://" + txads_test::dns_domain() + "/" + ann},
      {[](char* b, int n) { return TXADGetValue("CORP\\ann", "description", b, n, spare, 512); }, 0,
       "Developer"},
  };
  for (const auto& row : rows) {
    const int size = static_cast<int>(row.text.size());
    for (int length : {size + 3, size, size / 2, 0, -1}) {
      GuardedBuffer out(length);
      const int result = row.call(out.data(), length);
      EXPECT_TRUE(out.guards_intact()) << row.text << " " << length;
      if (length < 0) {  // the result is then the export's own choice
        EXPECT_TRUE(out.untouched()) << row.text;
        continue;
      }
      std::string expected = row.text.substr(0, static_cast<size_t>(length));
      expected.resize(static_cast<size_t>(length), '\0');
      EXPECT_EQ(out.raw(), expected) << length;
      EXPECT_EQ(result, row.result) << row.text << " " << length;
    }
    row.call(nullptr, 64);  // must not crash
  }
}

// The lists append behind what the buffer holds, by rules of their own; at
// every length they stay inside it.
TEST_F(EveryExport, KeepsItsListsInsideTheirLength) {
  static const std::string dev = p("OU=Dev,OU=Staff"), lab = p("OU=Lab,OU=Site");
  const Call lists[] = {oe(TXADGetGroupList, "CORP\\ann"), oe(TXADGetUserListFromContainer, dev),
                        oe(TXADGetStationListFromContainer, lab), [](const Args& a) {
                          return TXADGetGroups(a.out, a.out_n, a.err, a.err_n);
                        }};
  for (const Call& call : lists) {
    for (int length : {-1, 0, 1, 6, 11}) {
      GuardedBuffer list(length, '\0'), error(64);
      call({list.data(), nullptr, error.data(), length, 0, 64});
      EXPECT_TRUE(list.guards_intact() && error.guards_intact()) << length;
      EXPECT_TRUE(length > 0 || list.untouched()) << length;
    }
  }
}

// A null name counts as empty: 0 before any directory call. A null caption
// and title leave the dialog's defaults (here: no display, so -1).
TEST_F(EveryExport, TakesNullStringsWhereTheyAreAllowed) {
  GuardedBuffer out(64);
  EXPECT_EQ(TXADGetSIDFromName(nullptr, out.data(), 64), 0);
  EXPECT_EQ(TXADGetContainer(nullptr, nullptr, out.data(), 64), -1);
  EXPECT_TRUE(out.untouched() && out.guards_intact());
}

// Elsewhere a null string is bad input: a failure code, never a crash.
TEST_F(EveryExport, RefusesNullStringsElsewhere) {
  const char* n = nullptr;
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
    Buffers b(64);
    EXPECT_LT(b.call(call), 0) << "call " << &call - calls;
    EXPECT_TRUE(b.out.untouched() && b.out2.untouched()) << "call " << &call - calls;
  }
}

}  // namespace
