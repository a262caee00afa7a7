// The entry trace line of the export frame.
#include "frame/export_frame.h"

namespace txads {

void trace_entry(const char* export_name) {
  trace("run function '%s'.\n", export_name);
}

}  // namespace txads
