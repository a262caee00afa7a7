// Directory queries against the test domain (run inside it:
// scripts/testdomain/run build/bench/queries_bench):
//   GetValue            TXADGetValue calls per second
//   ListUsers/1200      listings of 1,200 users, each next to 1,200 pauses
//                       of 1 ms alone (the floor as this machine's sleeps
//                       make it: each overshoots a little); the median of
//                       their ratios (floor_ratio 1.0 = the floor), the
//                       lowest and highest, and the mean of each in ms
//   PauseOneMillisecond one pause, to see how much the sleep overshoots
// The bench makes its own OU with the users (one ldapadd) and removes it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "floor_pairs.h"
#include "frame/pause.h"
#include "group_tree.h"
#include "txads.h"

namespace {

constexpr int kUsers = 1200;

std::string g_ou_dn;
std::string g_account;

bool set_up() {
  const char* base = std::getenv("LDAPBASE");
  if (base == nullptr) return false;
  const std::string tag = "qb" + std::to_string(getpid() % 100000);
  g_ou_dn = "OU=txads-queries-bench-" + tag + "," + base;
  g_account = "CORP\\" + tag + "val";
  std::string ldif = "dn: " + g_ou_dn + "\nobjectClass: organizationalUnit\n\n";
  ldif += "dn: CN=Bench Value," + g_ou_dn + "\nobjectClass: user\nsAMAccountName: " + tag +
          "val\ndescription: Bench value\n\n";
  // The users to list go one level down, so that the listing sees only them.
  ldif += "dn: OU=Many," + g_ou_dn + "\nobjectClass: organizationalUnit\n\n";
  for (int i = 0; i < kUsers; ++i) {
    ldif += "dn: CN=Bulk User " + std::to_string(10000 + i) + ",OU=Many," + g_ou_dn +
            "\nobjectClass: user\n\n";
  }
  return txads_bench::ldap_tool("ldapadd -Q -Y GSSAPI", ldif);
}

void tear_down() {
  txads_bench::ldap_tool("ldapdelete -Q -Y GSSAPI -r", g_ou_dn + "\n");
}

void GetValue(benchmark::State& state) {
  char value[128];
  char error[128];
  for (auto _ : state) {
    const int result =
        TXADGetValue(g_account.c_str(), "description", value, sizeof value, error, sizeof error);
    if (result != 0) state.SkipWithError(error);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GetValue)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(5);

void ListUsers(benchmark::State& state) {
  const std::string path = "LDAP://OU=Many," + g_ou_dn;
  std::vector<char> list(static_cast<size_t>(kUsers) * 16 + 1);
  char error[128];
  const auto listing = [&] {
    list[0] = '\0';
    if (TXADGetUserListFromContainer(path.c_str(), list.data(), static_cast<int>(list.size()),
                                     error, sizeof error) != 0)
      state.SkipWithError(error);
  };
  listing();  // untimed: opens and binds the connection
  txads_bench::FloorPairs pairs;
  for (auto _ : state) pairs.time(listing, kUsers);
  pairs.report(state, "listing_ms");
}
BENCHMARK(ListUsers)->Arg(kUsers)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void PauseOneMillisecond(benchmark::State& state) {
  txads::PreciseTimers precise;
  for (auto _ : state) txads::pause_one_millisecond();
}
BENCHMARK(PauseOneMillisecond)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!set_up()) {
    std::fprintf(stderr, "could not create the bench OU (run inside the test domain)\n");
    tear_down();
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  tear_down();
  benchmark::Shutdown();
  return 0;
}
