// The calling thread's last Win32 error, as the platform keeps it.
#pragma once

#include <cstdint>

namespace txads {

uint32_t GetLastError();
void SetLastError(uint32_t error);

}  // namespace txads
