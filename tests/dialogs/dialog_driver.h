// Plays the operator of a dialog: the export runs on a thread of its own
// (the dialog is modal there) while the test presses keys. A dialog that does
// not close in time has its helper ended, so a failing test never hangs.
// Also an owner window that a host program would have. Test thread only.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "x_session.h"

namespace txads::testing {

class RunningExport {
 public:
  explicit RunningExport(std::function<int()> call);
  // Ends a dialog left open, so that the export's thread can be joined.
  ~RunningExport();
  RunningExport(const RunningExport&) = delete;
  RunningExport& operator=(const RunningExport&) = delete;

  bool returned_within(std::chrono::milliseconds limit);
  // Presses keys until the export returns (a list still loading ignores
  // Return); false when it never does.
  bool press_until_returned(const std::string& keys, int attempts = 30);
  // The export's result; ends the dialog first if it is still open after
  // `limit` (the result is then whatever the export makes of that).
  int result(std::chrono::milliseconds limit = std::chrono::seconds(20));

 private:
  void end_dialog();
  std::future<int> result_;
  bool collected_ = false;
  int value_ = 0;
};

// A plain top-level X window, as the host application's main window.
class OwnerWindow {
 public:
  OwnerWindow();
  ~OwnerWindow();
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  bool ok() const { return id_ != 0; }
  unsigned long id() const { return id_; }

 private:
  void* display_ = nullptr;
  unsigned long id_ = 0;
};

// The host name of the test domain's controller (from LDAPURI): the server
// that the dialogs' paths name.
std::string controller_host();

}  // namespace txads::testing
