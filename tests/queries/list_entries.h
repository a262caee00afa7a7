// The lists the queries write into a caller's buffer: entries each followed
// by "|". The directory gives entries in no fixed order and a full buffer
// cuts a list after any of them, so a test names the pool the entries come
// from and how many of them it expects.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace queries_test {

inline std::multiset<std::string> entries_of(const std::string& list) {
  std::multiset<std::string> entries;
  size_t from = 0;
  for (size_t bar; (bar = list.find('|', from)) != std::string::npos; from = bar + 1) {
    entries.insert(list.substr(from, bar - from));
  }
  if (from != list.size()) entries.insert("(unterminated) " + list.substr(from));
  return entries;
}

// `list` holds `count` different entries of `pool`.
inline ::testing::AssertionResult lists(const std::string& list, size_t count,
                                        const std::string& pool) {
  const auto listed = entries_of(list);
  const auto allowed = entries_of(pool);
  if (listed.size() == count &&
      std::set<std::string>(listed.begin(), listed.end()).size() == count &&
      std::includes(allowed.begin(), allowed.end(), listed.begin(), listed.end())) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\"" << list << "\" is not " << count << " of " << pool;
}

}  // namespace queries_test
