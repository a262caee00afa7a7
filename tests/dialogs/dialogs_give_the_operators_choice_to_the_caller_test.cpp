// The real dialogs on Xvfb over the test domain, played with keys: the browser gives the chosen
// container's path (hidden system containers included), the picker the chosen security group's
// path (distribution groups are not offered), or -2 when that path does not fit the list buffer;
// cancelling gives 2 and -1 with the buffers untouched; the picker stays above the window given to
// TXADInit and refuses an id that names no window, the browser never has an owner; no helper
// outlives a call.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

#include <X11/Xlib.h>

namespace txads_test {
namespace {

constexpr const char* kPicker = "Select Group";
constexpr const char* kRefused = "";  // the picker, refused before its window shows

struct Row {
  const char* name;
  const char* window;  // the browser's caption (nullptr: its own), kPicker or kRefused
  uintptr_t owner;     // given to TXADInit first
  std::vector<std::string> steps;
  int length;  // of the path or list buffer
  int code;
  std::string chosen;      // "": the buffer stays untouched
  std::string error = "";  // the picker's error text ("": untouched)
};

// "LDAP://<the controller's host name>/<dn>", as the dialogs give a path.
std::string dialog_path(const std::string& dn) {
  std::string host = std::getenv("LDAPURI");
  host.erase(0, host.find("://") + 3);
  return "LDAP://" + host.substr(0, host.find_first_of(":/")) + "/" + dn;
}

// A new plain top-level window, as a host program's main window; it lives until the binary exits.
uintptr_t owner_window() {
  static Display* const display = XOpenDisplay(x_display().c_str());
  if (display == nullptr) return 0;
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 900, 680, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

TEST(Dialogs, GiveTheOperatorsChoiceToTheCaller) {
  ASSERT_NE(x_display(), "") << "Xvfb did not start";
  ScratchOu scratch("dialogs");
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
  const uintptr_t host = owner_window();
  const std::string no_window = "The window handle does not name a usable window.\n";
  // clang-format off
  const Row rows[] = {
    {"a unit found by name", "Move", host, {"type:" + inner, "Return"}, 512, 0, in_scratch("OU=" + inner)},
    {"a hidden system container", "Hidden", 0, {"type:System", "alt+y", "Return"}, 512, 0, dialog_path(seeded("CN=System"))},
    {"the domain, under the dialog's own caption", nullptr, 0, {"wait", "Tab", "Return"}, 512, 0, dialog_path(base_dn())},
    {"browser cancelled", "Cancel me", host, {"Escape"}, 64, 2, ""},
    {"a global group", kPicker, host, {"type:" + global, "Return"}, 512, 0, chosen_global},
    {"a domain-local group", kPicker, 0, {"type:" + local, "Return"}, 512, 0, in_scratch("CN=" + local)},
    {"a universal group", kPicker, 0, {"type:" + universal, "Return"}, 512, 0, in_scratch("CN=" + universal)},
    {"no distribution group", kPicker, 0, {"type:" + dist, "wait", "Return", "wait", "Return", "Escape"}, 512, -1, ""},
    {"picker cancelled", kPicker, host, {"type:" + global, "Escape"}, 64, -1, ""},
    {"a path as long as the list buffer", kPicker, 0, {"type:" + global, "Return"}, fit, 0, chosen_global},
    {"a path one longer than the list buffer", kPicker, host, {"type:" + global, "Return"}, fit - 1, -2, ""},
    {"an owner id that names no window", kRefused, 0x1ffffff0, {"Escape"}, 64, -1, "", no_window},
    {"an owner id beyond 32 bits", kRefused, 0x123456789ab, {"Escape"}, 64, -1, "", no_window},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool picker = row.window == kPicker || row.window == kRefused;
    TXADInit(reinterpret_cast<HWND>(row.owner));
    GuardedBuffer out(row.length), error(128);
    const int code = play_dialog(
        [&] {
          return picker ? TXADGetGroups(out.data(), row.length, error.data(), error.length())
                        : TXADGetContainer(row.window, "Choose:", out.data(), row.length);
        },
        row.window ? row.window : "Browse for Container", picker ? row.owner : 0, row.steps);
    EXPECT_EQ(code, row.code);
    const size_t length = static_cast<size_t>(row.length);
    EXPECT_EQ(out.untouched() ? "" : out.raw(),
              row.chosen.empty() ? "" : row.chosen + std::string(length - row.chosen.size(), '\0'));
    EXPECT_EQ(error.untouched() ? "" : error.text(), row.error);
    EXPECT_TRUE(out.guards_intact() && error.guards_intact());
    EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
  }
  TXADInit(nullptr);
}

}  // namespace
}  // namespace txads_test
