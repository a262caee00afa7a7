// One table of read calls over the seeded tree. On 16 threads making the
// process's first calls at once, each call answers as it does on one thread,
// and no LDAP handle is made before libldap's globals are set up.
// Through a long life with controller restarts, answers stay the same and the
// process's descriptors and memory stay flat.
//   TXADS_STRESS_CALLS=N        calls per thread (default 200)
//   TXADS_LONG_LIFE="C O R"     C existence checks, O of every other call, R restarts
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <ldap.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <latch>
#include <sstream>
#include <thread>

#include "support/domain.h"
#include "txads.h"

// libldap sets up its global options when first asked for one, unguarded:
// handles made by several threads before that race on the set-up. Every
// handle the library makes passes through these stand-ins for libldap's
// handle makers (exported under libldap's symbol version, see
// libldap_handles.map), which count those made while libldap's globals were
// not set up yet (the first field of libldap's exported global options is 1
// once they are) and then call the real function: an observation only.
extern "C" char ldap_int_global_options[];

namespace {

std::atomic<int> handles_made{0}, handles_before_globals{0};

template <class Function>
Function real(const char* name) {
  return reinterpret_cast<Function>(dlvsym(RTLD_NEXT, name, "OPENLDAP_2.5"));
}

void count_handle() {
  short valid = 0;
  std::memcpy(&valid, ldap_int_global_options, sizeof valid);
  ++handles_made;
  if (valid != 1) ++handles_before_globals;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int ldap_initialize(LDAP** ld, const char* uri) {
  static const auto initialize = real<int (*)(LDAP**, const char*)>("ldap_initialize");
  count_handle();
  return initialize(ld, uri);
}

extern "C" __attribute__((visibility("default"))) int ldap_init_fd(ber_socket_t fd, int proto,
                                                                   const char* url, LDAP** ld) {
  static const auto init_fd = real<int (*)(ber_socket_t, int, const char*, LDAP**)>("ldap_init_fd");
  count_handle();
  return init_fd(fd, proto, url, ld);
}

namespace {

using txads_test::path_of;
using txads_test::seeded;
using Clock = std::chrono::steady_clock;

struct Row {
  const char* name;
  int result;  // expected, so that a call failing alike everywhere still fails
  std::function<std::string()> call;
};
constexpr size_t kExistenceRows = 3;  // the table's first rows

std::string answer(int result, const char* a, const char* b = "") {
  return std::to_string(result) + "|" + a + "|" + b;
}
// Strings, then the error buffer; with `out`, an output buffer before it.
template <bool out = false, class F, class... S>
std::function<std::string()> call(F f, S... s) {
  return [f, ... t = std::string(s)] {
    char text[512] = "", error[512] = "";
    if constexpr (out)
      return answer(f(t.c_str()..., text, 512, error, 512), text, error);
    else
      return answer(f(t.c_str()..., error, 512), error);
  };
}

const std::vector<Row>& rows() {
  static const std::vector<Row> table = [] {
    const std::string lab = path_of(seeded("OU=Lab,OU=Site")), site = path_of(seeded("OU=Site"));
    const std::string nest2 = path_of(seeded("CN=Nest2,OU=Groups"));
    const std::string ann = seeded("CN=Ann Archer,OU=Dev,OU=Staff"), sid = txads_test::sid_of(ann);
    return std::vector<Row>{
        // clang-format off
        {"IsContainerExist", 0, call(TXADIsContainerExist, lab)},
        {"IsContainerExist absent", -3, call(TXADIsContainerExist, path_of(seeded("OU=None")))},
        {"IsGroupExist", 0, call(TXADIsGroupExist, nest2)},
        {"IsUserInContainer", 1, call(TXADIsUserInContainer, "CORP\\ann", path_of(seeded("OU=Staff")))},
        {"IsCurrentUserInContainer", 1, call(TXADIsCurrentUserInContainer, path_of(seeded("CN=Users")))},
        {"IsUserInGroup nested", 1, call(TXADIsUserInGroup, "CORP\\dave", nest2)},
        {"IsCurrentUserInGroup", 1, call(TXADIsCurrentUserInGroup, path_of(seeded("CN=Domain Admins,CN=Users")))},
        {"IsCurrentStationInContainer", 1, call(TXADIsCurrentStationInContainer, site)},
        {"IsStationInContainer", 1, call(TXADIsStationInContainer, "PC044", lab)},
        {"IsStationInContainerEx", 1, call<true>(TXADIsStationInContainerEx, "PC044", site)},
        {"IsStationInGroup", 1, call(TXADIsStationInGroup, "PC044", nest2)},
        {"IsCurrentStationInGroup", 2, call(TXADIsCurrentStationInGroup, nest2)},
        {"GetSIDFromName", 1, [p = path_of(ann)] { char s[128] = ""; return answer(TXADGetSIDFromName(p.c_str(), s, 128), s); }},
        {"GetNameFromSID", 1, [sid] { char n[256] = "", p[512] = ""; return answer(TXADGetNameFromSID(sid.c_str(), n, 256, p, 512), n, p); }},
        {"GetValue", 0, call<true>(TXADGetValue, "CORP\\ann", "objectSid")},
        {"GetGroupList", 0, call<true>(TXADGetGroupList, "CORP\\ann")},
        {"GetUserListFromContainer", 0, call<true>(TXADGetUserListFromContainer, path_of(seeded("OU=Dev,OU=Staff")))},
        {"GetStationListFromContainer", 0, call<true>(TXADGetStationListFromContainer, lab)},
        // clang-format on
    };
  }();
  return table;
}

std::vector<long> numbers_from(const char* variable, std::vector<long> numbers) {
  std::istringstream in(std::getenv(variable) ? std::getenv(variable) : "");
  for (long& n : numbers) in >> n;
  return numbers;
}

TEST(Threads, SixteenAtOnceFromAColdStartAnswerAsOneThreadDoes) {
  constexpr size_t kThreads = 16;
  TXADSetRecursFlag(1);
  const auto& table = rows();
  const size_t calls = std::max(table.size(), size_t(numbers_from("TXADS_STRESS_CALLS", {200})[0]));
  std::vector<std::vector<std::string>> answers(kThreads);
  std::latch start(kThreads);
  Clock::time_point began = Clock::now();
  {
    std::vector<std::jthread> threads;
    for (size_t t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        start.arrive_and_wait();  // the process's first calls, all at once
        for (size_t i = 0; i < calls; ++i)
          answers[t].push_back(table[(i + t) % table.size()].call());
      });
    }
  }
  const std::chrono::duration<double> threaded = Clock::now() - began;
  EXPECT_GT(handles_made.load(), 0);  // the library's handles pass through the stand-in
  EXPECT_EQ(handles_before_globals.load(), 0);
  began = Clock::now();
  std::vector<std::string> alone;
  for (size_t i = 0; i < calls; ++i) alone.push_back(table[i % table.size()].call());
  const std::chrono::duration<double> single = Clock::now() - began;

  for (size_t r = 0; r < table.size(); ++r)
    EXPECT_EQ(std::stoi(alone[r]), table[r].result) << table[r].name << ": " << alone[r];
  size_t mismatches = 0;
  for (size_t t = 0; t < kThreads; ++t) {
    for (size_t i = 0; i < calls; ++i) {
      const size_t r = (i + t) % table.size();
      if (answers[t][i] != alone[r] && ++mismatches < 20)
        ADD_FAILURE() << table[r].name << " on thread " << t << ": " << answers[t][i];
    }
  }
  std::printf("%zu threads x %zu calls: %zu mismatches, %.0f calls/s; one thread: %.0f calls/s\n",
              kThreads, calls, mismatches, double(kThreads * calls) / threaded.count(),
              double(calls) / single.count());
}

// Open descriptors and resident KiB.
std::pair<long, long> usage() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return {std::distance(begin(fds), end(fds)), resident * sysconf(_SC_PAGESIZE) / 1024};
}

// Each existence row `checks` / 3 times in all, every other row `others`
// times, spread evenly over the rounds between restarts.
TEST(LongLife, ManyCallsAcrossControllerRestartsKeepAnswersDescriptorsAndMemory) {
  TXADSetRecursFlag(1);
  const auto numbers = numbers_from("TXADS_LONG_LIFE", {5000, 50, 2});
  const long checks = numbers[0], others = numbers[1], restarts = numbers[2];
  const auto& table = rows();
  std::vector<std::string> expected;
  for (const Row& row : table) expected.push_back(row.call());  // and every path warmed up
  const auto [fds, rss] = usage();
  for (long round = 0; round <= restarts; ++round) {
    for (const char* action : {"stop", "start"}) {  // the controller in use restarts
      if (round == 0) break;
      const auto result = txads_test::control_controller(1, action);
      ASSERT_TRUE(result.ok()) << action << ": " << result.err;
    }
    for (size_t r = 0; r < table.size(); ++r) {
      const long total = r < kExistenceRows ? checks / long{kExistenceRows} : others;
      const long n = total * (round + 1) / (restarts + 1) - total * round / (restarts + 1);
      long same = 0;
      while (same < n && table[r].call() == expected[r]) ++same;
      EXPECT_EQ(same, n) << table[r].name << " answered otherwise in round " << round;
    }
    EXPECT_LE(usage().first, fds) << "descriptors after round " << round;  // none kept for good
  }
  std::printf(
      "%ld checks, %ld of every other call, %ld restarts: descriptors %ld -> %ld, "
      "RSS %ld -> %ld KiB\n",
      checks, others, restarts, fds, usage().first, rss, usage().second);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  EXPECT_LT(usage().second, rss + 4096);  // sanitizers keep freed memory; LeakSanitizer judges
#endif
}

}  // namespace
