// The operator stand-in of the dialog tests.
#include "dialog_driver.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "dialog_test_support.h"

#include <X11/Xlib.h>
#undef Status

namespace txads::testing {

RunningExport::RunningExport(std::function<int()> call)
    : result_(std::async(std::launch::async, std::move(call))) {}

RunningExport::~RunningExport() {
  if (!collected_) (void)result(std::chrono::seconds(5));
}

bool RunningExport::returned_within(std::chrono::milliseconds limit) {
  return collected_ || result_.wait_for(limit) == std::future_status::ready;
}

bool RunningExport::press_until_returned(const std::string& keys, int attempts) {
  for (int i = 0; i < attempts; ++i) {
    if (returned_within(std::chrono::milliseconds(0))) return true;
    press(keys);
    if (returned_within(std::chrono::milliseconds(500))) return true;
  }
  return false;
}

void RunningExport::end_dialog() {
  // The helpers are this process's own children, started by the export.
  for (const pid_t pid : child_processes()) {
    std::string comm;
    if (FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/comm").c_str(), "r")) {
      char name[64] = {};
      if (std::fgets(name, sizeof name, f) != nullptr) comm = name;
      std::fclose(f);
    }
    if (comm.rfind("txads-dialog", 0) == 0) ::kill(pid, SIGKILL);
  }
}

int RunningExport::result(std::chrono::milliseconds limit) {
  if (collected_) return value_;
  if (result_.wait_for(limit) != std::future_status::ready) {
    ADD_FAILURE() << "the dialog did not close; ending its helper";
    end_dialog();
  }
  value_ = result_.get();
  collected_ = true;
  return value_;
}

std::string controller_host() {
  const char* uri_text = std::getenv("LDAPURI");
  std::string uri = uri_text != nullptr ? uri_text : "";
  const size_t scheme = uri.find("://");
  if (scheme != std::string::npos) uri.erase(0, scheme + 3);
  return uri.substr(0, uri.find_first_of(":/ "));
}

OwnerWindow::OwnerWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  display_ = display;
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 900, 680, 0, 0, 0x3a5f8a);
  XStoreName(display, window, "Host application");
  XMapWindow(display, window);
  XSync(display, False);
  id_ = window;
}

OwnerWindow::~OwnerWindow() {
  auto* display = static_cast<Display*>(display_);
  if (display == nullptr) return;
  if (id_ != 0) XDestroyWindow(display, id_);
  XCloseDisplay(display);
}

}  // namespace txads::testing
