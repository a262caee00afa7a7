// What the library asks of the helper: the browser gets the caller's caption
// and title (a null one is left out, so the dialog keeps its own) and never an
// owner window; the picker gets the window given to TXADInit as its owner.
// The helper is a script that records the request and cancels.
#include <gtest/gtest.h>

#include <locale.h>

#include <cstdint>
#include <fstream>
#include <sstream>

#include "dialog_test_support.h"
#include "dialogs/helper_process.h"
#include "fake_helpers.h"
#include "txads.h"

namespace txads::testing {
namespace {

class RecordedRequest {
 public:
  RecordedRequest()
      : record_(dir_.path() + "/request"),
        helper_(dialogs::kHelperOverride,
                write_script(dir_, "helper",
                             kRecordRequest + "\nprintf '" + kCancelledReply + "' >&3")),
        record_env_("TXADS_TEST_RECORD", record_),
        display_("DISPLAY", ":77") {}

  std::string text() const {
    std::ifstream in(record_);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

 private:
  TempDir dir_;
  std::string record_;
  ScopedEnv helper_;
  ScopedEnv record_env_;
  ScopedEnv display_;
};

TEST(BrowserRequest, CarriesCaptionAndTitleAndNoOwnerEvenAfterInit) {
  struct Case {
    const char* caption;
    const char* title;
    const char* request;
  };
  const Case cases[] = {
      {"Choose", "Where should it go?",
       "TXADS-DIALOG 1\ndialog container-browser\ncaption Choose\ntitle Where should it "
       "go?\nend\n"},
      {nullptr, "Only a title",
       "TXADS-DIALOG 1\ndialog container-browser\ntitle Only a title\nend\n"},
      {"Only a caption", nullptr,
       "TXADS-DIALOG 1\ndialog container-browser\ncaption Only a caption\nend\n"},
      {nullptr, nullptr, "TXADS-DIALOG 1\ndialog container-browser\nend\n"},
      {"", "", "TXADS-DIALOG 1\ndialog container-browser\ncaption \ntitle \nend\n"},
      {"two\nlines", "back\\slash",
       "TXADS-DIALOG 1\ndialog container-browser\ncaption two\\nlines\ntitle back\\\\slash\nend\n"},
  };
  EXPECT_EQ(TXADInit(reinterpret_cast<HWND>(uintptr_t{0x2c00004})), 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    RecordedRequest recorded;
    char path[8] = {};
    EXPECT_EQ(TXADGetContainer(c.caption, c.title, path, sizeof path), 2);
    EXPECT_EQ(recorded.text(), c.request);
  }
  EXPECT_EQ(TXADInit(nullptr), 1);
}

TEST(BrowserRequest, ConvertsTheCallersCodeSetAndDropsTextThatIsNotValid) {
  RecordedRequest recorded;
  char path[8] = {};
  // In the "C" locale bytes pass as UTF-8; an invalid sequence is no text.
  EXPECT_EQ(TXADGetContainer("ok", "\xFF\xFE", path, sizeof path), 2);
  EXPECT_EQ(recorded.text(), "TXADS-DIALOG 1\ndialog container-browser\ncaption ok\nend\n");

  locale_t latin1 = newlocale(LC_ALL_MASK, "de_DE.ISO-8859-1", nullptr);
  if (latin1 == nullptr) GTEST_SKIP() << "locale de_DE.ISO-8859-1 is not installed";
  RecordedRequest converted;
  const locale_t previous = uselocale(latin1);
  EXPECT_EQ(TXADGetContainer("W\xE4hlen", "B\xFCro", path, sizeof path), 2);
  uselocale(previous);
  freelocale(latin1);
  EXPECT_EQ(converted.text(),
            "TXADS-DIALOG 1\ndialog container-browser\ncaption W\xC3\xA4hlen\ntitle "
            "B\xC3\xBCro\nend\n");
}

TEST(PickerRequest, IsOwnedByTheWindowGivenToInit) {
  struct Case {
    uintptr_t window;
    const char* request;
  };
  const Case cases[] = {
      {0, "TXADS-DIALOG 1\ndialog group-picker\nend\n"},
      {0x2c00004, "TXADS-DIALOG 1\ndialog group-picker\nowner 0x2C00004\nend\n"},
      {0x123456789ab, "TXADS-DIALOG 1\ndialog group-picker\nowner 0x123456789AB\nend\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window);
    EXPECT_EQ(TXADInit(reinterpret_cast<HWND>(c.window)), 1);
    RecordedRequest recorded;
    char list[8] = {};
    char error[8] = {};
    EXPECT_EQ(TXADGetGroups(list, sizeof list, error, sizeof error), -1);
    EXPECT_EQ(recorded.text(), c.request);
  }
  EXPECT_EQ(TXADInit(nullptr), 1);
}

}  // namespace
}  // namespace txads::testing
