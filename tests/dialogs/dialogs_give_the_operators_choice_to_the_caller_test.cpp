// The real dialogs on Xvfb over the test domain, played with keys: the browser
// gives the chosen container's path (hidden system containers included), the
// picker the chosen security group's path (distribution groups are not
// offered), or -2 when that path does not fit the list buffer; cancelling
// gives 2 and -1 with the buffers untouched; the picker stays above the window
// given to TXADInit, the browser never has an owner; no helper outlives a call.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace txads_test {
namespace {

enum class Dialog { browser, picker };

struct Row {
  std::string name;
  Dialog dialog;
  bool owned;           // TXADInit was given the host's window first
  const char* caption;  // the browser's; nullptr: the dialog's own
  std::vector<std::string> steps;
  const char* key;  // the key that closes the dialog
  int length;       // of the path or list buffer
  int code;
  std::string chosen;  // "": the buffer stays untouched
};

int run(const Row& row, GuardedBuffer& out, GuardedBuffer& error, const std::string& owner) {
  DialogCall call([&] {
    return row.dialog == Dialog::browser
               ? TXADGetContainer(row.caption, "Choose a container:", out.data(), row.length)
               : TXADGetGroups(out.data(), row.length, error.data(), error.length());
  });
  const std::string window = DialogCall::window(
      row.dialog == Dialog::picker ? "Select Group"
                                   : (row.caption ? row.caption : "Browse for Container"));
  EXPECT_NE(window, "") << "no dialog window appeared";
  if (window.empty()) return call.finish("Escape");
  EXPECT_EQ(transient_for(window), row.dialog == Dialog::picker && row.owned ? owner : "");
  DialogCall::play(window, row.steps);
  return call.finish(row.key);
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

  const std::vector<Row> rows = {
      {"a unit inside an opened branch",
       Dialog::browser,
       true,
       "Move station",
       {"type:" + unit, "Escape", "plus", "type:" + inner},
       "Return",
       512,
       0,
       in_scratch("OU=" + inner)},
      {"a hidden system container",
       Dialog::browser,
       false,
       "Hidden",
       {"type:System"},
       "Return",
       512,
       0,
       dialog_path(seeded("CN=System"))},
      {"the domain, under the dialog's own caption",
       Dialog::browser,
       false,
       nullptr,
       {},
       "Return",
       512,
       0,
       dialog_path(base_dn())},
      {"browser cancelled", Dialog::browser, true, "Cancel me", {}, "Escape", 64, 2, ""},
      {"a global group",
       Dialog::picker,
       true,
       nullptr,
       {"type:" + global},
       "Return",
       512,
       0,
       chosen_global},
      {"a domain-local group",
       Dialog::picker,
       false,
       nullptr,
       {"type:" + local},
       "Return",
       512,
       0,
       in_scratch("CN=" + local)},
      {"a universal group",
       Dialog::picker,
       false,
       nullptr,
       {"type:" + universal},
       "Return",
       512,
       0,
       in_scratch("CN=" + universal)},
      {"a distribution group is not offered",
       Dialog::picker,
       false,
       nullptr,
       {"type:" + dist, "wait", "Return", "wait", "Return"},
       "Escape",
       512,
       -1,
       ""},
      {"picker cancelled", Dialog::picker, true, nullptr, {"type:" + global}, "Escape", 64, -1, ""},
      {"a path exactly as long as the list buffer",
       Dialog::picker,
       false,
       nullptr,
       {"type:" + global},
       "Return",
       fit,
       0,
       chosen_global},
      {"a path one longer than the list buffer",
       Dialog::picker,
       true,
       nullptr,
       {"type:" + global},
       "Return",
       fit - 1,
       -2,
       ""},
  };
  OwnerWindow host;
  char owner[32];
  std::snprintf(owner, sizeof owner, "0x%lx", host.id());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TXADInit(row.owned ? reinterpret_cast<HWND>(static_cast<uintptr_t>(host.id())) : nullptr);
    GuardedBuffer out(row.length);
    GuardedBuffer error(128);
    EXPECT_EQ(run(row, out, error, owner), row.code);
    if (row.chosen.empty()) {
      EXPECT_TRUE(out.untouched()) << out.raw();
    } else {
      std::string expected = row.chosen;
      expected.resize(static_cast<size_t>(row.length), '\0');
      EXPECT_EQ(out.raw(), expected);
    }
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
    EXPECT_EQ(call.finish("Escape"), -1);
    EXPECT_TRUE(list.untouched());
    EXPECT_EQ(error.text(), "The window handle does not name a usable window.\n");
  }
  TXADInit(nullptr);
}

}  // namespace
}  // namespace txads_test
