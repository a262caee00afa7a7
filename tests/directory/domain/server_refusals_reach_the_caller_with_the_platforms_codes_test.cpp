// Refusals provoked for real in a scratch OU reach the caller with the code
// it branches on, and leave the directory as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "directory/ads.h"
#include "support/scratch_ou.h"

namespace txads::directory {
namespace {

using txads_test::object_exists;
using txads_test::path_of;

Status create_ou(const std::string& parent_path, const char* rdn) {
  Container parent;
  Object child;
  Status status = ads_get_object(parent_path, parent);
  if (status == kOk) status = parent.create("organizationalUnit", rdn, child);
  return status == kOk ? child.set_info() : status;
}

TEST(ServerRefusals, ReachTheCallerWithThePlatformsCodes) {
  const std::pair<std::function<Status(txads_test::ScratchOu&)>, uint32_t> rows[] = {
      {[](auto& ou) {
         ou.add_ou("Twice");
         return create_ou(ou.path(), "OU=Twice");
       },
       0x80071392},
      {[](auto& ou) {  // not allowed on a non-leaf
         ou.add_ou("Kid", ou.add_ou("Parent"));
         Container container;
         EXPECT_EQ(ads_get_object(ou.path(), container), kOk);
         const Status status = container.delete_object("organizationalUnit", "OU=Parent");
         EXPECT_TRUE(object_exists("OU=Kid,OU=Parent," + ou.dn()));
         return status;
       },
       0x80072015},
      {[](auto& ou) {  // unwilling: a move below itself
         const std::string up = ou.add_ou("Up");
         Container down;
         EXPECT_EQ(ads_get_object(path_of(ou.add_ou("Down", up)), down), kOk);
         const Status status = down.move_here(path_of(up), nullptr);
         EXPECT_TRUE(object_exists("OU=Down," + up));
         return status;
       },
       0x80072035},
      {[](auto& ou) {  // insufficient rights
         txads_test::AsUser eve("eve");
         const Status status = create_ou(ou.path(), "OU=Denied");
         EXPECT_FALSE(object_exists("OU=Denied," + ou.dn()));
         return status;
       },
       0x80072098},
      {[](auto& ou) {  // no ticket: no logon session
         txads_test::AsUser nobody("/nonexistent/txads-no-cache");
         Container container;
         return ads_get_object(ou.path(), container);
       },
       0x80070520},
  };
  for (const auto& [provoke, code] : rows) {
    txads_test::ScratchOu ou("refusals");
    EXPECT_EQ(provoke(ou).bits(), code) << std::hex << code;
  }
}

}  // namespace
}  // namespace txads::directory
