// Membership checks against the test domain (run inside it:
// scripts/testdomain/run build/bench/membership_bench):
//   UserInNestedGroup  TXADIsUserInGroup with the recursion flag set; the
//                      named group holds 10 groups, the last of which holds
//                      the next 10, four levels deep; the user is a member of
//                      the last group of the deepest level (41 member walks).
//   StationInOuTree    TXADIsStationInContainerEx; three levels of 5 OUs (the
//                      first OU of each level holds the next level), 20
//                      computers in every OU, the station in the last OU of
//                      the deepest level.
//   StationWalkPaced   TXADIsStationInContainerEx through 153 OUs and 3,366
//                      computers, the station in none, each walk next to
//                      its 1 ms pauses alone: the median of their ratios
//                      (floor_ratio), the lowest and highest, the mean of
//                      each in ms.
// Counters: LDAP operations per call (directory operation counter); for the
// first two also per member walk and calls per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "directory/operation_counter.h"
#include "floor_pairs.h"
#include "group_tree.h"
#include "txads.h"

namespace {

using txads_bench::ldap_tool;

std::string base() {
  const char* b = std::getenv("LDAPBASE");
  return b ? b : "";
}

std::string add(const std::string& dn, const std::string& body) {
  return "dn: " + dn + "\nchangetype: add\n" + body + "\n";
}

struct Tree {
  std::string root;
  std::string top_path;
  std::string station;  // the last computer made
  explicit Tree(const std::string& name) {
    root = "OU=" + name + "-" + std::to_string(getpid()) + "," + base();
  }
  ~Tree() { ldap_tool("ldapdelete -Q -Y GSSAPI -r '" + root + "'", ""); }
};

std::string group_tree(Tree& tree) {
  const std::string tag = std::to_string(getpid() % 100000);
  std::string ldif = add(tree.root, "objectClass: organizationalUnit\n");
  auto group = [&](const std::string& name) {
    const std::string dn = "CN=" + name + "," + tree.root;
    ldif += add(dn, "objectClass: group\nsAMAccountName: b" + name + tag + "\n");
    return dn;
  };
  std::string holder = group("Top");
  tree.top_path = "LDAP://" + holder;
  std::string members;
  for (int level = 1; level <= 4; ++level) {
    std::string last;
    for (int i = 0; i < 10; ++i) {
      std::string name = "L";  // appended: GCC 12 warns falsely of "L" + std::string
      name.append(std::to_string(level)).append("g").append(std::to_string(i));
      last = group(name);
      members += "dn: " + holder + "\nchangetype: modify\nadd: member\nmember: " + last + "\n\n";
    }
    holder = last;
  }
  members += "dn: " + holder + "\nchangetype: modify\nadd: member\nmember: CN=Ann Archer,OU=Dev," +
             "OU=Staff," + base() + "\n\n";
  return ldif + members;
}

std::string ou_tree(Tree& tree) {
  std::string ldif = add(tree.root, "objectClass: organizationalUnit\n");
  tree.top_path = "LDAP://" + tree.root;
  std::string parent = tree.root;
  const std::string tag = std::to_string(getpid() % 100000);
  int computer = 0;
  for (int level = 1; level <= 3; ++level) {
    std::string first;
    for (int i = 0; i < 5; ++i) {
      const std::string ou =
          "OU=L" + std::to_string(level) + "u" + std::to_string(i) + "," + parent;
      ldif += add(ou, "objectClass: organizationalUnit\n");
      if (i == 0) first = ou;
      for (int c = 0; c < 20; ++c) {
        const std::string name = "B" + tag + "n" + std::to_string(computer++);
        ldif += add("CN=" + name + "," + ou, "objectClass: computer\nsAMAccountName: " + name +
                                                 "$\nuserAccountControl: 4096\n");
      }
    }
    parent = first;
  }
  tree.station = "B" + tag + "n" + std::to_string(computer - 1);
  return ldif;
}

// A wide tree for the paced walk: the root holds 8 OUs, each of them 18 more
// (153 OUs), each OU 22 computers (3,366); the station looked for is in none.
std::string wide_ou_tree(Tree& tree, int& computers) {
  std::string ldif = add(tree.root, "objectClass: organizationalUnit\n");
  tree.top_path = "LDAP://" + tree.root;
  const std::string tag = std::to_string(getpid() % 100000);
  computers = 0;
  auto add_ou = [&](const std::string& dn) {
    ldif += add(dn, "objectClass: organizationalUnit\n");
    for (int c = 0; c < 22; ++c) {
      const std::string name = "W" + tag + "n" + std::to_string(computers++);
      ldif += add("CN=" + name + "," + dn, "objectClass: computer\nsAMAccountName: " + name +
                                               "$\nuserAccountControl: 4096\n");
    }
  };
  for (int i = 0; i < 8; ++i) {
    const std::string branch = "OU=B" + std::to_string(i) + "," + tree.root;
    add_ou(branch);
    for (int j = 0; j < 18; ++j) add_ou("OU=S" + std::to_string(j) + "," + branch);
  }
  for (int c = 0; c < 22; ++c) {  // the root's own computers
    const std::string name = "W" + tag + "n" + std::to_string(computers++);
    ldif += add("CN=" + name + "," + tree.root,
                "objectClass: computer\nsAMAccountName: " + name + "$\nuserAccountControl: 4096\n");
  }
  tree.station = "W" + tag + "absent";
  return ldif;
}

void report(benchmark::State& state, uint64_t operations, double walks_per_call) {
  const double calls = static_cast<double>(state.iterations());
  state.counters["ldap_ops_per_call"] = static_cast<double>(operations) / calls;
  if (walks_per_call > 0)
    state.counters["ldap_ops_per_walk"] = static_cast<double>(operations) / calls / walks_per_call;
  state.counters["calls_per_s"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
}

void UserInNestedGroup(benchmark::State& state) {
  Tree tree("txads-bench-groups");
  if (!ldap_tool("ldapmodify -Q -Y GSSAPI -c", group_tree(tree))) {
    state.SkipWithError("cannot build the group tree (run inside the test domain)");
    return;
  }
  TXADSetRecursFlag(1);
  char error[512];
  const uint64_t before = txads::directory::operation_counts().operations;
  for (auto _ : state) {
    if (TXADIsUserInGroup("CORP\\ann", tree.top_path.c_str(), error, sizeof error) != 1) {
      state.SkipWithError("the user was not found");
      break;
    }
  }
  report(state, txads::directory::operation_counts().operations - before, 41);
  TXADSetRecursFlag(0);
}

void StationInOuTree(benchmark::State& state) {
  Tree tree("txads-bench-ous");
  if (!ldap_tool("ldapmodify -Q -Y GSSAPI -c", ou_tree(tree))) {
    state.SkipWithError("cannot build the OU tree (run inside the test domain)");
    return;
  }
  char found[520];
  char error[512];
  const uint64_t before = txads::directory::operation_counts().operations;
  for (auto _ : state) {
    if (TXADIsStationInContainerEx(tree.station.c_str(), tree.top_path.c_str(), found, sizeof found,
                                   error, sizeof error) != 1) {
      state.SkipWithError("the station was not found");
      break;
    }
  }
  report(state, txads::directory::operation_counts().operations - before, 0);
}

// The walk pauses 1 ms after each computer it reads; the floor is those
// pauses alone (each overshoots a little), timed next to every walk.
void StationWalkPaced(benchmark::State& state) {
  Tree tree("txads-bench-wide");
  int computers = 0;
  if (!ldap_tool("ldapmodify -Q -Y GSSAPI -c", wide_ou_tree(tree, computers))) {
    state.SkipWithError("cannot build the OU tree (run inside the test domain)");
    return;
  }
  char found[520];
  char error[512];
  const auto walk = [&] {
    if (TXADIsStationInContainerEx(tree.station.c_str(), tree.top_path.c_str(), found, sizeof found,
                                   error, sizeof error) != 2)
      state.SkipWithError("the absent station was found, or the walk failed");
  };
  walk();  // untimed: opens and binds the connections
  txads_bench::FloorPairs pairs;
  uint64_t operations = 0;
  for (auto _ : state) {
    const uint64_t before = txads::directory::operation_counts().operations;
    pairs.time(walk, computers);
    operations += txads::directory::operation_counts().operations - before;
  }
  state.counters["ldap_ops_per_call"] =
      static_cast<double>(operations) / static_cast<double>(state.iterations());
  pairs.report(state, "walk_ms");
}

BENCHMARK(UserInNestedGroup)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(StationInOuTree)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(StationWalkPaced)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
