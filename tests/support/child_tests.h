// Disabled tests run in a child process of the test binary, for settings
// that libldap reads once per process (LDAPURI, LDAPTIMEOUT and the like).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process.h"

namespace txads_test {

// Runs the disabled tests that the gtest `filter` names, with `env` entries
// added to the environment; all `count` of them must pass.
inline void expect_child_tests_pass(const std::string& filter, const std::vector<std::string>& env,
                                    int count = 1) {
  const ToolResult child = run_tool(
      {"/proc/self/exe", "--gtest_also_run_disabled_tests", "--gtest_filter=" + filter}, {}, env);
  EXPECT_EQ(child.status, 0) << child.out;
  const std::string passed =
      "[  PASSED  ] " + std::to_string(count) + (count == 1 ? " test." : " tests.");
  EXPECT_NE(child.out.find(passed), std::string::npos) << child.out;
}

}  // namespace txads_test
