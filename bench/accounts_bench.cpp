// Account translations against the test domain (run inside it:
// scripts/testdomain/run build/bench/accounts_bench). Reads the seeded user
// CN=Ann Archer,OU=Dev,OU=Staff and changes nothing.
//   SidFromName   TXADGetSIDFromName of the user's LDAP path (translation on
//                 the global catalog, then two account lookups: the first
//                 reports the SID size)
//   NameFromSid   TXADGetNameFromSID of the user's SID (account lookup, then
//                 the translation back to a DN)
//   UsersGroupRule IsUserInGroupBySid with the domain's users group as SID text
// Counter: LDAP operations per call (the times depend on the machine's load;
// the operation count does not).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "directory/operation_counter.h"
#include "membership/sid_membership.h"
#include "txads.h"

namespace {

std::string user_path() {
  const char* base = std::getenv("LDAPBASE");
  return std::string("LDAP://CN=Ann Archer,OU=Dev,OU=Staff,") + (base ? base : "");
}

std::string user_sid() {
  char text[100] = {};
  TXADGetSIDFromName(user_path().c_str(), text, 99);
  return text;
}

void count(benchmark::State& state, uint64_t before) {
  const uint64_t ops = txads::directory::operation_counts().operations - before;
  state.counters["ldap_ops_per_call"] =
      benchmark::Counter(static_cast<double>(ops), benchmark::Counter::kAvgIterations);
  state.counters["calls"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void SidFromName(benchmark::State& state) {
  const std::string path = user_path();
  user_sid();  // connections are open before measuring
  const uint64_t before = txads::directory::operation_counts().operations;
  for (auto _ : state) {
    char text[100];
    if (TXADGetSIDFromName(path.c_str(), text, 99) != 1) state.SkipWithError("not found");
  }
  count(state, before);
}

void NameFromSid(benchmark::State& state) {
  const std::string sid = user_sid();
  const uint64_t before = txads::directory::operation_counts().operations;
  for (auto _ : state) {
    char account[260], path[260];
    if (TXADGetNameFromSID(sid.c_str(), account, 259, path, 259) != 1)
      state.SkipWithError("not found");
  }
  count(state, before);
}

void UsersGroupRule(benchmark::State& state) {
  std::string sid = user_sid();
  const std::string group = sid.substr(0, sid.rfind('-')) + "-513";
  const uint64_t before = txads::directory::operation_counts().operations;
  for (auto _ : state) {
    if (txads::IsUserInGroupBySid("CORP\\ann", group.c_str()) != 1) state.SkipWithError("no");
  }
  count(state, before);
}

BENCHMARK(SidFromName)->Unit(benchmark::kMillisecond);
BENCHMARK(NameFromSid)->Unit(benchmark::kMillisecond);
BENCHMARK(UsersGroupRule)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
