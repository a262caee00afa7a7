// The change tests' tables. Each row calls one change export with arguments
// written against the test's scratch OU and states what the call leaves
// behind: its result, its error buffer, its two trace lines (export, then
// worker) and the objects it removed, added or changed in the scratch OU,
// read with the directory's own tools.
//
// In arguments and DNs, "~" stands for the scratch OU's unique suffix ("PC~"
// is a station name no concurrent test uses), "@" alone for the scratch OU's
// path and "@X" for the path of X below it; DNs are written without the
// scratch OU's own DN.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/scratch_ou.h"

namespace changes_test {

// The export TXAD<name> and the name of its worker.
#define CHANGE(name) TXAD##name, #name

struct Call {
  using Two = int (*)(const char*, const char*, char*, int);
  using Three = int (*)(const char*, const char*, const char*, char*, int);
  Call(Two f, const char* worker_name, std::string a, std::string b)
      : two(f), worker(worker_name), args{std::move(a), std::move(b)} {}
  Call(Three f, const char* worker_name, std::string a, std::string b, std::string c)
      : three(f), worker(worker_name), args{std::move(a), std::move(b), std::move(c)} {}
  Two two = nullptr;
  Three three = nullptr;
  std::string worker;
  std::vector<std::string> args;
};

struct Row {
  std::string what;
  Call call;
  int code;
  std::string error;  // "" when the error buffer must stay untouched
  std::string diff;   // "-DN" removed, "+DN" added, "*DN" changed; "; " between
};

// Error texts the rows expect.
inline const std::string kNoSuchObject = "The directory holds no object with that name.\n";
inline const std::string kBadPathname = "E_ADS_BAD_PATHNAME";
inline const std::string kInvalidArg = "One of the parameters given is not correct.\n";
inline const std::string kNoInterface = "80004002";

class ChangeTable : public ::testing::Test {
 protected:
  std::string expand(std::string_view text) const;
  // The DN of `relative` (expanded) below the scratch OU.
  std::string dn(std::string_view relative) const;
  void run(const Row& row);

  txads_test::ScratchOu ou_{"changes"};
};

}  // namespace changes_test
