// The per-thread last error; thread-local storage.
#include "frame/last_error.h"

namespace txads {
namespace {
thread_local uint32_t last_error = 0;
}

uint32_t GetLastError() {
  return last_error;
}
void SetLastError(uint32_t error) {
  last_error = error;
}

}  // namespace txads
