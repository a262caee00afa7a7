// The real dialogs on Xvfb over the test domain, played through the helper's test hook: the browser
// gives the chosen container's path, the picker the chosen security group's path (distribution
// groups are not offered), or -2 when that path does not fit the list buffer; cancelling gives 2
// and -1 with the buffers untouched; the picker stays above the window given to TXADInit and
// refuses an id that names no window, the browser never has an owner; no helper outlives a call.
#include <gtest/gtest.h>

#include <cstdint>

#include "dialog_session.h"
#include "support/domain.h"
#include "support/scratch_ou.h"
#include "txads.h"

#include <X11/Xlib.h>

namespace txads_test {
namespace {

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
  const Play rows[] = {
    {"the domain, under the dialog's own caption", nullptr, {{"key Tab\nkey Return"}}, 0, dialog_path(base_dn())},
    {"browser cancelled", "Cancel me", {{"key Escape"}}, 2, "", host, 64},
    {"a global group", kPicker, {{"type " + global + "\nkey Return"}}, 0, chosen_global, host},
    {"a domain-local group", kPicker, {{"type " + local + "\nkey Return"}}, 0, in_scratch("CN=" + local)},
    {"a universal group", kPicker, {{"type " + universal + "\nkey Return"}}, 0, in_scratch("CN=" + universal)},
    {"no distribution group", kPicker, {{"type " + dist + "\nkey Return\nkey Escape\nkey Escape"}}, -1, ""},
    {"picker cancelled", kPicker, {{"type " + global + "\nkey Escape\nkey Escape"}}, -1, "", host, 64},
    {"a path as long as the list buffer", kPicker, {{"type " + global + "\nkey Return"}}, 0, chosen_global, 0, fit},
    {"a path one longer than the list buffer", kPicker, {{"type " + global + "\nkey Return"}}, -2, "", host, fit - 1},
    {"an owner id that names no window", kRefused, {}, -1, "", 0x1ffffff0, 64, no_window},
    {"an owner id beyond 32 bits", kRefused, {}, -1, "", 0x123456789ab, 64, no_window},
  };
  // clang-format on
  for (const Play& row : rows) play(row);
}

}  // namespace
}  // namespace txads_test
