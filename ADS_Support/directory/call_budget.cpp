// The bound is read once per call from libldap's global options, which hold
// what ldap.conf and the environment configure.
#include "directory/call_budget.h"

#include <ldap.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "directory/ldap_owners.h"
#include "frame/call_clock.h"

namespace txads::directory {
namespace {

using std::chrono::milliseconds;

struct CallState {
  uint64_t serial = 0;
  milliseconds bound{0};
  std::vector<std::string> failed;
};

thread_local CallState state;

// The state of the running call, fresh for each call.
CallState& this_call() {
  const uint64_t serial = call_serial();
  if (state.serial != serial) {
    state.serial = serial;
    state.failed.clear();
    timeval* raw = nullptr;
    ldap_get_option(nullptr, LDAP_OPT_TIMEOUT, &raw);
    const Timeval configured(raw);
    state.bound = configured && milliseconds_of(*configured) > 0
                      ? milliseconds(milliseconds_of(*configured))
                      : std::chrono::seconds(kDefaultCallBoundSeconds);
  }
  return state;
}

long time_left_ms() {
  const auto left = this_call().bound - std::chrono::duration_cast<milliseconds>(call_elapsed());
  return std::max<long>(static_cast<long>(left.count()), 0);
}

}  // namespace

long milliseconds_of(const timeval& value) {
  return static_cast<long>(value.tv_sec) * 1000 + static_cast<long>(value.tv_usec) / 1000;
}

long bounded_milliseconds(long wait_ms) {
  if (!in_call()) return wait_ms;
  return std::min(wait_ms, time_left_ms());
}

timeval bounded_timeout(const timeval& wait) {
  if (!in_call()) return wait;
  const long ms = bounded_milliseconds(milliseconds_of(wait));
  return {static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
}

bool call_time_spent() {
  return in_call() && time_left_ms() == 0;
}

void note_failed_in_call(const std::string& server) {
  if (in_call()) this_call().failed.push_back(server);
}

bool failed_in_call(const std::string& server) {
  if (!in_call()) return false;
  const auto& failed = this_call().failed;
  return std::find(failed.begin(), failed.end(), server) != failed.end();
}

}  // namespace txads::directory
