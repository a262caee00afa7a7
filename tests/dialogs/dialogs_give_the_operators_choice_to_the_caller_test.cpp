// The real dialogs on Xvfb over the test domain, played with keys: the browser
// gives the chosen container's path (hidden system containers included), the
// picker the chosen security group's path (distribution groups are not
// offered), or -2 when that path does not fit the list buffer; cancelling
// gives 2 and -1 with the buffers untouched; the picker stays above the window
// given to TXADInit, the browser never has an owner; no helper outlives a call.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace txads_test {
namespace {

constexpr const char* kPicker = "Select Group";

struct Row {
  const char* name;
  const char* window;  // the browser's caption (nullptr: its own), or kPicker
  bool owned;          // TXADInit was given the host's window first
  std::vector<std::string> steps;
  int length;  // of the path or list buffer
  int code;
  std::string chosen;  // "": the buffer stays untouched
};

// "LDAP://<the controller's host name>/<dn>", as the dialogs give a path.
std::string dialog_path(const std::string& dn) {
  std::string host = std::getenv("LDAPURI");
  host.erase(0, host.find("://") + 3);
  return "LDAP://" + host.substr(0, host.find_first_of(":/")) + "/" + dn;
}

TEST(Dialogs, GiveTheOperatorsChoiceToTheCaller) {
  ASSERT_NE(x_display(), "") << "Xvfb did not start";
  ScratchOu scratch("dialogs");
  const std::string unit = scratch.dn().substr(3, scratch.dn().find(',') - 3);
  const std::string inner = scratch.unique_name("Inner");
  scratch.add_ou(inner);
  const std::string global = scratch.unique_name("global"), local = scratch.unique_name("local"),
                    universal = scratch.unique_name("univ"), dist = scratch.unique_name("dist");
  auto group = [&](const std::string& name, const char* type) {
    return "dn: CN=" + name + "," + scratch.dn() + "\nchangetype: add\nobjectClass: group\n" +
           "sAMAccountName: " + name + "\ngroupType: " + type + "\n\n";
  };
  modify(group(global, "-2147483646") + group(local, "-2147483644") +
         group(universal, "-2147483640") + group(dist, "2"));
  auto in_scratch = [&](const std::string& rdn) { return dialog_path(rdn + "," + scratch.dn()); };
  const std::string chosen_global = in_scratch("CN=" + global);
  const int fit = static_cast<int>(chosen_global.size());
  // clang-format off
  const Row rows[] = {
    {"a unit in an opened branch", "Move", true, {"type:" + unit, "Escape", "plus", "type:" + inner, "Return"}, 512, 0, in_scratch("OU=" + inner)},
    {"a hidden system container", "Hidden", false, {"type:System", "Return"}, 512, 0, dialog_path(seeded("CN=System"))},
    {"the domain, under the dialog's own caption", nullptr, false, {"Return"}, 512, 0, dialog_path(base_dn())},
    {"browser cancelled", "Cancel me", true, {"Escape"}, 64, 2, ""},
    {"a global group", kPicker, true, {"type:" + global, "Return"}, 512, 0, chosen_global},
    {"a domain-local group", kPicker, false, {"type:" + local, "Return"}, 512, 0, in_scratch("CN=" + local)},
    {"a universal group", kPicker, false, {"type:" + universal, "Return"}, 512, 0, in_scratch("CN=" + universal)},
    {"no distribution group", kPicker, false, {"type:" + dist, "wait", "Return", "wait", "Return", "Escape"}, 512, -1, ""},
    {"picker cancelled", kPicker, true, {"type:" + global, "Escape"}, 64, -1, ""},
    {"a path as long as the list buffer", kPicker, false, {"type:" + global, "Return"}, fit, 0, chosen_global},
    {"a path one longer than the list buffer", kPicker, true, {"type:" + global, "Return"}, fit - 1, -2, ""},
  };
  // clang-format on
  const unsigned long host = owner_window();
  char owner[32];
  std::snprintf(owner, sizeof owner, "0x%lx", host);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool picker = row.window == kPicker;
    TXADInit(row.owned ? reinterpret_cast<HWND>(static_cast<uintptr_t>(host)) : nullptr);
    GuardedBuffer out(row.length);
    GuardedBuffer error(128);
    DialogCall call([&] {
      return picker ? TXADGetGroups(out.data(), row.length, error.data(), error.length())
                    : TXADGetContainer(row.window, "Choose:", out.data(), row.length);
    });
    const std::string window = DialogCall::window(row.window ? row.window : "Browse for Container");
    EXPECT_NE(window, "") << "no dialog window appeared";
    EXPECT_EQ(transient_for(window), picker && row.owned ? owner : "");
    EXPECT_EQ(call.play(window, row.steps), row.code);
    const size_t length = static_cast<size_t>(row.length);
    std::string expected = row.chosen.empty() ? std::string(length, '#') : row.chosen;
    expected.resize(length, '\0');
    EXPECT_EQ(out.raw(), expected);
    EXPECT_TRUE(error.untouched()) << error.text();
    EXPECT_TRUE(out.guards_intact());
    EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
  }
  TXADInit(nullptr);
}

TEST(GroupPicker, RefusesAnOwnerIdThatNamesNoWindow) {
  ASSERT_NE(x_display(), "") << "Xvfb did not start";
  for (const uintptr_t id : {uintptr_t{0x1ffffff0}, uintptr_t{0x123456789ab}}) {
    SCOPED_TRACE(id);
    TXADInit(reinterpret_cast<HWND>(id));
    GuardedBuffer list(64);
    GuardedBuffer error(128);
    DialogCall call([&] { return TXADGetGroups(list.data(), 64, error.data(), 128); });
    EXPECT_EQ(call.play("", {"Escape"}), -1);
    EXPECT_TRUE(list.untouched());
    EXPECT_EQ(error.text(), "The window handle does not name a usable window.\n");
  }
  TXADInit(nullptr);
}

}  // namespace
}  // namespace txads_test
