// A relative name reaches the directory only when it names one direct child:
// one attribute, "=", one value, with the directory's escaping. Anything that
// would name a deeper object or a multi-valued name is refused.
#include <gtest/gtest.h>

#include <string>

#include "changes/relative_name.h"

namespace txads {
namespace {

struct NameCase {
  std::string rdn;
  Status expected;
};

TEST(RelativeNamesNameExactlyOneChild, OnlySingleValuedSingleLevelNamesPass) {
  const NameCase cases[] = {
      {"OU=Sales", kOk},
      {"cn=PC042", kOk},
      {"OU=a\\,b", kOk},            // escaped comma: the unit "a,b"
      {"OU=a\\+b", kOk},            // escaped plus sign
      {"OU=a=b", kOk},              // "=" inside a value needs no escape
      {"OU=B\xC3\xBCro", kOk},      // non-ASCII letters
      {"OU=a,b", kBadPathname},     // unescaped comma: not a name
      {"OU=a,OU=b", kBadPathname},  // a unit below another child
      {"OU=a,DC=other,DC=org", kBadPathname},
      {"OU=a+b", kBadPathname},
      {"OU=a+CN=b", kBadPathname},  // multi-valued name
      {"OU=a;OU=b", kBadPathname},
      {"OU=a\\", kBadPathname},  // dangling escape
      {"OU=a\"b", kBadPathname},
      {"", kBadPathname},
      {"Sales", kBadPathname},
      {std::string("OU=a\0,OU=b", 10), kBadPathname},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check_single_child(c.rdn), c.expected) << c.rdn;
  }
}

}  // namespace
}  // namespace txads
