// A thread's last error, its text, its COM count and its locale (which the
// conversions between caller text and the directory's UTF-8 follow) stay
// with the thread; the parent window and the recursion flag hold for every
// thread; no exception leaves an export.
#include <gtest/gtest.h>

#include <locale.h>

#include <new>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/last_error.h"
#include "frame/library_values.h"
#include "frame/system_messages.h"
#include "txads.h"

namespace txads {
namespace {

TEST(LastErrorAndComCount, BelongToTheCallingThread) {
  SetLastError(5);
  EXPECT_EQ(GetLastErrorText(), system_message(5));
  ComInit outer;
  EXPECT_EQ(outer.status(), kOk);
  EXPECT_EQ(ComInit().status(), kFalse) << "nested";
  std::tuple<uint32_t, std::string, Status> other{99, "unset", kFail};
  std::thread([&] {
    other = std::make_tuple(GetLastError(), GetLastErrorText(), ComInit().status());
    SetLastError(1332);
  }).join();
  EXPECT_EQ(other, std::make_tuple(0u, std::string(), kOk)) << "no error, no text, a first COM";
  EXPECT_EQ(GetLastError(), 5u);
  SetLastError(0xFFFF);
  EXPECT_EQ(GetLastErrorText(), "") << "a code without text";
}

TEST(LibraryValues, SetOnOneThreadHoldOnAnother) {
  for (const auto& [flag, on] : std::initializer_list<std::pair<int, bool>>{
           {5, true}, {0, false}, {-3, true}, {1, true}, {0, false}}) {
    std::thread([flag = flag] { TXADSetRecursFlag(flag); }).join();
    EXPECT_EQ(recursion_enabled(), on) << flag;
  }
  const HWND window = reinterpret_cast<HWND>(uintptr_t{0x3a00007});
  std::thread([&] { EXPECT_EQ(TXADInit(window), 1); }).join();
  EXPECT_EQ(parent_window.load(), window);
  EXPECT_EQ(TXADInit(nullptr), 1);
  EXPECT_EQ(parent_window.load(), nullptr);
}

TEST(ExportFrame, TurnsAnyExceptionIntoTheFailureCode) {
  EXPECT_EQ(run_export(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(run_export(0, []() -> int { throw 42; }), 0);
}

const std::string kUtf8 = "M\u00FCller", kLatin1 = "M\xFCller", kEuro = "\u20AC5";

TEST(Conversions, FollowTheThreadsCodeSet) {
  const struct {
    std::string locale, caller;
    std::optional<std::string> to_directory;  // nullopt: refused
    std::string directory, from_directory;
  } rows[] = {
      // clang-format off
      {"de_DE.ISO-8859-1", kLatin1, kUtf8, kUtf8, kLatin1},
      {"de_DE.ISO-8859-1", "CN=Ann", "CN=Ann", kUtf8 + kEuro, kLatin1 + "?5"},
      {"de_DE.ISO-8859-1", "", "", "a\xFF" "b", "a?b"},  // broken UTF-8 from the directory
      {"C.UTF-8", kUtf8, kUtf8, kUtf8 + kEuro, kUtf8 + kEuro},
      {"C.UTF-8", kLatin1, std::nullopt, "", ""},      // a lone 0xFC is no UTF-8
      {"C.UTF-8", "\xC3", std::nullopt, "CN=Ann", "CN=Ann"},
      {"C", "CN=Ann,OU=Staff", "CN=Ann,OU=Staff", "CN=Ann", "CN=Ann"},
      // clang-format on
  };
  for (const auto& row : rows) {  // the locales are made by scripts/install-deps
    const locale_t loc = newlocale(LC_CTYPE_MASK, row.locale.c_str(), locale_t{});
    ASSERT_NE(loc, locale_t{}) << row.locale;
    const locale_t previous = uselocale(loc);
    EXPECT_EQ(to_directory(row.caller.c_str()), row.to_directory) << row.locale << row.caller;
    EXPECT_EQ(from_directory(row.directory), row.from_directory) << row.locale << row.directory;
    uselocale(previous);
    freelocale(loc);
  }
  EXPECT_EQ(to_directory(nullptr), std::nullopt);
}

}  // namespace
}  // namespace txads
