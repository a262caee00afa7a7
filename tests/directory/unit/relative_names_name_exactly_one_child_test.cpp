// A relative name reaches the directory only when it names one direct child:
// one attribute, "=", one value, with the directory's escaping. Anything that
// would name a deeper object or a multi-valued name is refused.
#include <gtest/gtest.h>

#include <string>

#include "directory/ldap_path.h"

namespace txads::directory {
namespace {

struct NameCase {
  std::string rdn;
  bool single;
};

TEST(RelativeNamesNameExactlyOneChild, OnlySingleValuedSingleLevelNamesPass) {
  const NameCase cases[] = {
      {"OU=Sales", true},
      {"cn=PC042", true},
      {"OU=a\\,b", true},        // escaped comma: the unit "a,b"
      {"OU=a\\+b", true},        // escaped plus sign
      {"OU=a=b", true},          // "=" inside a value needs no escape
      {"OU=B\xC3\xBCro", true},  // non-ASCII letters
      {"OU=a,b", false},         // unescaped comma: not a name
      {"OU=a,OU=b", false},      // a unit below another child
      {"OU=a,DC=other,DC=org", false},
      {"OU=a+b", false},
      {"OU=a+CN=b", false},  // multi-valued name
      {"OU=a;OU=b", false},
      {"OU=a\\", false},  // dangling escape
      {"OU=a\"b", false},
      {"", false},
      {"Sales", false},
      {std::string("OU=a\0,OU=b", 10), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_single_rdn(c.rdn), c.single) << c.rdn;
  }
}

}  // namespace
}  // namespace txads::directory
