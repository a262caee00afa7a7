// Servers that recently refused a connection or stopped answering, shared by
// every thread of the process: a call tries them only after every server not
// in the table, until kAvoidFor has passed since the failure. Thread-safe.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace txads::directory {

inline constexpr std::chrono::seconds kAvoidFor{60};

// Records that `server` (a URI) failed now.
void avoid_server(const std::string& server);

// Forgets `server`: it has just answered.
void forget_avoided_server(const std::string& server);

bool server_avoided(const std::string& server);

// `servers` with the avoided ones moved to the end, in the order they failed
// (the longest ago first); the others keep their order.
std::vector<std::string> order_avoided_last(const std::vector<std::string>& servers);

}  // namespace txads::directory
