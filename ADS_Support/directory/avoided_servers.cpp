// One table of failure times, pruned as entries expire.
#include "directory/avoided_servers.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

namespace txads::directory {
namespace {

using Clock = std::chrono::steady_clock;

std::mutex table_mutex;
std::map<std::string, Clock::time_point> failed_at;
// The table's size, read without the lock: an empty table (the usual case)
// spares each operation the lock and the clock.
std::atomic<size_t> entries{0};

// After a change of the table. Caller holds the lock.
void count_entries() {
  entries.store(failed_at.size(), std::memory_order_release);
}

// The failure time of `server` while it is avoided. Caller holds the lock.
bool avoided_since(const std::string& server, Clock::time_point now, Clock::time_point& since) {
  const auto it = failed_at.find(server);
  if (it == failed_at.end()) return false;
  if (now - it->second >= kAvoidFor) {
    failed_at.erase(it);
    count_entries();
    return false;
  }
  since = it->second;
  return true;
}

}  // namespace

void avoid_server(const std::string& server) {
  std::lock_guard lock(table_mutex);
  failed_at[server] = Clock::now();
  count_entries();
}

void forget_avoided_server(const std::string& server) {
  std::lock_guard lock(table_mutex);
  failed_at.erase(server);
  count_entries();
}

bool server_avoided(const std::string& server) {
  if (entries.load(std::memory_order_acquire) == 0) return false;
  std::lock_guard lock(table_mutex);
  Clock::time_point since;
  return avoided_since(server, Clock::now(), since);
}

std::vector<std::string> order_avoided_last(const std::vector<std::string>& servers) {
  std::vector<std::string> usable;
  std::vector<std::pair<Clock::time_point, std::string>> avoided;
  {
    std::lock_guard lock(table_mutex);
    const auto now = Clock::now();
    for (const std::string& server : servers) {
      Clock::time_point since;
      if (avoided_since(server, now, since)) {
        avoided.emplace_back(since, server);
      } else {
        usable.push_back(server);
      }
    }
  }
  std::stable_sort(avoided.begin(), avoided.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [since, server] : avoided) usable.push_back(std::move(server));
  return usable;
}

}  // namespace txads::directory
