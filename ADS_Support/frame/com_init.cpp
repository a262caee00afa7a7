// The per-thread initialisation count; see com_init.h. Thread-local, so
// threads never see each other's count.
#include "frame/com_init.h"

namespace txads {
namespace {
thread_local int init_count = 0;
}

Status CoInitialize() {
  return init_count++ == 0 ? kOk : kFalse;
}

void CoUninitialize() {
  if (init_count > 0) --init_count;
}

}  // namespace txads
