// A new station is written in five steps: the creating write ("name",
// "sAMAccountName"), the enabling write (userAccountControl as read back,
// less the disabled flag), and three best-effort writes. Only the first two
// decide the result. Faults are injected with the stand-in directory, which
// logs what would have reached the directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/station_placement.h"
#include "fault_directory.h"
#include "frame/error_text.h"

namespace txads {
namespace {

using Log = std::vector<std::string>;

const Log kCreatingWrite = {"bind container LDAP://OU=Lab,DC=corp", "create computer cn=PC7",
                            "put name=PC7", "put sAMAccountName=PC7$", "set_info"};
const Log kBestEffortWrites = {"put userAccountControl=4128",  "set_info",
                               "put sAMAccountType=805306369", "set_info",
                               "put primaryGroupID=515",       "set_info"};

Log concat(std::initializer_list<Log> parts) {
  Log all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string text_of(Status status) {
  char text[128];
  GetADSErrorText(status, {text, sizeof text});
  return text;
}

struct Outcome {
  int result;
  std::string error;  // "#" when the buffer was not touched
};

Outcome add_station() {
  char error[128];
  std::fill(std::begin(error), std::end(error), '#');
  error[127] = '\0';
  const int result = AddStationToContainer("PC7", "LDAP://OU=Lab,DC=corp", {error, 127});
  const std::string text(error);
  return {result, text.find_first_not_of('#') == std::string::npos ? "#" : text};
}

class ANewStationIsWrittenInFiveSteps : public ::testing::Test {
 protected:
  void SetUp() override { fault_directory::reset(); }
  fault_directory::Script& script = fault_directory::script();
};

TEST_F(ANewStationIsWrittenInFiveSteps, EachWriteCarriesItsOwnValues) {
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.error, "#");
  EXPECT_EQ(fault_directory::log(),
            concat({kCreatingWrite,
                    {"get userAccountControl", "put userAccountControl=4128", "set_info"},
                    kBestEffortWrites}));
}

TEST_F(ANewStationIsWrittenInFiveSteps, OnlyTheDisabledFlagIsClearedFromTheValueReadBack) {
  struct Case {
    const char* read;
    const char* written;
  };
  for (const Case& c :
       {Case{"4130", "4128"}, Case{"4128", "4128"}, Case{"546", "544"}, Case{"2", "0"},
        Case{"-2147483646", "-2147483648"}, Case{"2147483650", "-2147483648"}}) {
    fault_directory::reset();
    script.account_control = c.read;
    EXPECT_EQ(add_station().result, 0) << c.read;
    EXPECT_EQ(fault_directory::log().at(6), std::string("put userAccountControl=") + c.written)
        << c.read;
  }
}

TEST_F(ANewStationIsWrittenInFiveSteps, AValueThatCannotBeReadIsNotWrittenBack) {
  struct Case {
    Status read;
    const char* value;
    Status reported;
  };
  const Case cases[] = {
      {kPropertyNotFound, "", kPropertyNotFound},
      {kInsufficientRights, "", kInsufficientRights},
      {kOk, "enabled", Status(0x8000500Cu)},  // E_ADS_CANT_CONVERT_DATATYPE
      {kOk, "4294967296", Status(0x8000500Cu)},
  };
  for (const auto& c : cases) {
    fault_directory::reset();
    script.read_account_control = c.read;
    script.account_control = c.value;
    const Outcome outcome = add_station();
    EXPECT_EQ(outcome.result, -1) << c.value;
    EXPECT_EQ(outcome.error, text_of(c.reported)) << c.value;
    // The enabling write is skipped; the best-effort writes still follow.
    EXPECT_EQ(fault_directory::log(),
              concat({kCreatingWrite, {"get userAccountControl"}, kBestEffortWrites}))
        << c.value;
  }
}

TEST_F(ANewStationIsWrittenInFiveSteps, ARefusedEnablingWriteLeavesTheStationBehind) {
  script.set_info_fails[2] = kInsufficientRights;
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.error, text_of(kInsufficientRights));
  // Nothing deletes the station that was created.
  EXPECT_EQ(fault_directory::log(),
            concat({kCreatingWrite,
                    {"get userAccountControl", "put userAccountControl=4128", "set_info"},
                    kBestEffortWrites}));
}

TEST_F(ANewStationIsWrittenInFiveSteps, ARefusedCreatingWriteStopsEverything) {
  script.set_info_fails[1] = kAlreadyExists;
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.error, text_of(kAlreadyExists));
  EXPECT_EQ(fault_directory::log(), kCreatingWrite);
}

TEST_F(ANewStationIsWrittenInFiveSteps, ARefusedStagingIsReportedWithoutChangingTheResult) {
  script.put_fails["sAMAccountType"] = Status(0x80005006u);  // E_ADS_PROPERTY_NOT_SUPPORTED
  script.put_fails["primaryGroupID"] = Status(0x80005007u);  // E_ADS_PROPERTY_INVALID
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.error, "E_ADS_PROPERTY_INVALID");  // the last refusal's text
  EXPECT_EQ(fault_directory::log().size(), kCreatingWrite.size() + 3 + kBestEffortWrites.size());
}

TEST_F(ANewStationIsWrittenInFiveSteps, ALaterRefusedStagingReplacesTheEnablingWritesText) {
  script.set_info_fails[2] = kInsufficientRights;
  script.put_fails["primaryGroupID"] = Status(0x80005007u);
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.error, "E_ADS_PROPERTY_INVALID");
}

TEST_F(ANewStationIsWrittenInFiveSteps, RefusedBestEffortWritesAreNotLookedAt) {
  script.set_info_fails[3] = kUnwillingToPerform;
  script.set_info_fails[4] = kUnwillingToPerform;
  script.set_info_fails[5] = kUnwillingToPerform;
  const Outcome outcome = add_station();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.error, "#");
}

}  // namespace
}  // namespace txads
