// The cost of a frozen controller to a process that finds the test domain's
// controllers through DNS (run inside the domain, on an instance of your own:
// scripts/testdomain/run build/bench/failover_bench). Two child processes
// each start cold (no kept connection, no DNS answer, no avoided server) and
// time TXADIsContainerExist of the seeded OU=Site: the first call, then the
// next 100 calls. In the first both controllers are up; in the second the
// controller the process prefers is frozen (SIGSTOP) for its calls and thawed
// afterwards. A plain program rather than a Google Benchmark: the figure of
// interest is one first call per process.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "directory/identity.h"
#include "directory/servers.h"
#include "txads.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool control(int controller, const char* action) {
  const char* script = std::getenv("TXADS_TESTDOMAIN_DC_CONTROL");
  if (script == nullptr) return false;
  const std::string command = std::string(script) + " " + std::to_string(controller) + " " + action;
  return std::system(command.c_str()) == 0;
}

int scenario(bool freeze_first) {
  using namespace txads::directory;
  Servers servers;
  if (find_servers(Endpoint(), current_identity()->principal, servers).failed() ||
      servers.targets->empty()) {
    std::fprintf(stderr, "failover_bench: DNS names no controller: run it in the test domain\n");
    return 1;
  }
  const std::string& first = servers.targets->front().host;
  const int controller = first.rfind("dc2.", 0) == 0 ? 2 : 1;
  if (freeze_first && !control(controller, "freeze")) return 1;

  const std::string path = "LDAP://OU=Site,DC=corp,DC=example,DC=com";
  char error[256];
  int wrong = 0;
  auto start = Clock::now();
  wrong += TXADIsContainerExist(path.c_str(), error, sizeof error) != 0;
  const double first_call = ms_since(start);
  double slowest = 0;
  start = Clock::now();
  for (int i = 0; i < 100; ++i) {
    const auto call = Clock::now();
    wrong += TXADIsContainerExist(path.c_str(), error, sizeof error) != 0;
    slowest = std::max(slowest, ms_since(call));
  }
  const double next_calls = ms_since(start);
  if (freeze_first) control(controller, "thaw");
  std::printf("%-28s first call %8.1f ms   next 100 calls %8.1f ms (slowest %.1f ms)%s\n",
              freeze_first ? ("dc" + std::to_string(controller) + " (preferred) frozen").c_str()
                           : "both controllers up",
              first_call, next_calls, slowest, wrong ? "   WRONG ANSWERS" : "");
  std::fflush(stdout);  // the child ends with _exit
  return wrong ? 1 : 0;
}

}  // namespace

int main() {
  // No OpenLDAP configuration: the controllers come from DNS.
  for (const char* name : {"LDAPURI", "LDAPHOST", "LDAPBASE"}) unsetenv(name);
  int failed = 0;
  for (const bool freeze_first : {false, true}) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) _exit(scenario(freeze_first));
    int status = 0;
    waitpid(child, &status, 0);
    failed |= !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  }
  return failed;
}
