// Xvfb, xdotool, xprop and the helper processes for the dialog tests.
#include "dialog_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/process.h"

#include <X11/Xlib.h>

namespace txads_test {
namespace {

using namespace std::chrono_literals;

// The dialogs run this build's helper (tests that inject a helper's fault
// name another one for a while).
const bool helper_named = (::setenv("TXADS_DIALOG_HELPER", TXADS_TEST_DIALOG_HELPER, 1), true);

ToolResult x_tool(std::vector<std::string> argv, const char* seconds = "10") {
  argv.insert(argv.begin(), {"timeout", seconds});
  return run_tool(argv);
}

// Xvfb started by a shell in the background, so that init reaps it. The
// shell prints its process id and, once it is ready, its display number.
struct Xvfb {
  pid_t pid = 0;
  std::string display;
  Xvfb() {
    std::istringstream out(run_tool({"sh", "-c", R"(f=$(mktemp); Xvfb -displayfd 1 -screen 0 \
      1024x768x24 -nolisten tcp >"$f" 2>/dev/null </dev/null & echo $!
      for i in $(seq 150); do [ -s "$f" ] && break; sleep 0.1; done; cat "$f"; rm -f "$f")"})
                               .out);
    out >> pid >> display;
    if (!display.empty()) ::setenv("DISPLAY", (display = ":" + display).c_str(), 1);
  }
  ~Xvfb() {
    if (pid > 0) ::kill(pid, SIGTERM);
  }
};

void kill_helpers() {
  for (const pid_t pid : helper_processes()) ::kill(pid, SIGKILL);
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  saved_ ? ::setenv(name_.c_str(), saved_->c_str(), 1) : ::unsetenv(name_.c_str());
}

const std::string& x_display() {
  static const Xvfb server;
  return server.display;
}

std::vector<pid_t> helper_processes() {
  std::vector<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::string stat;
    std::getline(std::ifstream(entry.path() / "stat"), stat);
    const size_t name_end = stat.rfind(')');
    if (name_end == std::string::npos) continue;
    // "pid (comm) state ppid ...": the parent follows the state letter.
    if (std::atoi(stat.c_str() + name_end + 4) == ::getpid()) {
      children.push_back(static_cast<pid_t>(std::atoi(stat.c_str())));
    }
  }
  return children;
}

DialogCall::DialogCall(std::function<int()> call)
    : result_(std::async(std::launch::async, std::move(call))) {}

DialogCall::~DialogCall() {
  if (result_.valid() && result_.wait_for(5s) != std::future_status::ready) kill_helpers();
}

std::string DialogCall::window(const std::string& caption) {
  const auto found =
      x_tool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + caption + "$"}, "20");
  return found.out.substr(0, found.out.find('\n'));
}

int DialogCall::play(const std::string& window, const std::vector<std::string>& steps) {
  if (!window.empty()) x_tool({"xdotool", "windowfocus", "--sync", window});
  for (size_t i = 0; i + 1 < steps.size(); ++i) {
    if (steps[i].rfind("type:", 0) == 0) {
      x_tool({"xdotool", "type", "--delay", "40", "--", steps[i].substr(5)});
    } else if (steps[i] == "wait") {
      std::this_thread::sleep_for(2s);
    } else {
      x_tool({"xdotool", "key", steps[i]});
    }
  }
  for (int i = 0; i < 30 && result_.wait_for(0s) != std::future_status::ready; ++i) {
    x_tool({"xdotool", "key", steps.back()});
    result_.wait_for(500ms);
  }
  if (result_.wait_for(0s) != std::future_status::ready) {
    ADD_FAILURE() << "the dialog did not close; its helper is ended";
    kill_helpers();
  }
  return result_.get();
}

std::string transient_for(const std::string& window) {
  const std::string out = x_tool({"xprop", "-id", window, "WM_TRANSIENT_FOR"}).out;
  const size_t hash = out.find("# ");
  return hash == std::string::npos ? "" : out.substr(hash + 2, out.find('\n') - hash - 2);
}

unsigned long owner_window() {
  static Display* const display = XOpenDisplay(x_display().c_str());
  if (display == nullptr) return 0;
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 900, 680, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

}  // namespace txads_test
