// The moves and the group changes hand the found object's own path to the
// directory. When that path cannot be read, the failure is reported and
// nothing is moved or changed. Faults are injected with the stand-in
// directory, which logs what would have reached the directory.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "changes/station_groups.h"
#include "changes/station_placement.h"
#include "fault_directory.h"
#include "frame/error_text.h"

namespace txads {
namespace {

using Log = std::vector<std::string>;

struct Change {
  const char* name;
  std::function<int(OutputBuffer)> call;
  Log found;      // the calls up to and including the path read
  Log completed;  // the calls that follow a good path
};

const Change kChanges[] = {
    {"MoveUserToContainer",
     [](OutputBuffer e) { return MoveUserToContainer("Ann", "LDAP://OU=A", "LDAP://OU=B", e); },
     {"bind container LDAP://OU=A", "get_object user cn=Ann", "get_ads_path"},
     {"bind container LDAP://OU=B", "move_here LDAP://cn=Ann,OU=A"}},
    {"MoveStationToContainer",
     [](OutputBuffer e) { return MoveStationToContainer("PC", "LDAP://OU=A", "LDAP://OU=B", e); },
     {"bind container LDAP://OU=A", "get_object computer cn=PC", "get_ads_path"},
     {"bind container LDAP://OU=B", "move_here LDAP://cn=PC,OU=A"}},
    {"AddStationToGroup",
     [](OutputBuffer e) { return AddStationToGroup("PC", "LDAP://OU=A", "LDAP://CN=G", e); },
     {"bind container LDAP://OU=A", "get_object computer cn=PC", "get_ads_path"},
     {"bind group LDAP://CN=G", "add LDAP://cn=PC,OU=A"}},
    {"DeleteStationFromGroup",
     [](OutputBuffer e) { return DeleteStationFromGroup("PC", "LDAP://OU=A", "LDAP://CN=G", e); },
     {"bind container LDAP://OU=A", "get_object computer cn=PC", "get_ads_path"},
     {"bind group LDAP://CN=G", "remove LDAP://cn=PC,OU=A"}},
};

std::string call(const Change& change, int& result) {
  char error[128] = {};
  result = change.call({error, sizeof error});
  return error;
}

TEST(MovesAndGroupChangesNeedTheObjectsOwnPath, AGoodPathIsHandedOn) {
  for (const auto& change : kChanges) {
    fault_directory::reset();
    int result = -2;
    EXPECT_EQ(call(change, result), "") << change.name;
    EXPECT_EQ(result, 0) << change.name;
    Log expected = change.found;
    expected.insert(expected.end(), change.completed.begin(), change.completed.end());
    EXPECT_EQ(fault_directory::log(), expected) << change.name;
  }
}

TEST(MovesAndGroupChangesNeedTheObjectsOwnPath, AFailedPathReadIsReportedAndNothingChanges) {
  for (const auto& change : kChanges) {
    fault_directory::reset();
    fault_directory::script().path_read = kInsufficientRights;
    int result = 0;
    char expected[128] = {};
    GetADSErrorText(kInsufficientRights, {expected, sizeof expected});
    EXPECT_EQ(call(change, result), expected) << change.name;
    EXPECT_EQ(result, -1) << change.name;
    EXPECT_EQ(fault_directory::log(), change.found) << change.name;
  }
}

TEST(MovesAndGroupChangesNeedTheObjectsOwnPath, AnEmptyPathIsAFailedRead) {
  for (const auto& change : kChanges) {
    fault_directory::reset();
    fault_directory::script().empty_path = true;
    int result = 0;
    EXPECT_EQ(call(change, result), "80004005") << change.name;
    EXPECT_EQ(result, -1) << change.name;
    EXPECT_EQ(fault_directory::log(), change.found) << change.name;
  }
}

}  // namespace
}  // namespace txads
