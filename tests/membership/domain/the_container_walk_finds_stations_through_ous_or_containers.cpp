// TXADIsStationInContainerEx walks sub-containers depth first, through
// organisational units only or through containers only, and returns the
// path it built for the container that holds the station directly.
//
// Scratch tree:            Site (OU)
//                 Lab (OU)   Box (container)   Deep (OU)   PCTOP
//                 PCLAB      PCBOX             Inner (container)
//                                              PCINNER
#include <gtest/gtest.h>

#include "checks.h"
#include "frame/error_text.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

class ContainerWalk : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new ScratchOu;
    site_ = scratch_->add_ou("Site");
    scratch_->add_computer("PCLAB", scratch_->add_ou("Lab", site_));
    scratch_->add_computer("PCBOX", scratch_->add_container("Box", site_));
    const std::string deep = scratch_->add_ou("Deep", site_);
    scratch_->add_computer("PCINNER", scratch_->add_container("Inner", deep));
    scratch_->add_computer("PCTOP", site_);
  }
  static void TearDownTestSuite() { delete scratch_; }

  static ScratchOu* scratch_;
  static std::string site_;
};
ScratchOu* ContainerWalk::scratch_ = nullptr;
std::string ContainerWalk::site_;

struct Case {
  const char* station;
  int expected;
  std::string found;  // "" = the found buffer stays untouched
};

TEST_F(ContainerWalk, FindsStationsWhereOneKindOfContainerLeads) {
  const std::string top = "LDAP://" + site_;
  const Case cases[] = {
      {"PCLAB", 1, "LDAP://OU=Lab," + site_},
      {"pclab", 1, "LDAP://OU=Lab," + site_},
      {"PCBOX", 1, "LDAP://CN=Box," + site_},
      {"PCTOP", 1, top},
      {"PCINNER", 2, ""},
      {"PC042", 2, ""},
      {"NOSUCH", 2, ""},
      {"", 2, ""},
      {nullptr, 2, ""},
      {"PCLAB,OU=Lab", 2, ""},
  };
  for (const Case& c : cases) {
    GuardedBuffer found(300), error;
    EXPECT_EQ(TXADIsStationInContainerEx(c.station, top.c_str(), found.data(), found.length(),
                                         error.data(), error.length()),
              c.expected)
        << (c.station ? c.station : "(null)");
    if (c.found.empty()) {
      EXPECT_TRUE(found.untouched()) << (c.station ? c.station : "(null)");
    } else {
      EXPECT_EQ(found.text(), c.found);
    }
    EXPECT_TRUE(error.untouched()) << error.text();
  }
}

TEST_F(ContainerWalk, ChildPathsKeepTheCallersSpellingOfTheParent) {
  std::string lower_dn = site_;
  for (char& ch : lower_dn) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const std::string top = "LDAP://" + lower_dn;
  GuardedBuffer found(300), error;
  EXPECT_EQ(TXADIsStationInContainerEx("PCLAB", top.c_str(), found.data(), found.length(),
                                       error.data(), error.length()),
            1);
  EXPECT_EQ(found.text(), "LDAP://OU=Lab," + lower_dn);
}

TEST_F(ContainerWalk, AServerPartLeavesOnlyTheTopContainersOwnStations) {
  const std::string top = "LDAP://dc1.corp.example.com/" + site_;
  GuardedBuffer found(300), error;
  EXPECT_EQ(TXADIsStationInContainerEx("PCTOP", top.c_str(), found.data(), found.length(),
                                       error.data(), error.length()),
            1);
  EXPECT_EQ(found.text(), top);
  EXPECT_NE(error.text(), "");  // a child's bind failed
  GuardedBuffer found2(300), error2;
  EXPECT_EQ(TXADIsStationInContainerEx("PCLAB", top.c_str(), found2.data(), found2.length(),
                                       error2.data(), error2.length()),
            2);
  EXPECT_TRUE(found2.untouched());
  EXPECT_NE(error2.text(), "");
}

TEST_F(ContainerWalk, ATopContainerThatCannotBeSearchedGivesNoAnswer) {
  const std::string absent = "LDAP://OU=Nowhere," + scratch_->dn();
  GuardedBuffer expected;
  txads::GetADSErrorText(txads::kNoSuchObject, {expected.data(), expected.length()});
  const struct {
    const char* path;
    bool text;
  } cases[] = {{absent.c_str(), true},
               {"LDAP://", false},
               {"", true},
               {nullptr, true},
               {"ldap://OU=Site,DC=corp", true}};
  for (const auto& c : cases) {
    GuardedBuffer found(300), error;
    EXPECT_EQ(TXADIsStationInContainerEx("PCLAB", c.path, found.data(), found.length(),
                                         error.data(), error.length()),
              -1)
        << (c.path ? c.path : "(null)");
    EXPECT_TRUE(found.untouched());
    if (c.text) {
      EXPECT_NE(error.text(), "") << (c.path ? c.path : "(null)");
    }
  }
  GuardedBuffer found(300), error;
  TXADIsStationInContainerEx("PCLAB", absent.c_str(), found.data(), found.length(), error.data(),
                             error.length());
  EXPECT_EQ(error.text(), expected.text());
}

TEST_F(ContainerWalk, AShortFoundBufferIsFilledWithoutWritingPastIt) {
  const std::string top = "LDAP://" + site_;
  for (int length : {0, 1, 10, static_cast<int>(top.size())}) {
    GuardedBuffer found(length), error;
    EXPECT_EQ(TXADIsStationInContainerEx("PCTOP", top.c_str(), found.data(), found.length(),
                                         error.data(), error.length()),
              1);
    EXPECT_EQ(found.text(), top.substr(0, static_cast<size_t>(length)));
    EXPECT_TRUE(found.guards_intact()) << length;
  }
  GuardedBuffer error;
  EXPECT_EQ(
      TXADIsStationInContainerEx("PCTOP", top.c_str(), nullptr, 300, error.data(), error.length()),
      1);
}

TEST_F(ContainerWalk, LongStationNamesAreSearchedWithoutHarm) {
  const std::string top = "LDAP://" + site_;
  const std::string long_name(300, 'Q');
  GuardedBuffer found(300), error;
  EXPECT_EQ(TXADIsStationInContainerEx(long_name.c_str(), top.c_str(), found.data(), found.length(),
                                       error.data(), error.length()),
            2);
  EXPECT_TRUE(found.untouched());
}

}  // namespace
}  // namespace membership_test
