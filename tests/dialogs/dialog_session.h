// The operator's side of the dialog tests: an X server of the test binary's own (Xvfb), the
// helper's test hook, windows and their properties through xdotool and xprop (each under
// `timeout`, so a stuck tool never hangs a test), the helper processes a call leaves behind, and
// play(), which runs one dialog call through the hook and checks what it gives. Test thread only.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/guarded_buffer.h"
#include "support/process.h"
#include "support/relay.h"
#include "txads.h"

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

// The id of the window that the visible window titled `caption` is transient for, once it appears
// (0: none).
inline uintptr_t transient_for(const std::string& caption) {
  std::string window =
      x_tool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + caption + "$"}).out;
  window = window.substr(0, window.find('\n'));
  EXPECT_NE(window, "") << "no dialog window appeared";
  const std::string prop = "WM_TRANSIENT_FOR";
  const std::string out =
      x_tool({"xprop", "-notype", "-id", window, "-f", prop, "32c", " $0", prop}).out;
  return std::strtoull(out.c_str() + prop.size(), nullptr, 10);  // ":  not found." gives 0
}

// The result of a dialog's call, which must end within `within`; a dialog still open then has its
// helper killed.
inline int closed(std::future<int>& call, std::chrono::seconds within) {
  if (call.wait_for(within) != std::future_status::ready) {
    ADD_FAILURE() << "the dialog did not close; its helper is ended";
    for (const pid_t pid : helper_processes()) ::kill(pid, SIGKILL);
  }
  return call.get();
}

// The directory server's URI through `relay`: every LDAP connection goes through it.
template <class Link>  // Relay or SlowLink
std::string through(const Link& link) {
  return "ldap://127.0.0.1:" + std::to_string(link.port());
}

// "LDAP://<the controller's host name>/<dn>", as the dialogs give a path.
inline std::string dialog_path(const std::string& dn) {
  std::string host = std::getenv("LDAPURI");
  host.erase(0, host.find("://") + 3);
  return "LDAP://" + host.substr(0, host.find_first_of(":/")) + "/" + dn;
}

inline constexpr char kPicker[] = "Select Group";  // one object: rows compare its address
inline constexpr char kRefused[] = "";             // the picker, refused before its window shows

struct Step {
  std::string events;  // one a line; "relay stop" and "relay start" act on the relay instead
  std::vector<std::string> expect{};  // parts of the state that follows ("!part": not in it)
};

// One call of a dialog, played through the helper's test hook.
struct Play {
  const char* name;
  const char* window;  // the browser's caption (nullptr: its own), kPicker or kRefused
  std::vector<Step> steps;
  int code;
  std::string chosen;   // the path or list written ("": the buffer stays untouched)
  uintptr_t owner = 0;  // given to TXADInit first; only the picker is transient for it
  int length = 512;     // of the path or list buffer
  std::string error{};  // the picker's error text ("": untouched)
};

// Plays `row`; the browser's reads go through `relay` when one is given.
inline void play(const Play& row, Relay* relay = nullptr) {
  SCOPED_TRACE(row.name);
  const bool picker = row.window == kPicker || row.window == kRefused;
  std::optional<ScopedEnv> relayed;
  if (relay != nullptr && !picker)  // the picker's global catalog is not relayed
    relayed.emplace("LDAPURI", through(*relay));
  TXADInit(reinterpret_cast<HWND>(row.owner));
  DialogEvents events;
  GuardedBuffer out(row.length), error(128);
  std::future<int> call = std::async(std::launch::async, [&] {
    return picker ? TXADGetGroups(out.data(), row.length, error.data(), error.length())
                  : TXADGetContainer(row.window, "Choose:", out.data(), row.length);
  });
  if (row.window != kRefused) {
    EXPECT_EQ(transient_for(row.window ? row.window : "Browse for Container"),
              picker ? row.owner : 0);
  }
  for (const Step& step : row.steps) {
    std::istringstream lines(step.events);
    for (std::string line; std::getline(lines, line);) {
      if (line == "relay stop") relay->stop();
      if (line == "relay start") relay->start();
      if (!line.starts_with("relay ")) events.send(line);
    }
    const std::string state = step.expect.empty() ? "" : events.state();
    for (const std::string& part : step.expect) {
      const bool absent = part.starts_with('!');
      EXPECT_EQ(state.find(part.substr(absent ? 1 : 0)) == std::string::npos, absent)
          << step.events << " -> " << state;
    }
  }
  EXPECT_EQ(closed(call, std::chrono::seconds(20)), row.code);
  const size_t length = static_cast<size_t>(row.length);
  EXPECT_EQ(out.untouched() ? "" : out.raw(),
            row.chosen.empty() ? "" : row.chosen + std::string(length - row.chosen.size(), '\0'));
  EXPECT_EQ(error.untouched() ? "" : error.text(), row.error);
  EXPECT_TRUE(out.guards_intact() && error.guards_intact());
  EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
  TXADInit(nullptr);
}

}  // namespace txads_test
