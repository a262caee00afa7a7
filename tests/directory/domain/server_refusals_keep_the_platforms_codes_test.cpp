// Refusals that only the server can give, provoked on a scratch OU: each
// reaches the caller with the platform's code for that LDAP result.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

class ServerRefusals : public ::testing::Test {
 protected:
  scratch::Ou ou{"refusals"};
  Container container;
  void SetUp() override { ASSERT_EQ(ads_get_object(ou.path(), container), kOk); }

  Status create_with(const char* class_name, const char* rdn, const char* attribute, Value value) {
    Object child;
    Status status = container.create(class_name, rdn, child);
    if (status.failed()) return status;
    if (attribute != nullptr) {
      status = child.put(attribute, std::move(value));
      if (status.failed()) return status;
    }
    return child.set_info();
  }
};

TEST_F(ServerRefusals, ObjectClassViolation) {
  // An organizational unit may not hold an account name.
  EXPECT_EQ(create_with("organizationalUnit", "OU=Bad", "sAMAccountName", Value::of("x")).bits(),
            0x80072014u);
}

TEST_F(ServerRefusals, NamingViolation) {
  // A plain container cannot hold an organizational unit.
  ASSERT_EQ(ou.add("CN=Holder", "container"), 0);
  ASSERT_EQ(ads_get_object(scratch::path("CN=Holder," + ou.dn()), container), kOk);
  EXPECT_EQ(create_with("organizationalUnit", "OU=Inside", nullptr, {}).bits(), 0x80072037u);
}

TEST_F(ServerRefusals, ConstraintViolation) {
  // wWWHomePage holds a single value.
  EXPECT_EQ(create_with("organizationalUnit", "OU=Two", "wWWHomePage",
                        Value(Value::Syntax::string, {"http://a", "http://b"}))
                .bits(),
            0x8007202Fu);
}

TEST_F(ServerRefusals, AttributeOrValueExistsAndNoSuchAttribute) {
  ASSERT_EQ(
      ou.add("CN=Team", "group", "sAMAccountName: refusals-" + std::to_string(getpid()) + "\n"), 0);
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path("CN=Team," + ou.dn()), group), kOk);
  ASSERT_EQ(group.put("otherTelephone", Value(Value::Syntax::string, {"1", "1"})), kOk);
  EXPECT_EQ(group.set_info().bits(), 0x8007200Du);
  Group again;  // a fresh handle: the refused value above stays staged on the first
  ASSERT_EQ(ads_get_object(scratch::path("CN=Team," + ou.dn()), again), kOk);
  ASSERT_EQ(again.put("noSuchAttributeAnywhere", Value::of("x")), kOk);
  EXPECT_EQ(again.set_info().bits(), 0x8007200Au);
}

TEST_F(ServerRefusals, UnwillingToPerform) {
  // An object cannot be moved below itself.
  ASSERT_EQ(ou.add("OU=Parent", "organizationalUnit"), 0);
  ASSERT_EQ(ou.add("OU=Child,OU=Parent", "organizationalUnit"), 0);
  Container child;
  ASSERT_EQ(ads_get_object(scratch::path("OU=Child,OU=Parent," + ou.dn()), child), kOk);
  const Status status = child.move_here(scratch::path("OU=Parent," + ou.dn()), nullptr);
  EXPECT_EQ(status.bits(), 0x80072035u);
  EXPECT_TRUE(scratch::exists("OU=Child,OU=Parent," + ou.dn()));
}

TEST_F(ServerRefusals, InvalidDnSyntaxFromTheServer) {
  Object object;
  EXPECT_EQ(ads_get_object("LDAP://<GUID=not-a-guid>", object).bits(), 0x80072032u);
}

}  // namespace
}  // namespace txads::directory
