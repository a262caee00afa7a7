// IADs on bound objects: relative name, most specific class, own path, and
// attribute values typed by the schema.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

std::string at(const std::string& rdns) {
  return scratch::path(rdns + "," + scratch::base());
}

TEST(Objects, NameIsTheRdnAndClassTheMostSpecific) {
  struct Row {
    std::string path, name, class_name;
  };
  const Row rows[] = {
      {at("CN=Ann Archer,OU=Dev,OU=Staff"), "CN=Ann Archer", "user"},
      {at("CN=PC042,OU=Lab,OU=Site"), "CN=PC042", "computer"},
      {at("OU=Lab,OU=Site"), "OU=Lab", "organizationalUnit"},
      {at("CN=Smith\\, John,OU=Staff"), "CN=Smith\\, John", "user"},
      {at("CN=Lab Members,OU=Groups"), "CN=Lab Members", "group"},
      {at("CN=Equipment"), "CN=Equipment", "container"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    Object object;
    ASSERT_EQ(ads_get_object(row.path, object), kOk);
    std::string name, class_name, path;
    EXPECT_EQ(object.get_name(name), kOk);
    EXPECT_EQ(object.get_class(class_name), kOk);
    EXPECT_EQ(object.get_ads_path(path), kOk);
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(class_name, row.class_name);
    EXPECT_EQ(path, row.path);
  }
}

TEST(Objects, AttributesCarryTheirSchemaSyntax) {
  using S = Value::Syntax;
  struct Row {
    const char* attribute;
    S syntax;
  };
  const Row rows[] = {
      {"description", S::string},
      {"sAMAccountName", S::string},
      {"userAccountControl", S::integer},
      {"uSNChanged", S::large_integer},
      {"objectSid", S::sid},
      {"objectGUID", S::guid},
      {"whenCreated", S::time},
      {"memberOf", S::distinguished_name},
      {"objectClass", S::string},
  };
  User ann;
  ASSERT_EQ(ads_get_object(at("CN=Ann Archer,OU=Dev,OU=Staff"), ann), kOk);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.attribute);
    Value value;
    ASSERT_EQ(ann.get(row.attribute, value), kOk);
    EXPECT_EQ(value.syntax(), row.syntax);
    EXPECT_FALSE(value.empty());
  }
  Value value;
  ASSERT_EQ(ann.get("description", value), kOk);
  EXPECT_EQ(value.first(), "Developer");
  ASSERT_EQ(ann.get("objectSid", value), kOk);
  EXPECT_EQ(value.first().size(), 28u);  // S-1-5-21-a-b-c-rid
  ASSERT_EQ(ann.get("objectGUID", value), kOk);
  EXPECT_EQ(value.first().size(), 16u);
  ASSERT_EQ(ann.get("memberOf", value), kOk);
  const std::string lab = "CN=Lab Members,OU=Groups," + scratch::base();
  EXPECT_NE(std::find(value.values().begin(), value.values().end(), lab), value.values().end());
  ASSERT_EQ(ann.get("objectClass", value), kOk);
  EXPECT_EQ(value.values().back(), "user");

  Object builtin;
  ASSERT_EQ(ads_get_object(at("CN=Builtin"), builtin), kOk);
  ASSERT_EQ(builtin.get("isCriticalSystemObject", value), kOk);
  EXPECT_EQ(value.syntax(), S::boolean);
  EXPECT_EQ(value.first(), "TRUE");
}

TEST(Objects, AnAttributeWithoutValueIsPropertyNotFound) {
  Object eve;
  ASSERT_EQ(ads_get_object(at("CN=Eve Nogroup,OU=Office"), eve), kOk);
  Value value;
  EXPECT_EQ(eve.get("description", value).bits(), 0x8000500Du);
  EXPECT_EQ(eve.get("memberOf", value).bits(), 0x8000500Du);
  EXPECT_EQ(eve.get("noSuchAttributeAnywhere", value).bits(), 0x8000500Du);
}

TEST(Objects, AnUnboundHandleAnswersUnbound) {
  Object none;
  std::string text;
  Value value;
  EXPECT_EQ(none.get_name(text).bits(), 0x80005009u);
  EXPECT_EQ(none.get("cn", value).bits(), 0x80005009u);
  EXPECT_EQ(none.set_info().bits(), 0x80005009u);
  EXPECT_EQ(none.distinguished_name(), "");
}

}  // namespace
}  // namespace txads::directory
