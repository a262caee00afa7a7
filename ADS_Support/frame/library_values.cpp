// Storage of the two library-wide values; zero at load, never reset.
#include "frame/library_values.h"

namespace txads {

std::atomic<HWND> parent_window{nullptr};
std::atomic<int> recursion_flag{0};

}  // namespace txads
