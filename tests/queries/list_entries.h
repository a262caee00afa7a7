// The lists the queries write into a caller's buffer: entries each followed
// by "|". The directory gives entries in no fixed order and a full buffer
// cuts a list after any of them, so a test names the pool the entries come
// from and how many of them it expects.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace queries_test {

// `list` is `count` different entries of `pool`, each followed by "|".
inline ::testing::AssertionResult lists(const std::string& list, size_t count,
                                        const std::string& pool) {
  std::set<std::string> entries;
  size_t from = 0;
  for (size_t bar; (bar = list.find('|', from)) != std::string::npos; from = bar + 1) {
    const std::string entry = list.substr(from, bar - from);
    if (("|" + pool).find("|" + entry + "|") == std::string::npos) break;
    entries.insert(entry);
  }
  if (from == list.size() && entries.size() == count) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << '"' << list << "\" is not " << count << " of " << pool;
}

}  // namespace queries_test
