// SRV lookups with the system resolver (resolv.conf), one resolver state per
// call. A name without records, or a resolver that fails, is remembered for
// kNegativeTtl, so that calls do not wait on DNS again and again.
#include "directory/locator.h"

#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <random>

#include "frame/ascii_case.h"
#include "frame/sigpipe_guard.h"

namespace txads::directory {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kNegativeTtl{60};
constexpr std::chrono::seconds kMinimumTtl{30};
constexpr std::chrono::seconds kMaximumTtl{3600};

struct Answer {
  std::vector<ServiceRecord> records;
  std::chrono::seconds ttl{0};
};

// Asks the resolver for the SRV records of `name`.
Answer query(const std::string& name) {
  Answer answer;
  struct __res_state state {};
  if (res_ninit(&state) != 0) return answer;
  const SigpipeGuard quiet;  // a long answer is asked again over TCP
  std::vector<unsigned char> buffer(65536);
  const int length = res_nquery(&state, name.c_str(), ns_c_in, ns_t_srv, buffer.data(),
                                static_cast<int>(buffer.size()));
  res_nclose(&state);
  if (length <= 0) return answer;

  ns_msg message{};
  if (ns_initparse(buffer.data(), std::min(length, static_cast<int>(buffer.size())), &message) != 0)
    return answer;
  uint32_t ttl = UINT32_MAX;
  for (int i = 0; i < ns_msg_count(message, ns_s_an); ++i) {
    ns_rr rr{};
    if (ns_parserr(&message, ns_s_an, i, &rr) != 0) break;
    if (ns_rr_type(rr) != ns_t_srv || ns_rr_class(rr) != ns_c_in || ns_rr_rdlen(rr) < 7) continue;
    const unsigned char* data = ns_rr_rdata(rr);
    ServiceRecord record;
    record.priority = static_cast<uint16_t>(ns_get16(data));
    record.weight = static_cast<uint16_t>(ns_get16(data + 2));
    record.port = static_cast<uint16_t>(ns_get16(data + 4));
    char target[NS_MAXDNAME];
    if (dn_expand(ns_msg_base(message), ns_msg_end(message), data + 6, target, sizeof target) < 0)
      continue;
    record.target = target;
    if (record.target.empty() || record.target == ".") continue;  // "service not offered"
    ttl = std::min(ttl, ns_rr_ttl(rr));
    answer.records.push_back(std::move(record));
  }
  if (!answer.records.empty()) answer.ttl = std::chrono::seconds(ttl);
  return answer;
}

uint32_t random_draw(uint32_t total) {
  static std::mutex mutex;
  static std::mt19937 engine{std::random_device{}()};
  std::lock_guard lock(mutex);
  return std::uniform_int_distribution<uint32_t>(0, total)(engine);
}

struct Cached {
  Clock::time_point expires;
  std::vector<ServiceRecord> records;
};

std::mutex cache_mutex;
std::map<std::string, Cached> cache;
std::map<std::string, std::string> forests;

std::vector<ServiceRecord> look_up(const std::string& name) {
  const auto now = Clock::now();
  {
    std::lock_guard lock(cache_mutex);
    const auto it = cache.find(name);
    if (it != cache.end() && it->second.expires > now) return it->second.records;
  }
  Answer answer = query(name);
  Cached entry;
  entry.records = order_service_records(std::move(answer.records), random_draw);
  const auto ttl =
      entry.records.empty() ? kNegativeTtl : std::clamp(answer.ttl, kMinimumTtl, kMaximumTtl);
  entry.expires = Clock::now() + ttl;
  std::lock_guard lock(cache_mutex);
  cache[name] = entry;
  return entry.records;
}

}  // namespace

std::vector<ServiceRecord> order_service_records(std::vector<ServiceRecord> records,
                                                 const std::function<uint32_t(uint32_t)>& draw) {
  std::stable_sort(records.begin(), records.end(),
                   [](const ServiceRecord& a, const ServiceRecord& b) {
                     if (a.priority != b.priority) return a.priority < b.priority;
                     return a.weight == 0 && b.weight != 0;  // weight 0 first within a priority
                   });
  std::vector<ServiceRecord> ordered;
  ordered.reserve(records.size());
  size_t begin = 0;
  while (begin < records.size()) {
    size_t end = begin;
    while (end < records.size() && records[end].priority == records[begin].priority) ++end;
    std::vector<ServiceRecord> group(records.begin() + static_cast<std::ptrdiff_t>(begin),
                                     records.begin() + static_cast<std::ptrdiff_t>(end));
    while (!group.empty()) {
      uint32_t total = 0;
      for (const ServiceRecord& r : group) total += r.weight;
      const uint32_t pick = draw(total);
      uint32_t running = 0;
      size_t chosen = group.size() - 1;
      for (size_t i = 0; i < group.size(); ++i) {
        running += group[i].weight;
        if (running >= pick) {
          chosen = i;
          break;
        }
      }
      ordered.push_back(std::move(group[chosen]));
      group.erase(group.begin() + static_cast<std::ptrdiff_t>(chosen));
    }
    begin = end;
  }
  return ordered;
}

std::vector<ServiceRecord> domain_controllers(const std::string& domain) {
  if (domain.empty()) return {};
  return look_up("_ldap._tcp.dc._msdcs." + ascii_lower(domain));
}

std::vector<ServiceRecord> global_catalog_servers(const std::string& forest) {
  if (forest.empty()) return {};
  return look_up("_gc._tcp." + ascii_lower(forest));
}

void remember_forest(const std::string& domain, const std::string& forest) {
  if (domain.empty() || forest.empty()) return;
  std::lock_guard lock(cache_mutex);
  forests[ascii_lower(domain)] = ascii_lower(forest);
}

std::string forest_of(const std::string& domain) {
  std::lock_guard lock(cache_mutex);
  const auto it = forests.find(ascii_lower(domain));
  return it != forests.end() ? it->second : ascii_lower(domain);
}

}  // namespace txads::directory
