// An X server of the test's own (Xvfb on a free display number, picked by the
// server itself) and the desktop tools that play the operator: xdotool for
// keys and windows, xprop for window properties, import for screenshots.
// Every tool runs without a shell and with a time limit. Not thread-safe
// except where noted.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace txads::testing {

class XSession {
 public:
  // Starts Xvfb and points DISPLAY at it; ok() tells whether that worked.
  XSession();
  // Stops Xvfb and restores DISPLAY.
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool ok() const { return pid_ > 0 && !display_.empty(); }
  const std::string& display() const { return display_; }
  pid_t server_pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::optional<std::string> saved_display_;
};

struct CommandResult {
  int exit_code = -1;  // -1: could not run or timed out
  std::string out;     // standard output
};

// Runs argv[0] (searched in PATH) and waits at most `limit`; a command still
// running then is killed. Safe from any thread.
CommandResult run_command(const std::vector<std::string>& argv,
                          std::chrono::milliseconds limit = std::chrono::seconds(20));

// The first visible window whose title is `title`, once it is mapped.
std::optional<std::string> wait_for_window(
    const std::string& title, std::chrono::milliseconds limit = std::chrono::seconds(20));

// Gives the window the keyboard focus, then sends keys ("Return", "Escape",
// "plus", "Down") or types text, as the X server's test extension does for
// a real keyboard.
bool focus(const std::string& window);
bool press(const std::string& keys);
bool type_text(const std::string& text);

// Double-clicks the first mouse button at (x, y) inside the window.
bool double_click(const std::string& window, int x, int y);

// The window's WM_TRANSIENT_FOR as xprop prints it ("" when not set).
std::string transient_for(const std::string& window);

// The whole screen as a PNG file.
bool screenshot(const std::string& png_path);

// The process's children other than the X server: helpers left behind.
std::vector<pid_t> helper_children(const XSession& session);

}  // namespace txads::testing
