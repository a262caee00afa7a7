// The operator's side of the dialog tests: an X server of the test binary's own (Xvfb), keys and
// window properties through xdotool and xprop (each under `timeout`, so a stuck tool never hangs a
// test) and the helper processes a call leaves behind. Test thread only.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"

namespace txads_test {

// Sets an environment variable (nullopt: unsets it) until destroyed.
struct ScopedEnv {
  std::string name;
  std::optional<std::string> saved;
  ScopedEnv(const char* variable, const std::optional<std::string>& value) : name(variable) {
    if (const char* old = std::getenv(variable)) saved = old;
    value ? ::setenv(variable, value->c_str(), 1) : ::unsetenv(variable);
  }
  ~ScopedEnv() { saved ? ::setenv(name.c_str(), saved->c_str(), 1) : ::unsetenv(name.c_str()); }
};

// The helper's test hook while it lives: events appended to a file that TXADS_DIALOG_EVENTS names,
// the dialog's state read back from FILE.state, FILE.shown written when the window appears.
class DialogEvents {
 public:
  DialogEvents()
      : path_(::testing::TempDir() + "txads-events-" + std::to_string(::getpid())),
        env_("TXADS_DIALOG_EVENTS", path_) {
    std::ofstream{path_};
  }
  ~DialogEvents() {
    for (const char* end : {"", ".state", ".shown"}) ::unlink((path_ + end).c_str());
  }
  void send(const std::string& events) { std::ofstream(path_, std::ios::app) << events << '\n'; }
  // The dialog's state once the events sent so far are played ("" when none comes within 20 s).
  std::string state() {
    send("state");
    for (int i = 0; i < 2000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
      std::ifstream in(path_ + ".state");
      std::string line;
      for (size_t n = 0; std::getline(in, line);) {
        if (++n > lines_) return ++lines_, line;
      }
    }
    return "";
  }
  // The directory reads pending when the window appeared ("": not shown yet).
  std::string shown() const {
    std::string pending;
    std::ifstream(path_ + ".shown") >> pending;
    return pending;
  }

 private:
  std::string path_;
  ScopedEnv env_;
  size_t lines_ = 0;
};

inline ToolResult x_tool(std::vector<std::string> argv) {
  argv.insert(argv.begin(), {"timeout", "20"});
  return run_tool(argv);
}

// The display of the binary's Xvfb, started at the first call and named by DISPLAY from then on
// ("" if it did not start); the dialogs run this build's helper from then on too (a test that
// injects a helper's fault names another one). A shell starts Xvfb in the background, so that init
// is its parent and every child of the test process is a helper; it prints the server's id and,
// once ready, its display.
inline const std::string& x_display() {
  static const struct Xvfb {
    pid_t pid = 0;
    std::string display;
    Xvfb() {
      std::istringstream out(run_tool({"sh", "-c", R"(f=$(mktemp); Xvfb -displayfd 1 -screen 0 \
        1024x768x24 -nolisten tcp >"$f" 2>/dev/null </dev/null & echo $!
        for i in $(seq 150); do [ -s "$f" ] && break; sleep 0.1; done; cat "$f"; rm -f "$f")"})
                                 .out);
      ::setenv("TXADS_DIALOG_HELPER", TXADS_TEST_DIALOG_HELPER, 1);
      out >> pid >> display;
      if (!display.empty()) ::setenv("DISPLAY", (display = ":" + display).c_str(), 1);
    }
    ~Xvfb() {
      if (pid > 0) ::kill(pid, SIGTERM);
    }
  } server;
  return server.display;
}

// Children of this process, exited ones not yet reaped included (pgrep never lists itself).
inline std::vector<pid_t> helper_processes() {
  std::istringstream out(run_tool({"pgrep", "-P", std::to_string(::getpid())}).out);
  return {std::istream_iterator<pid_t>(out), {}};
}

// Runs `call` on a thread of its own while the test plays the operator on the visible window
// titled `caption` ("": none is awaited), expects that window's WM_TRANSIENT_FOR to be `owner`
// (0: none) and gives the call's result. Steps: "type:TEXT" types, "wait" pauses two
// seconds, anything else is a key ("plus"); the last key is pressed until the call returns (a list
// still loading ignores it). A dialog that stays open has its helper killed.
inline int play_dialog(const std::function<int()>& call, const std::string& caption,
                       uintptr_t owner, const std::vector<std::string>& steps) {
  using namespace std::chrono_literals;
  std::future<int> result = std::async(std::launch::async, call);
  if (!caption.empty()) {
    std::string window =
        x_tool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + caption + "$"}).out;
    window = window.substr(0, window.find('\n'));
    EXPECT_NE(window, "") << "no dialog window appeared";
    const std::string prop = "WM_TRANSIENT_FOR";
    EXPECT_EQ(x_tool({"xprop", "-notype", "-id", window, "-f", prop, "32c", " $0", prop}).out,
              owner ? prop + " " + std::to_string(owner) : prop + ":  not found.\n");
    x_tool({"xdotool", "windowfocus", "--sync", window});
  }
  for (size_t i = 0; i + 1 < steps.size(); ++i) {
    if (steps[i] == "wait") {
      std::this_thread::sleep_for(2s);
    } else if (steps[i].starts_with("type:")) {
      x_tool({"xdotool", "type", "--delay", "40", "--", steps[i].substr(5)});
    } else {
      x_tool({"xdotool", "key", steps[i]});
    }
  }
  for (int i = 0; i < 30 && result.wait_for(0s) != std::future_status::ready; ++i) {
    x_tool({"xdotool", "key", steps.back()});
    result.wait_for(500ms);
  }
  if (result.wait_for(0s) != std::future_status::ready) {
    ADD_FAILURE() << "the dialog did not close; its helper is ended";
    for (const pid_t pid : helper_processes()) ::kill(pid, SIGKILL);
  }
  return result.get();
}

}  // namespace txads_test
