// The change tests' tables. Each row calls one change export, named by its
// worker (CreateOU calls TXADCreateOU), with arguments written against the
// scratch OU, and states its result, its error buffer, its two trace lines
// (export, then worker) followed by what the server said of each refused
// operation, and the objects it removed, added or changed in the scratch OU,
// as the directory's own tools read them. In arguments and DNs
// "~" stands for the scratch OU's unique suffix, "@" alone for its path and
// "@X" for the path of X below it; DNs leave out the scratch OU's.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/scratch_ou.h"

namespace changes_test {

struct Row {
  std::string worker;
  std::vector<std::string> args;
  int code;
  std::string error;  // "" when the error buffer must stay untouched
  std::string diff;   // "-DN" removed, "+DN" added, "*DN" changed; "; " between
  // Words of the server's own message in each trace line of a refused
  // directory operation, in order; unchecked when not given.
  std::optional<std::vector<std::string>> said = std::nullopt;
};

inline const std::string kNoSuchObject = "The directory holds no object with that name.\n";
inline const std::string kBadPathname = "E_ADS_BAD_PATHNAME";
inline const std::string kInvalidArg = "One of the parameters given is not correct.\n";
inline const std::string kNoInterface = "80004002";
inline const std::string kUnwilling = "The directory server refused to carry out the request.\n";
inline const std::string kExists = "An object of that name exists already.\n";

class ChangeTable : public ::testing::Test {
 protected:
  std::string expand(std::string_view text) const;
  // The DN of `relative` (expanded) below the scratch OU.
  std::string dn(std::string_view relative) const { return expand(relative) + "," + ou_.dn(); }
  void run(const Row& row);

  txads_test::ScratchOu ou_{"changes"};
};

}  // namespace changes_test
