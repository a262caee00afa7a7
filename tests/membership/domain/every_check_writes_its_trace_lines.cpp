// The trace lines of one call of each kind, exactly as written, in order.
#include <gtest/gtest.h>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

using Lines = std::vector<std::string>;

TEST(Trace, EveryExportStartsWithItsEntryLineBeforeLookingAtItsArguments) {
  char error[64];
  char found[64];
  const struct {
    const char* line;
    int (*call)(char*, char*);
  } cases[] = {
      {"run function 'TXADIsUserInContainer'.",
       [](char*, char* e) { return TXADIsUserInContainer(nullptr, nullptr, e, 64); }},
      {"run function 'TXADIsCurrentUserInContainer'.",
       [](char*, char* e) { return TXADIsCurrentUserInContainer(nullptr, e, 64); }},
      {"Check if user '(null)' in group '(null)'.",
       [](char*, char* e) { return TXADIsUserInGroup(nullptr, nullptr, e, 64); }},
      {"run function 'TXADIsCurrentUserInGroup'.",
       [](char*, char* e) { return TXADIsCurrentUserInGroup(nullptr, e, 64); }},
      {"run function 'TXADIsCurrentStationInContainer'.",
       [](char*, char* e) { return TXADIsCurrentStationInContainer(nullptr, e, 64); }},
      {"run function 'TXADIsStationInContainer'.",
       [](char*, char* e) { return TXADIsStationInContainer(nullptr, nullptr, e, 64); }},
      {"run function 'TXADIsStationInContainerEx'.",
       [](char* f, char* e) { return TXADIsStationInContainerEx(nullptr, nullptr, f, 64, e, 64); }},
      {"run function 'TXADIsStationInGroup'.",
       [](char*, char* e) { return TXADIsStationInGroup(nullptr, nullptr, e, 64); }},
      {"run function 'TXADIsCurrentStationInGroup'.",
       [](char*, char* e) { return TXADIsCurrentStationInGroup(nullptr, e, 64); }},
  };
  for (const auto& c : cases) {
    TraceCapture trace;
    EXPECT_EQ(c.call(found, error), -1) << c.line;
    const Lines lines = trace.lines();
    ASSERT_FALSE(lines.empty()) << c.line;
    EXPECT_EQ(lines.front(), c.line);
  }
}

TEST(Trace, TheUserWalkTracesEveryStep) {
  const std::string group = path_of(seeded("CN=Devs,OU=Dev,OU=Staff"));
  const std::string ann = "CN=ANN ARCHER,OU=DEV,OU=STAFF,DC=CORP,DC=EXAMPLE,DC=COM";
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", group.c_str(), error.data(), error.length()), 1);
  Lines lines = trace.lines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Check if user 'CORP\\ann' in group '" + group + "'.");
  EXPECT_EQ(lines[1], "run function 'IsUserInGroup' for user 'CORP\\ann', group '" + group + "'.");
  EXPECT_EQ(lines[2], "LDAP user name '" + ann + "'.");
  EXPECT_EQ(lines[3], "Getting AD object '" + group + "' was succesfully.");
  EXPECT_EQ(lines.back(), "user found.");
  // Every member before the match is compared, the match last.
  const std::string compare = "Compare users: '" + ann + "' and '";
  for (size_t i = 4; i + 1 < lines.size(); ++i)
    EXPECT_EQ(lines[i].rfind(compare, 0), 0u) << lines[i];
  EXPECT_EQ(lines[lines.size() - 2], compare + ann + "'.");
}

TEST(Trace, TheUserWalkTracesSubGroupsAndFailures) {
  const std::string nest5 = path_of(seeded("CN=Nest5,OU=Groups"));
  const std::string absent = path_of(seeded("CN=Nobody,OU=Groups"));
  {
    TraceCapture trace;
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", nest5.c_str(), error.data(), error.length()), 2);
    const Lines lines = trace.lines();
    // The SID rule then asks for the group's SID.
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], "run function 'TXADGetSIDFromName'.");
    EXPECT_EQ(lines[4].rfind("Found sub group: 'LDAP://", 0), 0u) << lines[4];
    EXPECT_NE(lines[4].find("CN=Nest6,OU=Groups,"), std::string::npos) << lines[4];
  }
  {
    TraceCapture trace;
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup("nobody", absent.c_str(), error.data(), error.length()), -1);
    const Lines lines = trace.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], "run function 'TXADGetSIDFromName'.");
    EXPECT_EQ(lines[2], "LDAP user name 'CN=NOBODY'.");
    EXPECT_EQ(lines[3], "cannot getting AD object '" + absent + "'.");
    EXPECT_EQ(lines[4].rfind("an AD error was occured, '", 0), 0u) << lines[4];
    EXPECT_NE(lines[4].find(error.text().substr(0, 20)), std::string::npos) << lines[4];
  }
}

TEST(Trace, GroupsGivenAsSidTextShowTheTranslationsFrame) {
  const std::string sid = sid_of(seeded("CN=Lab Members,OU=Groups"));
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsCurrentStationInGroup(sid.c_str(), error.data(), error.length()), 1);
  const Lines lines = trace.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "run function 'TXADIsCurrentStationInGroup'.");
  EXPECT_EQ(lines[1], "run function 'TXADIsStationInGroup'.");
  EXPECT_EQ(lines[2], "run function 'TXADGetNameFromSID'.");
}

TEST(Trace, TheStationWalkAndTheContainerChecksWriteOnlyTheirEntryLine) {
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const std::string site = path_of(seeded("OU=Site"));
  GuardedBuffer error, found;
  {
    TraceCapture trace;
    TXADIsStationInGroup("PC050", lab.c_str(), error.data(), error.length());
    // The walk is silent; the SID rule asks for the group's SID.
    EXPECT_EQ(trace.lines(), (Lines{"run function 'TXADIsStationInGroup'.",
                                    "run function 'TXADGetSIDFromName'."}));
  }
  {
    TraceCapture trace;
    TXADIsStationInContainerEx("PC042", site.c_str(), found.data(), found.length(), error.data(),
                               error.length());
    EXPECT_EQ(trace.lines(), Lines{"run function 'TXADIsStationInContainerEx'."});
  }
  {
    TraceCapture trace;
    TXADIsUserInContainer("CORP\\ann", site.c_str(), error.data(), error.length());
    EXPECT_EQ(trace.lines(), Lines{"run function 'TXADIsUserInContainer'."});
  }
}

}  // namespace
}  // namespace membership_test
