// A dialog whose helper cannot read the directory is not shown: the browser
// returns -1, the picker -1 with the error text of the directory's failure,
// and no helper is left behind. The failures are real ones: no Kerberos
// ticket, and a server address where nothing listens.
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "directory/status_map.h"
#include "frame/error_text.h"
#include "txads.h"
#include "x_session.h"

namespace txads::testing {
namespace {

std::string error_text_of(Status status) {
  char text[256] = {};
  GetADSErrorText(status, {text, static_cast<int>(sizeof text)});
  return text;
}

TEST(DirectoryUnreadable, NeitherDialogIsShownAndThePickerSaysWhy) {
  XSession x;
  ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  TempDir dir;
  struct Case {
    const char* name;
    const char* variable;
    std::string value;
    Status expected;
  };
  const Case cases[] = {
      {"no ticket", "KRB5CCNAME", "FILE:" + dir.path() + "/no-such-cache", kNoLogonSession},
      {"nothing listens", "LDAPURI", "ldap://127.0.0.1:9", kServerDown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnv broken(c.variable, c.value);
    GuardedBuffer path(64);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), path.length()), -1);
    EXPECT_EQ(path.raw(), std::string(64, '#'));

    GuardedBuffer list(64);
    GuardedBuffer error(256);
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
    EXPECT_EQ(list.raw(), std::string(64, '#'));
    EXPECT_EQ(error.text(), error_text_of(c.expected));
    EXPECT_FALSE(error.text().empty());
    EXPECT_TRUE(error.guard_intact());
    EXPECT_TRUE(helper_children(x).empty());
  }
}

}  // namespace
}  // namespace txads::testing
