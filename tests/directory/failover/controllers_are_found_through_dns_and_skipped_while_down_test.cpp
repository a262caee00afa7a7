// With only a Kerberos ticket and the namespace's resolver, calls find the
// domain's two controllers through DNS SRV records and keep answering while
// the one in use is frozen or stopped: a hung controller costs one call the
// connect timeout (5 s) and later calls nothing, a stopped one nothing
// noticeable, and only both down is "server down". Every test puts both controllers back as it
// found them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
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
  const char* script = std::getenv("TXADS_TESTDOMAIN_DC_CONTROL");
  ASSERT_NE(script, nullptr);
  const auto result = txads_test::run_tool({script, std::to_string(controller), action});
  ASSERT_TRUE(result.ok()) << action << " dc" << controller << ": " << result.err;
}

// Leaves both controllers running, whatever the test did to them.
struct BothControllersRestored {
  ~BothControllersRestored() {
    for (int controller : {1, 2}) control(controller, "start");
  }
};

// The controller number (1, 2) of a host name "dc2.corp.example.com".
int number_of(const std::string& host) {
  return host.rfind("dc2.", 0) == 0 ? 2 : 1;
}

int container_exists(const std::string& path, std::string* error = nullptr) {
  char text[256] = "";
  const int code = TXADIsContainerExist(path.c_str(), text, sizeof text);
  if (error) *error = text;
  return code;
}

TEST(Controllers, AreFoundThroughDnsForThePathTheBaseOrTheRealm) {
  struct Row {
    const char* what;
    Endpoint endpoint;
    std::string principal;
    uint32_t status;
    std::vector<std::string> hosts;  // in either order
    int port;
  };
  const std::vector<std::string> both = {"dc1.corp.example.com", "dc2.corp.example.com"};
  Endpoint named_domain, named_controller, catalog;
  named_domain.server = named_domain.host = "corp.example.com";
  named_domain.domain = "corp.example.com";
  named_controller.server = named_controller.host = "dc2.corp.example.com";
  catalog.global_catalog = true;
  Endpoint path_domain, unknown_domain;
  path_domain.domain = "corp.example.com";
  unknown_domain.domain = "no-such-domain.example.com";
  const std::vector<Row> rows = {
      {"the path's DC= parts", path_domain, "", 0, both, 389},
      {"the realm, lower-cased", Endpoint(), "ann@CORP.EXAMPLE.COM", 0, both, 389},
      {"a path server that is the domain", named_domain, "", 0, both, 389},
      {"a path server that is a host", named_controller, "", 0, {"dc2.corp.example.com"}, 389},
      {"the forest's global catalog", catalog, "ann@CORP.EXAMPLE.COM", 0, both, 3268},
      {"no domain at all", Endpoint(), "", 0x8007203A, {}, 0},
      {"a domain DNS does not know", unknown_domain, "", 0x8007203A, {}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Servers servers;
    EXPECT_EQ(find_servers(row.endpoint, row.principal, servers).bits(), row.status);
    std::vector<std::string> hosts;
    for (const Target& target : servers.targets) {
      hosts.push_back(target.host);
      EXPECT_NE(target.uri.find(":" + std::to_string(row.port)), std::string::npos) << target.uri;
    }
    std::sort(hosts.begin(), hosts.end());
    EXPECT_EQ(hosts, row.hosts);
  }
}

TEST(Controllers, AnswerEveryExportWithoutAConfiguredServer) {
  struct Row {
    const char* what;
    int code;
    int expected;
  };
  char out[256] = "", error[256] = "";
  const std::string devs = "LDAP://CN=Devs,OU=Dev,OU=Staff," + kBase;
  const std::string ann = "CN=Ann Archer,OU=Dev,OU=Staff," + kBase;
  const std::vector<Row> rows = {
      {"container by its dn", container_exists(kSite), 0},
      {"absent container", container_exists("LDAP://OU=Absent," + kBase), -3},
      {"container on the domain's name",
       container_exists("LDAP://corp.example.com/OU=Site," + kBase), 0},
      {"group", TXADIsGroupExist(devs.c_str(), error, sizeof error), 0},
      {"member of a group", TXADIsUserInGroup("CORP\\ann", devs.c_str(), error, sizeof error), 1},
      {"value by account name",
       TXADGetValue("CORP\\ann", "description", out, sizeof out, error, sizeof error), 0},
      {"sid by dn", TXADGetSIDFromName(ann.c_str(), out, sizeof out), 1},
  };
  for (const Row& row : rows) EXPECT_EQ(row.code, row.expected) << row.what << ": " << error;
}

// One call every 100 ms on a second thread while the controller in use is
// frozen, first under kept connections, then with none kept (each time,
// once the call in flight has moved on, the kept connections are closed: the
// next call must not try the hung one again), and then the other one, in use
// by then, is stopped and started.
TEST(Controllers, KeepAnsweringWhileTheOneInUseFreezesOrStops) {
  BothControllersRestored restore;
  Servers servers;
  ASSERT_EQ(find_servers(Endpoint(), "x@CORP.EXAMPLE.COM", servers), kOk);
  ASSERT_EQ(servers.targets.size(), 2u);
  const std::string preferred = servers.targets[0].uri;
  const int first = number_of(servers.targets[0].host);
  const int second = 3 - first;
  forget_avoided_server(preferred);
  ASSERT_EQ(container_exists(kSite), 0);  // connected to the first

  struct Call {
    Clock::duration took;
    int code;
    std::string error;
  };
  std::vector<Call> calls;
  std::atomic<bool> done{false};
  std::thread caller([&] {
    while (!done) {
      const auto start = Clock::now();
      std::string error;
      const int code = container_exists(kSite, &error);
      calls.push_back({Clock::now() - start, code, error});
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

  ASSERT_GT(calls.size(), 80u);
  Clock::duration longest{};
  size_t slow = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].code, 0) << "call " << i << ": " << calls[i].error;
    longest = std::max(longest, calls[i].took);
    if (calls[i].took > milliseconds(900)) ++slow;  // a normal call takes milliseconds
  }
  // The connect timeout plus one call, not two timeouts; once per freeze:
  // a hung controller tried again costs a further second or more.
  EXPECT_LT(longest, std::chrono::seconds(8));
  EXPECT_LE(slow, 2u);
  std::printf("calls %zu, longest %lld ms, slow %zu\n", calls.size(),
              static_cast<long long>(std::chrono::duration_cast<milliseconds>(longest).count()),
              slow);
}

TEST(Controllers, AreServerDownOnlyWhenBothAreDown) {
  BothControllersRestored restore;
  ASSERT_EQ(container_exists(kSite), 0);
  control(1, "stop");
  ASSERT_EQ(container_exists(kSite), 0);  // the other one answers
  control(2, "stop");
  for (int call = 0; call < 2; ++call) {  // a kept connection, then none
    const auto start = Clock::now();
    std::string error;
    EXPECT_EQ(container_exists(kSite, &error), -1);
    EXPECT_EQ(error, system_message(0x203A));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
  }
  control(2, "start");
  EXPECT_EQ(container_exists(kSite), 0);  // avoided, yet tried when nothing else is left
}

}  // namespace
}  // namespace txads::directory
