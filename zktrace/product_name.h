// The product name written on every trace line. Lock-free: each distinct name
// is kept, immutable, for the life of the process (hosts name one or two
// products), and the current one is an atomic pointer to it, so readers and
// writers never wait for each other.
#pragma once

namespace zktrace {

// The maximum length kept; a longer name is cut.
inline constexpr unsigned kProductNameMax = 63;

// Makes `name` the current product; a null name counts as "". Never throws;
// without memory for a new name the previous one stays.
void set_product(const char* name) noexcept;

// The current product name, or null before any was set.
const char* current_product() noexcept;

}  // namespace zktrace
