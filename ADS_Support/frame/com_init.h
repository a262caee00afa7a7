// The per-thread initialisation count that stands in for COM's: the first
// initialisation on a thread gives S_OK, a nested one S_FALSE, and each
// successful one is balanced by one uninitialisation.
#pragma once

#include "frame/status.h"

namespace txads {

Status CoInitialize();
void CoUninitialize();

// Initialises on construction (when asked) and balances on destruction.
class ComInit {
 public:
  ComInit() : status_(CoInitialize()) {}
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  ~ComInit() {
    if (status_.ok()) CoUninitialize();
  }
  Status status() const { return status_; }

 private:
  Status status_;
};

}  // namespace txads
