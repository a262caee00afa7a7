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
// Each runs on 1 and 8 threads, the two sides in pairs of blocks of about 200
// calls over all threads, all threads together, 100 pairs; the sides take
// turns to go first. On a machine whose speed drifts (the server shares it),
// neighbouring blocks meet the same conditions, which repetitions run
// seconds apart need not. Before every pair both sides open new connections
// (untimed): the server's workers take connections as they come, and a
// share-out kept for a whole run favoured one side or the other for all of it.
// Counters: the median ratio of a library block's time to the plain block's
// of its pair, and its quartiles; each side's median µs per call (over all
// threads) and CPU µs per call; the library's LDAP operations and binds per
// call in the blocks.
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
#include "in_turns.h"
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
std::atomic<bool> enough;  // the library keeps a connection for every thread

void fresh_run(const benchmark::State& state) {
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
  const std::string dn = std::string(question.rdns) + "," + base_dn();
  const std::string path = "LDAP://" + dn;
  char error[256];
  std::unique_ptr<txads_bench::RawLdapClient> raw;
  // New connections for both sides; false when an answer was not the
  // expected one. The library's are opened by first calls of all threads at
  // once, again until it keeps one for each thread (a thread that comes late
  // takes one given back).
  const auto reconnect = [&] {
    raw.reset();
    if (state.thread_index() == 0) txads::directory::drop_connections();
    raw = std::make_unique<txads_bench::RawLdapClient>(uri ? uri : "ldap://dc1.corp.example.com",
                                                       base_dn());
    bool answered = raw->bound() && raw->exists(dn, question.filter) == question.raw_expected;
    for (int round = 0; round < 20; ++round) {
      blocks->arrive_and_wait();
      answered = question.check(path.c_str(), error, sizeof error) == question.expected && answered;
      blocks->arrive_and_wait();
      if (state.thread_index() == 0)
        enough = txads::directory::kept_connections() >= static_cast<size_t>(state.threads());
      blocks->arrive_and_wait();
      if (enough) break;
    }
    return answered;
  };
  if (!reconnect()) unready = true;
  blocks->arrive_and_wait();
  if (unready) {
    state.SkipWithError("unexpected answer: is the test domain running?");
    return;
  }

  const int calls = 200 / state.threads();
  const double calls_in_block = calls * state.threads();
  std::vector<double> ratios, library_us, plain_us;
  double library_cpu = 0, plain_cpu = 0;
  txads::directory::OperationCounts counted{};
  // One side's block on this thread: its time (after all threads finished)
  // and the CPU time of this thread's calls.
  const auto block = [&](bool library) {
    const auto start = Clock::now();
    const double cpu = thread_cpu_us();
    for (int i = 0; i < calls; ++i) {
      benchmark::DoNotOptimize(library ? question.check(path.c_str(), error, sizeof error)
                                       : raw->exists(dn, question.filter));
    }
    (library ? library_cpu : plain_cpu) += thread_cpu_us() - cpu;
    blocks->arrive_and_wait();
    return Micros(Clock::now() - start);
  };
  for (auto _ : state) {
    if (!ratios.empty()) reconnect();
    blocks->arrive_and_wait();  // no call under way: counted before the pair
    const auto counted_before = txads::directory::operation_counts();
    blocks->arrive_and_wait();
    // The sides take turns to go first: a block that follows the other
    // side's (or new connections) meets no conditions of its own.
    const auto [library, plain] = txads_bench::in_turns(
        ratios.size() % 2 == 0, [&] { return block(true); }, [&] { return block(false); });
    // Only the library's calls count operations.
    const auto counted_after = txads::directory::operation_counts();
    ratios.push_back(library / plain);
    library_us.push_back(library.count() / calls_in_block);
    plain_us.push_back(plain.count() / calls_in_block);
    counted.operations += counted_after.operations - counted_before.operations;
    counted.binds += counted_after.binds - counted_before.binds;
  }

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
  state.counters["ldap_ops_per_call"] = static_cast<double>(counted.operations) / all_calls;
  state.counters["binds_per_call"] = static_cast<double>(counted.binds) / all_calls;
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
