// Filter escaping (RFC 4515) and the schema syntax table.
#include <gtest/gtest.h>

#include <string>

#include "directory/schema.h"
#include "directory/search.h"

namespace txads::directory {
namespace {

TEST(FilterValues, SpecialCharactersAreEscaped) {
  EXPECT_EQ(escape_filter_value("*)(objectClass=*"), "\\2a\\29\\28objectClass=\\2a");
  EXPECT_EQ(escape_filter_value("CN=Smith\\, John"), "CN=Smith\\5c, John");
  EXPECT_EQ(escape_filter_value(std::string("a\0b", 3)), "a\\00b");
  EXPECT_EQ(escape_filter_value("Jürgen"), "Jürgen");
  EXPECT_EQ(escape_filter_value(""), "");
}

struct SyntaxRow {
  const char* oid;
  int om;
  const char* attribute;
  Value::Syntax syntax;
};

TEST(SchemaSyntaxes, AttributeSyntaxesMapToValueSyntaxes) {
  using S = Value::Syntax;
  const SyntaxRow rows[] = {
      {"2.5.5.1", 127, "member", S::distinguished_name},
      {"2.5.5.8", 1, "isCriticalSystemObject", S::boolean},
      {"2.5.5.9", 2, "userAccountControl", S::integer},
      {"2.5.5.9", 10, "groupType", S::integer},
      {"2.5.5.11", 24, "whenCreated", S::time},
      {"2.5.5.11", 23, "someUtcTime", S::time},
      {"2.5.5.16", 65, "lastLogonTimestamp", S::large_integer},
      {"2.5.5.17", 4, "objectSid", S::sid},
      {"2.5.5.10", 4, "objectGUID", S::guid},
      {"2.5.5.10", 4, "userCertificate", S::octets},
      {"2.5.5.15", 66, "nTSecurityDescriptor", S::octets},
      {"2.5.5.12", 64, "description", S::string},
      {"2.5.5.4", 20, "sAMAccountType?", S::string},
      {"2.5.5.7", 127, "msDS-RevealedUsers", S::string},
  };
  for (const SyntaxRow& row : rows) {
    SCOPED_TRACE(row.attribute);
    EXPECT_EQ(syntax_of(row.oid, row.om, row.attribute), row.syntax);
  }
}

}  // namespace
}  // namespace txads::directory
