// The existence checks against the test domain, the library's against a
// plain LDAP client's (run inside it: scripts/testdomain/run
// build/bench/existence_bench). Reads the seeded OU=Site and CN=Lab
// Members,OU=Groups and changes nothing.
//   ContainerExists  TXADIsContainerExist of an existing OU
//   GroupExists      TXADIsGroupExist of an existing group
//   GroupAbsent      TXADIsGroupExist of a group that does not exist
// The plain client (one connection per thread, bound before timing starts)
// makes a base search of the object, with (objectClass=group) for a group.
//
// Each runs on 1 and 8 threads, the two sides in alternating blocks of about
// 200 calls over all threads, all threads together: a block of the library's
// calls, then one of the plain client's, 100 times. On a machine whose speed
// drifts (the server shares it), neighbouring blocks meet the same
// conditions, which repetitions run seconds apart need not. A run starts
// without kept connections, and the plain client connects afresh, so both
// sides' connections are assigned to the server's workers anew.
// Counters: the median ratio of a library block's time to the plain block's
// after it, and its quartiles; each side's median µs per call (over all
// threads) and CPU µs per call; the library's LDAP operations and binds per
// call.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "directory/operation_counter.h"
#include "directory/pool.h"
#include "raw_ldap_client.h"
#include "txads.h"

namespace {

using Check = int (*)(const char*, char*, int);

std::string base_dn() {
  const char* base = std::getenv("LDAPBASE");
  return base ? base : "DC=corp,DC=example,DC=com";
}

// The threads of a run meet at `blocks` between blocks; `unready` is set by
// any thread whose first answers were not the expected ones.
std::unique_ptr<std::barrier<>> blocks;
std::atomic<bool> unready;

void fresh_run(const benchmark::State& state) {
  txads::directory::drop_connections();
  blocks = std::make_unique<std::barrier<>>(state.threads());
  unready = false;
}

double thread_cpu_us() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// The quartiles of `values` (sorted in place; not empty).
std::array<double, 3> quartiles(std::vector<double>& values) {
  std::sort(values.begin(), values.end());
  const auto at = [&](size_t quarter) { return values[(values.size() - 1) * quarter / 4]; };
  return {at(1), at(2), at(3)};
}

struct Question {
  Check check;
  int expected;      // the library's answer
  const char* rdns;  // the object, below the domain
  const char* filter;
  int raw_expected;  // the plain client's answer
};

void run(benchmark::State& state, const Question& question) {
  using Clock = std::chrono::steady_clock;
  using Micros = std::chrono::duration<double, std::micro>;
  const char* uri = std::getenv("LDAPURI");
  txads_bench::RawLdapClient raw(uri ? uri : "ldap://dc1.corp.example.com", base_dn());
  const std::string dn = std::string(question.rdns) + "," + base_dn();
  const std::string path = "LDAP://" + dn;
  char error[256];
  // The first calls also open the library's connections before timing.
  if (question.check(path.c_str(), error, sizeof error) != question.expected || !raw.bound() ||
      raw.exists(dn, question.filter) != question.raw_expected)
    unready = true;
  blocks->arrive_and_wait();
  if (unready) {
    state.SkipWithError("unexpected answer: is the test domain running?");
    return;
  }

  const int calls = 200 / state.threads();
  const double calls_in_block = calls * state.threads();
  std::vector<double> ratios, library_us, plain_us;
  double library_cpu = 0, plain_cpu = 0;
  const auto counted_before = txads::directory::operation_counts();
  for (auto _ : state) {
    blocks->arrive_and_wait();
    const auto start = Clock::now();
    double cpu = thread_cpu_us();
    for (int i = 0; i < calls; ++i)
      benchmark::DoNotOptimize(question.check(path.c_str(), error, sizeof error));
    library_cpu += thread_cpu_us() - cpu;
    blocks->arrive_and_wait();
    const auto middle = Clock::now();
    cpu = thread_cpu_us();
    for (int i = 0; i < calls; ++i) benchmark::DoNotOptimize(raw.exists(dn, question.filter));
    plain_cpu += thread_cpu_us() - cpu;
    blocks->arrive_and_wait();
    const Micros library = middle - start, plain = Clock::now() - middle;
    ratios.push_back(library / plain);
    library_us.push_back(library.count() / calls_in_block);
    plain_us.push_back(plain.count() / calls_in_block);
  }
  const auto counted_after = txads::directory::operation_counts();

  const double own_calls = static_cast<double>(state.iterations()) * calls;
  state.counters["txads_cpu_us"] =
      benchmark::Counter(library_cpu / own_calls, benchmark::Counter::kAvgThreads);
  state.counters["plain_cpu_us"] =
      benchmark::Counter(plain_cpu / own_calls, benchmark::Counter::kAvgThreads);
  // Counters are summed over threads; the rest, counted over all threads,
  // only the first thread reports.
  if (state.thread_index() != 0 || ratios.empty()) return;
  const auto [low, median, high] = quartiles(ratios);
  state.counters["ratio"] = median;
  state.counters["ratio_q1"] = low;
  state.counters["ratio_q3"] = high;
  state.counters["txads_us"] = quartiles(library_us)[1];
  state.counters["plain_us"] = quartiles(plain_us)[1];
  const double all_calls = own_calls * state.threads();
  state.counters["ldap_ops_per_call"] =
      static_cast<double>(counted_after.operations - counted_before.operations) / all_calls;
  state.counters["binds_per_call"] =
      static_cast<double>(counted_after.binds - counted_before.binds) / all_calls;
}

void ContainerExists(benchmark::State& state) {
  run(state, {TXADIsContainerExist, 0, "OU=Site", "(objectClass=*)", 1});
}
void GroupExists(benchmark::State& state) {
  run(state, {TXADIsGroupExist, 0, "CN=Lab Members,OU=Groups", "(objectClass=group)", 1});
}
void GroupAbsent(benchmark::State& state) {
  run(state, {TXADIsGroupExist, -3, "CN=No Such Group,OU=Groups", "(objectClass=group)", 0});
}

BENCHMARK(ContainerExists)->Setup(fresh_run)->Threads(1)->Threads(8)->Iterations(100);
BENCHMARK(GroupExists)->Setup(fresh_run)->Threads(1)->Threads(8)->Iterations(100);
BENCHMARK(GroupAbsent)->Setup(fresh_run)->Threads(1)->Threads(8)->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
