// The existence checks against the test domain (run inside it:
// scripts/testdomain/run build/bench/existence_bench). Reads the seeded
// OU=Site and CN=Lab Members,OU=Groups and changes nothing.
//   ContainerExists  TXADIsContainerExist of an existing OU
//   GroupExists      TXADIsGroupExist of an existing group
//   GroupAbsent      TXADIsGroupExist of a group that does not exist
// Each runs on 1 and 8 threads. Counters: calls per second over all threads,
// LDAP operations and binds per call, counted by the library. A warm-up call
// per thread opens the connections before timing starts.
//   Raw*  the same question from a plain LDAP client (one connection per
//         thread, bound before timing starts): a base search of the object,
//         with (objectClass=group) for the group.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "directory/operation_counter.h"
#include "raw_ldap_client.h"
#include "txads.h"

namespace {

std::string base_dn() {
  const char* base = std::getenv("LDAPBASE");
  return base ? base : "DC=corp,DC=example,DC=com";
}

std::string at(const char* rdns) {
  return std::string("LDAP://") + rdns + "," + base_dn();
}

template <int (*Check)(const char*, char*, int), int Expected>
void run(benchmark::State& state, const std::string& path) {
  char error[256];
  if (Check(path.c_str(), error, sizeof error) != Expected) {
    state.SkipWithError("unexpected answer: is the test domain running?");
    return;
  }
  const auto before = txads::directory::operation_counts();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Check(path.c_str(), error, sizeof error));
  }
  const auto after = txads::directory::operation_counts();
  // Counters are summed over threads; the per-call averages use every
  // thread's iterations.
  state.counters["calls"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["ldap_ops_per_call"] = benchmark::Counter(
      static_cast<double>(after.operations - before.operations) / state.threads(),
      benchmark::Counter::kAvgIterations);
  state.counters["binds_per_call"] =
      benchmark::Counter(static_cast<double>(after.binds - before.binds) / state.threads(),
                         benchmark::Counter::kAvgIterations);
}

void ContainerExists(benchmark::State& state) {
  run<TXADIsContainerExist, 0>(state, at("OU=Site"));
}
void GroupExists(benchmark::State& state) {
  run<TXADIsGroupExist, 0>(state, at("CN=Lab Members,OU=Groups"));
}
void GroupAbsent(benchmark::State& state) {
  run<TXADIsGroupExist, -3>(state, at("CN=No Such Group,OU=Groups"));
}

template <int Expected>
void run_raw(benchmark::State& state, const char* rdns, const char* filter) {
  const char* uri = std::getenv("LDAPURI");
  txads_bench::RawLdapClient raw(uri ? uri : "ldap://dc1.corp.example.com", base_dn());
  const std::string dn = std::string(rdns) + "," + base_dn();
  if (!raw.bound() || raw.exists(dn, filter) != Expected) {
    state.SkipWithError("the plain client could not bind or answered otherwise");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(raw.exists(dn, filter));
  }
  state.counters["calls"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void RawContainerExists(benchmark::State& state) {
  run_raw<1>(state, "OU=Site", "(objectClass=*)");
}
void RawGroupExists(benchmark::State& state) {
  run_raw<1>(state, "CN=Lab Members,OU=Groups", "(objectClass=group)");
}
void RawGroupAbsent(benchmark::State& state) {
  run_raw<0>(state, "CN=No Such Group,OU=Groups", "(objectClass=group)");
}

BENCHMARK(ContainerExists)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(RawContainerExists)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(GroupExists)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(RawGroupExists)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(GroupAbsent)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(RawGroupAbsent)->Threads(1)->Threads(8)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
