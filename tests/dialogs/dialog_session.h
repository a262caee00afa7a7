// The operator's side of the dialog tests: an X server of the test binary's
// own (Xvfb), keys and window properties through xdotool and xprop (each under
// `timeout`, so a stuck tool never hangs a test), the helper processes a call
// leaves behind, and an owner window as a host program has. Test thread only.
#pragma once

#include <sys/types.h>

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace txads_test {

// Sets an environment variable (nullopt: unsets it) until destroyed.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// The display of the binary's Xvfb, started at the first call and named by
// DISPLAY from then on ("" if it did not start). The server is not a child of
// the test process, so every child that helper_processes() finds is a helper.
const std::string& x_display();

// Children of this process, exited ones not yet reaped included.
std::vector<pid_t> helper_processes();

// An export running on a thread of its own while the test plays the operator.
class DialogCall {
 public:
  explicit DialogCall(std::function<int()> call);
  // Kills the helper of a dialog still open, so that no test hangs.
  ~DialogCall();
  DialogCall(const DialogCall&) = delete;
  DialogCall& operator=(const DialogCall&) = delete;

  // The X id of the visible window titled `caption` ("" after 20 s without).
  static std::string window(const std::string& caption);
  // Plays `steps` on `window` and gives the export's result. "type:TEXT"
  // types, "wait" pauses two seconds, anything else is a key ("plus"); the
  // last key is pressed until the export returns (a list still loading
  // ignores it).
  int play(const std::string& window, const std::vector<std::string>& steps);

 private:
  std::future<int> result_;
};

// The window's WM_TRANSIENT_FOR as "0x…", "" when it has none.
std::string transient_for(const std::string& window);

// A new plain top-level window on x_display(), as a host program's main
// window; it lives until the test binary exits.
unsigned long owner_window();

}  // namespace txads_test
