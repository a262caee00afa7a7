// Each question asked by the library and by a plain LDAP client, over a relay
// that adds no delay and then 10 ms in each direction (20 ms round trip), in
// one process. Run inside the test domain:
//   scripts/testdomain/run build/bench/slow_link_bench [part of a question's name]
// Every connection of both goes through a relay: the library's LDAP
// connections through one listening on every address (LDAPURI names it by
// 127.0.0.1, so the library reconnects to it under the controller's host
// name for Kerberos), its global catalog connections (always port 3268 of the
// configured host) through a second on 127.0.0.1:3268; the plain client
// reaches the first under the controller's host name.
// Prints a Markdown table: milliseconds per call of each, their ratio, the
// library's LDAP operations per call and the request/response turn-arounds
// per call that the relays saw.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "directory/operation_counter.h"
#include "group_tree.h"
#include "raw_ldap_client.h"
#include "support/slow_link.h"
#include "txads.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

struct Question {
  const char* name;
  std::function<bool()> library;
  std::function<bool()> raw;
  int calls = 50;  // without delay; a fifth of them over the slow link
};

struct Measured {
  double ms_per_call = 0;
  double operations = 0;
  double round_trips = 0;
  uint64_t bytes = 0;
};

// The controller's LDAP port and its global catalog, each behind a relay.
struct Links {
  txads_test::SlowLink ldap;
  txads_test::SlowLink gc;
  explicit Links(const std::string& controller)
      : ldap("0.0.0.0", 0, controller, 389), gc("127.0.0.1", 3268, controller, 3268) {}
  void set_delay(std::chrono::milliseconds one_way) {
    ldap.set_delay(one_way);
    gc.set_delay(one_way);
  }
  txads_test::LinkCounts counts() const {
    const auto a = ldap.counts(), b = gc.counts();
    return {a.bytes_to_server + b.bytes_to_server, a.bytes_to_client + b.bytes_to_client,
            a.round_trips + b.round_trips, a.connections + b.connections};
  }
};

// Adds `calls` calls of `call` to `m`: their time, the library's operations
// and the turn-arounds the relays saw.
void measure(const std::function<bool()>& call, int calls, const Links& link, Measured& m,
             bool& ok) {
  const auto operations = txads::directory::operation_counts().operations;
  const auto before = link.counts();
  const auto start = Clock::now();
  for (int i = 0; i < calls; ++i) ok = call() && ok;
  const std::chrono::duration<double, std::milli> took = Clock::now() - start;
  const auto after = link.counts();
  m.ms_per_call += took.count();
  m.operations += static_cast<double>(txads::directory::operation_counts().operations - operations);
  m.round_trips += static_cast<double>(after.round_trips - before.round_trips);
  m.bytes += after.bytes_to_server - before.bytes_to_server;
}

// The question's calls by both, in alternating blocks of a tenth of them
// (each side going first in turn), so that both meet the same drift in the
// machine's speed; the totals per call.
void measure_both(const Question& q, int calls, const Links& link, Measured& library,
                  Measured& plain, bool& ok) {
  const int block = std::max(1, calls / 10);
  for (int done = 0, turn = 0; done < calls; done += block, ++turn) {
    const int n = std::min(block, calls - done);
    if (turn % 2 == 0) measure(q.library, n, link, library, ok);
    measure(q.raw, n, link, plain, ok);
    if (turn % 2 == 1) measure(q.library, n, link, library, ok);
  }
  for (Measured* m : {&library, &plain}) {
    m->ms_per_call /= calls;
    m->operations /= calls;
    m->round_trips /= calls;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";  // ask only questions naming this
  std::signal(SIGPIPE, SIG_IGN);
  const std::string host = env("TXADS_TESTDOMAIN_DC1", "dc1.corp.example.com");
  const std::string address = env("TXADS_TESTDOMAIN_DC1_ADDRESS", "127.0.0.11");
  const std::string base = env("LDAPBASE", "DC=corp,DC=example,DC=com");
  // Made before LDAPURI names the relay: the directory's tools go straight to the controller.
  const txads_bench::GroupTree tree(base, 10, 3);
  if (!tree.made()) {
    std::fprintf(stderr, "cannot make the group tree (run inside the test domain)\n");
    return 1;
  }
  Links link(address);
  if (!link.ldap.listening() || !link.gc.listening()) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1:%d or :3268\n", link.ldap.port());
    return 1;
  }
  const std::string port = std::to_string(link.ldap.port());
  setenv("LDAPURI", ("ldap://127.0.0.1:" + port).c_str(), 1);  // before the library's first call
  const std::string uri = "ldap://" + host + ":" + port;
  txads_bench::RawLdapClient raw(uri, base);
  if (!raw.bound()) {
    std::fprintf(stderr, "the plain client could not bind to %s\n", uri.c_str());
    return 1;
  }

  char error[256];
  char buffer[1024];
  const std::string nest1 = "CN=Nest1,OU=Groups," + base;
  const std::string site = "OU=Site," + base;
  const std::string staff = "OU=Staff," + base;
  TXADSetRecursFlag(1);
  const std::string wide_name =
      "wide nested user in group (" + std::to_string(tree.groups()) + " groups below Top)";
  const Question questions[] = {
      {wide_name.c_str(),
       [&] {
         return TXADIsUserInGroup("CORP\\ann", ("LDAP://" + tree.top_dn()).c_str(), error, 256) ==
                2;
       },
       [&] { return raw.user_in_group("ann", tree.top_dn(), 3) == 2; }, 5},
      {"nested user in group (Nest1..Nest6)",
       [&] {
         return TXADIsUserInGroup("CORP\\dave", ("LDAP://" + nest1).c_str(), error, 256) == 2;
       },
       [&] { return raw.user_in_group("dave", nest1, 4) == 2; }},
      {"station walk (PC044 in OU=Site)",
       [&] {
         return TXADIsStationInContainerEx("PC044", ("LDAP://" + site).c_str(), buffer, 1024, error,
                                           256) == 1;
       },
       [&] { return raw.station_container("PC044", site) == "OU=Lab," + site; }},
      {"user listing (OU=Staff, 2 users)",
       [&] {
         buffer[0] = '\0';
         return TXADGetUserListFromContainer(("LDAP://" + staff).c_str(), buffer, 1024, error,
                                             256) == 0;
       },
       [&] { return raw.count_users(staff) == 2; }},
      {"existence (OU=Site)",
       [&] { return TXADIsContainerExist(("LDAP://" + site).c_str(), error, 256) == 0; },
       [&] { return raw.exists(site) == 1; }, 500},
  };

  std::printf(
      "| Question | Round trip | txads ms/call | raw ms/call | txads/raw | "
      "txads LDAP ops/call | txads round trips/call | raw round trips/call |\n"
      "|---|---|---|---|---|---|---|---|\n");
  bool ok = true;
  for (const auto& q : questions) {
    if (std::string(q.name).find(only) == std::string::npos) continue;
    for (const int one_way : {0, 10}) {
      link.set_delay(std::chrono::milliseconds(one_way));
      bool answered = q.library() && q.raw();  // warm-up: connections, caches
      const int calls = one_way == 0 ? q.calls : std::max(1, q.calls / 5);
      Measured lib, plain;
      measure_both(q, calls, link, lib, plain, answered);
      if (!answered || lib.bytes == 0 || plain.bytes == 0) {
        std::fprintf(stderr, "%s: unexpected answer or traffic not through the relay\n", q.name);
        ok = false;
      }
      std::printf("| %s | %d ms | %.2f | %.2f | %.2f | %.1f | %.1f | %.1f |\n", q.name, 2 * one_way,
                  lib.ms_per_call, plain.ms_per_call, lib.ms_per_call / plain.ms_per_call,
                  lib.operations, lib.round_trips, plain.round_trips);
      std::fflush(stdout);
    }
  }
  const auto total = link.counts();
  // Every connection the library opened must show up at the relays twice
  // (reached by address, then again under the host name), next to the plain
  // client's one.
  const auto library = txads::directory::operation_counts();
  std::printf(
      "\nrelays: %llu connections (txads opened %llu, the plain client 1), %llu bytes "
      "to the server, %llu to the client\n",
      static_cast<unsigned long long>(total.connections),
      static_cast<unsigned long long>(library.connections),
      static_cast<unsigned long long>(total.bytes_to_server),
      static_cast<unsigned long long>(total.bytes_to_client));
  if (total.connections != 2 * library.connections + 1) {
    std::fprintf(stderr, "some connection did not go through the relays\n");
    ok = false;
  }
  return ok ? 0 : 1;
}
