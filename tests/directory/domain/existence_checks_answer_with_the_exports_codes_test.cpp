// TXADIsContainerExist and TXADIsGroupExist through their exports: result
// codes, error buffers, the same answers from 8 threads at once, and one
// LDAP request per check once the connection is kept.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "directory/operation_counter.h"
#include "scratch.h"
#include "txads.h"

namespace {

std::string at(const std::string& rdns) {
  return scratch::path(rdns + "," + scratch::base());
}

struct Check {
  std::string path;
  int container, group;
  bool container_error_text, group_error_text;
};

std::vector<Check> checks() {
  return {
      {at("OU=Site"), 0, -1, false, true},
      {at("CN=Equipment"), 0, -1, false, true},
      {at("CN=Lab Members,OU=Groups"), -1, 0, true, false},
      {at("CN=Ann Archer,OU=Dev,OU=Staff"), -1, -1, true, true},
      {at("OU=Deleted Long Ago"), -3, -3, false, false},
      {"LDAP://", -3, -1, false, true},
      {"", -3, -1, false, true},
      {"LDAP://x", -1, -1, true, true},  // 8 characters: bound, no such server
      {"ldap://" + scratch::base(), -1, -1, true, true},
      {"LDAP://127.0.0.1:1/" + scratch::base(), -1, -1, true, true},
  };
}

int container_exists(const std::string& path, std::string& error) {
  char buffer[256];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  const int result = TXADIsContainerExist(path.c_str(), buffer, 200);
  error.assign(buffer, 256);
  return result;
}

int group_exists(const std::string& path, std::string& error) {
  char buffer[256];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  const int result = TXADIsGroupExist(path.c_str(), buffer, 200);
  error.assign(buffer, 256);
  return result;
}

// The buffer holds one terminated text, zeros to its length, and nothing
// written past the length.
void expect_error_text(const std::string& buffer, bool expected) {
  const std::string untouched(200, '#');
  if (!expected) {
    EXPECT_EQ(buffer.substr(0, 200), untouched);
  } else {
    const size_t length = buffer.find('\0');
    ASSERT_LT(length, 200u);
    EXPECT_GT(length, 0u);
    EXPECT_EQ(buffer.find_first_not_of('\0', length), 200u);
  }
  EXPECT_EQ(buffer.substr(200), std::string(56, '#'));
}

TEST(ExistenceChecks, ResultCodesAndErrorTextsAsDefined) {
  for (const Check& c : checks()) {
    SCOPED_TRACE(c.path);
    std::string error;
    EXPECT_EQ(container_exists(c.path, error), c.container);
    expect_error_text(error, c.container_error_text);
    EXPECT_EQ(group_exists(c.path, error), c.group);
    expect_error_text(error, c.group_error_text);
  }
  char untouched[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(TXADIsContainerExist(nullptr, untouched, 4), -3);
  EXPECT_EQ(TXADIsGroupExist(nullptr, untouched, 4), -1);
  EXPECT_EQ(TXADIsGroupExist(at("OU=Site").c_str(), nullptr, 0), -1);  // no buffer, no crash
}

TEST(ExistenceChecks, TheErrorTextNamesTheReason) {
  std::string error;
  ASSERT_EQ(group_exists("ldap://" + scratch::base(), error), -1);
  EXPECT_EQ(std::string(error.c_str()), "E_ADS_BAD_PATHNAME");
}

TEST(ExistenceChecks, EightThreadsGetTheAnswersOfOne) {
  const std::vector<Check> all = checks();
  std::vector<std::string> failures[8];
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) {
        for (const Check& c : all) {
          if (c.path.find("127.0.0.1:1") != std::string::npos) continue;
          char error[128];
          if (TXADIsContainerExist(c.path.c_str(), error, sizeof error) != c.container ||
              TXADIsGroupExist(c.path.c_str(), error, sizeof error) != c.group)
            failures[t].push_back(c.path);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const auto& f : failures) EXPECT_TRUE(f.empty()) << f.front();
}

TEST(ExistenceChecks, AfterTheFirstCallEachCheckIsOneRequestAndNoBind) {
  char error[128];
  const std::string container = at("OU=Site"), group = at("CN=Lab Members,OU=Groups");
  ASSERT_EQ(TXADIsContainerExist(container.c_str(), error, sizeof error), 0);
  const auto before = txads::directory::operation_counts();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(TXADIsContainerExist(container.c_str(), error, sizeof error), 0);
    ASSERT_EQ(TXADIsGroupExist(group.c_str(), error, sizeof error), 0);
    ASSERT_EQ(TXADIsGroupExist(at("CN=Gone,OU=Groups").c_str(), error, sizeof error), -3);
  }
  const auto after = txads::directory::operation_counts();
  EXPECT_EQ(after.operations - before.operations, 60u);
  EXPECT_EQ(after.binds, before.binds);
  EXPECT_EQ(after.connections, before.connections);
}

}  // namespace
