// Decided without a server: the order of a domain's controllers from their
// SRV records (lowest priority first, a weighted draw within a priority,
// weight 0 first), and lost servers moved behind every other one, the one
// lost longest ago first.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "directory/avoided_servers.h"
#include "directory/locator.h"

namespace txads::directory {
namespace {

std::vector<std::string> targets(const std::vector<ServiceRecord>& records) {
  std::vector<std::string> names;
  for (const ServiceRecord& record : records) names.push_back(record.target);
  return names;
}

TEST(ServiceRecords, AreOrderedByPriorityThenWeightedDraws) {
  const std::vector<ServiceRecord> mixed = {
      {10, 0, 389, "a"}, {0, 5, 389, "b"}, {0, 0, 389, "c"}, {0, 10, 389, "d"}};
  const std::vector<ServiceRecord> light_heavy = {{0, 1, 389, "light"}, {0, 99, 389, "heavy"}};
  struct Row {
    const char* what;
    std::vector<ServiceRecord> records;
    uint32_t (*draw)(uint32_t total);
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"draws of 0", mixed, [](uint32_t) { return 0u; }, {"c", "b", "d", "a"}},
      {"draws of the total", mixed, [](uint32_t total) { return total; }, {"d", "b", "c", "a"}},
      {"a draw past the light one",
       light_heavy,
       [](uint32_t total) { return total / 2; },
       {"heavy", "light"}},
      {"a draw within the light one", light_heavy, [](uint32_t) { return 1u; }, {"light", "heavy"}},
      {"none", {}, [](uint32_t) { return 0u; }, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(targets(order_service_records(row.records, row.draw)), row.expected) << row.what;
  }
}

TEST(ServiceRecords, ComeFirstAsOftenAsTheirWeightSays) {
  std::mt19937 engine(42);
  const auto draw = [&](uint32_t total) {
    return std::uniform_int_distribution<uint32_t>(0, total)(engine);
  };
  int heavy_first = 0;
  for (int i = 0; i < 1000; ++i) {
    const auto ordered =
        order_service_records({{0, 10, 389, "light"}, {0, 90, 389, "heavy"}}, draw);
    if (ordered.front().target == "heavy") ++heavy_first;
  }
  EXPECT_GT(heavy_first, 850);
  EXPECT_LT(heavy_first, 950);
}

TEST(AvoidedServers, GoLastTheOneLostLongestAgoFirstUntilTheyAnswer) {
  const std::vector<std::string> servers = {"ldap://unit-a:1", "ldap://unit-b:1",
                                            "ldap://unit-c:1"};
  avoid_server(servers[1]);
  avoid_server(servers[0]);
  EXPECT_TRUE(server_avoided(servers[0]));
  EXPECT_FALSE(server_avoided(servers[2]));
  EXPECT_EQ(order_avoided_last(servers),
            (std::vector<std::string>{servers[2], servers[1], servers[0]}));
  forget_avoided_server(servers[1]);
  EXPECT_EQ(order_avoided_last(servers),
            (std::vector<std::string>{servers[1], servers[2], servers[0]}));
  forget_avoided_server(servers[0]);
  EXPECT_EQ(order_avoided_last(servers), servers);
}

}  // namespace
}  // namespace txads::directory
