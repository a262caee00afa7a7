// With only a Kerberos ticket and the namespace's resolver, calls find the two
// controllers through DNS SRV records and keep answering while the one in use
// is frozen (one call waits the 5 s connect timeout) or stopped; only both
// down is "server down".
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "directory/avoided_servers.h"
#include "directory/pool.h"
#include "directory/servers.h"
#include "frame/system_messages.h"
#include "support/domain.h"
#include "support/process.h"
#include "txads.h"

namespace txads::directory {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const std::string kBase = txads_test::base_dn();
const std::string kSite = "LDAP://OU=Site," + kBase;

// Stops, freezes, thaws or starts controller 1 or 2 of the test domain.
void control(int controller, const std::string& action) {
  const auto result = txads_test::control_controller(controller, action);
  ASSERT_TRUE(result.ok()) << action << " dc" << controller << ": " << result.err;
}

struct BothControllersRestored {
  ~BothControllersRestored() {
    for (int controller : {1, 2}) control(controller, "start");
  }
};

int container_exists(const std::string& path, std::string* error = nullptr) {
  char text[256] = "";
  const int code = TXADIsContainerExist(path.c_str(), text, sizeof text);
  if (error) *error = text;
  return code;
}

TEST(Controllers, AreFoundThroughDnsForThePathOrTheRealmByEveryExport) {
  const std::string corp = "corp.example.com", dc2 = "dc2.corp.example.com";
  const char* realm = "ann@CORP.EXAMPLE.COM";
  const std::vector<std::string> both = {"dc1.corp.example.com", dc2}, none = {};
  const std::tuple<const char*, Endpoint, const char*, std::vector<std::string>> rows[] = {
      {"the path's DC= parts", Endpoint{"", "", 0, false, corp}, "", both},
      {"the realm, lower-cased", Endpoint(), realm, both},
      {"the domain as server", Endpoint{corp, corp, 0, false, corp}, "", both},
      {"a server that is a host", Endpoint{dc2, dc2, 0, false, ""}, "", {dc2}},
      {"the forest's global catalog", Endpoint{"", "", 0, true, ""}, realm, both},
      {"no domain at all", Endpoint(), "", none},
      {"an unknown domain", Endpoint{"", "", 0, false, "no-such-domain.example.com"}, "", none},
  };
  for (const auto& [what, where, principal, expected] : rows) {
    SCOPED_TRACE(what);
    Servers servers;
    EXPECT_EQ(find_servers(where, principal, servers).bits(), expected.empty() ? 0x8007203Au : 0);
    std::vector<std::string> hosts;
    for (const Target& target : *servers.targets) {
      hosts.push_back(target.host);
      EXPECT_NE(target.uri.find(where.global_catalog ? ":3268" : ":389"), std::string::npos);
    }
    std::sort(hosts.begin(), hosts.end());
    EXPECT_EQ(hosts, expected);
  }
  char out[256] = "", error[256] = "";  // and every export reaches them
  const std::string devs = "LDAP://CN=Devs,OU=Dev,OU=Staff," + kBase;
  const std::string ann = "CN=Ann Archer,OU=Dev,OU=Staff," + kBase;
  const std::tuple<const char*, int, int> exports[] = {
      {"on the domain's name", container_exists("LDAP://corp.example.com/OU=Site," + kBase), 0},
      {"member of a group", TXADIsUserInGroup("CORP\\ann", devs.c_str(), error, sizeof error), 1},
      {"value by account name",
       TXADGetValue("CORP\\ann", "description", out, sizeof out, error, sizeof error), 0},
      {"sid by dn", TXADGetSIDFromName(ann.c_str(), out, sizeof out), 1},
  };
  for (const auto& [what, code, expected] : exports)
    EXPECT_EQ(code, expected) << what << ": " << error;
}

// One call every 100 ms on a second thread while the controller in use is frozen,
// under kept connections, then with none kept (closed once the call in flight has
// moved on: the next call must not try the hung one again); then the other one, in
// use by then, stops and starts. Then both stop: server down, fast, until one is back.
TEST(Controllers, KeepAnsweringUntilBothAreDown) {
  BothControllersRestored restore;
  Servers servers;
  ASSERT_EQ(find_servers(Endpoint(), "x@CORP.EXAMPLE.COM", servers), kOk);
  ASSERT_EQ(servers.targets->size(), 2u);
  const std::string preferred = servers.targets->front().uri;
  const int first = servers.targets->front().host.rfind("dc2.", 0) == 0 ? 2 : 1, second = 3 - first;
  forget_avoided_server(preferred);
  ASSERT_EQ(container_exists(kSite), 0);  // connected to the first

  std::atomic<size_t> calls{0}, slow{0};
  std::atomic<bool> done{false};
  std::thread caller([&] {
    for (; !done; ++calls) {
      const auto start = Clock::now();
      std::string error;
      EXPECT_EQ(container_exists(kSite, &error), 0) << "call " << calls << ": " << error;
      // The connect timeout plus one call, once per freeze: a hung controller
      // tried again would cost a further second or more.
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
      // A normal call takes milliseconds, a hung controller the connect timeout (5 s).
      if (Clock::now() - start > milliseconds(2500)) ++slow;
      std::this_thread::sleep_for(milliseconds(100));
    }
  });
  const auto wait = [](int ms) { std::this_thread::sleep_for(milliseconds(ms)); };
  control(first, "freeze");  // the kept connection's call waits out the connect timeout
  wait(6000);
  drop_connections();
  wait(1000);
  control(first, "thaw");
  forget_avoided_server(preferred);  // back to the first
  drop_connections();
  wait(1000);
  control(first, "freeze");  // a new connection's call waits out the connect timeout
  drop_connections();
  wait(6000);
  drop_connections();
  wait(1000);
  control(first, "thaw");
  control(second, "stop");  // the one in use: kept connections to it are closed
  wait(2000);
  control(second, "start");
  wait(500);
  done = true;
  caller.join();

  EXPECT_GT(calls, 80u);
  EXPECT_LE(slow, 2u);

  control(first, "stop");
  control(second, "stop");
  for (int call = 0; call < 2; ++call) {  // a kept connection, then none
    const auto start = Clock::now();
    std::string error;
    EXPECT_EQ(container_exists(kSite, &error), -1);
    EXPECT_EQ(error, system_message(0x203A));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
  }
  control(second, "start");
  EXPECT_EQ(container_exists(kSite), 0);  // avoided, yet tried when nothing else is left
}

}  // namespace
}  // namespace txads::directory

// No configured server or base (read once, before the first call): DNS finds controllers.
int main(int argc, char** argv) {
  for (const char* name : {"LDAPURI", "LDAPHOST", "LDAPBASE", "LDAPNETWORK_TIMEOUT", "LDAPTIMEOUT"})
    unsetenv(name);
  setenv("LDAPCONF", "/dev/null", 1);  // the machine's ldap.conf might name a server
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
