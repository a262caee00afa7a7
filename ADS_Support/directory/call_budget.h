// The bound on one export call's waits for servers, and the servers that
// failed during the call. Every wait of the layer (a connect, "has the
// server sent anything", a result) lasts at most the time left in the call,
// so a call whose servers hang returns after about the bound however many
// requests it makes. The bound is the configured operation timeout
// (TIMEOUT in ldap.conf, LDAPTIMEOUT), else kDefaultCallBoundSeconds; the
// library's own pauses do not count (frame/call_clock.h). Outside an export
// call (the layer's own tests) only each wait's own timeout applies.
// Per thread: each thread runs its own call.
#pragma once

#include <sys/time.h>

#include <string>

namespace txads::directory {

inline constexpr int kDefaultCallBoundSeconds = 10;

long milliseconds_of(const timeval& value);

// A wait's own limit cut to the time left in the call: 0 when none is left.
long bounded_milliseconds(long wait_ms);
timeval bounded_timeout(const timeval& wait);

// True when the call has no time left to wait for a server.
bool call_time_spent();

// A server that could not be reached or stopped answering during this call:
// the call does not try it again.
void note_failed_in_call(const std::string& server);
bool failed_in_call(const std::string& server);

}  // namespace txads::directory
