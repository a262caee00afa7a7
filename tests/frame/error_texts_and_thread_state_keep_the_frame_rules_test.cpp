// The frame's own routines. An error text is the ADS error name, else the system text
// of a facility-7 code (at most 299 characters, none with an insert; every code a
// directory failure maps to has one), else "%X",
// zero-filled and cut to length - 1 (other lengths and null buffers: domain/). A
// thread's last error, COM count and locale (which the conversions to and from the
// directory's UTF-8 follow) stay with it; the parent window and recursion flag hold
// for every thread; no exception leaves an export.
#include <gtest/gtest.h>

#include <locale.h>

#include <chrono>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "directory/status_map.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/last_error.h"
#include "frame/library_values.h"
#include "frame/pause.h"
#include "frame/system_messages.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace txads {
namespace {

const std::string kDenied = system_message(5);  // ends in a line break, kept
const std::string kLong = std::string(400, 'x') + "\n";

// The system texts, through the lookup's test seam: one of the table's and
// three it cannot have (too long, with an insert, with a bare percent sign).
const char* injected(uint32_t code) {
  if (code == 5) return kDenied.c_str();
  if (code == 0x1111) return kLong.c_str();
  if (code == 0x2222) return "The object %1 cannot be found.\n";
  return code == 0x3333 ? "Done at 100% of the quota.\n" : "";
}

TEST(ErrorText, IsTheTableNameTheSystemTextOrHexadecimalCutToTheLengthLessOne) {
  const struct {
    uint32_t code;
    std::string text;  // before the zero fill
    int length = 64;
  } rows[] = {// clang-format off
      {0x80005000, "E_ADS_BAD_PATHNAME"},           {0x80005001, "E_ADS_INVALID_DOMAIN_OBJECT"},
      {0x80005002, "E_ADS_INVALID_USER_OBJECT"},    {0x80005003, "E_ADS_INVALID_COMPUTER_OBJECT"},
      {0x80005004, "E_ADS_UNKNOWN_OBJECT"},         {0x80005005, "E_ADS_PROPERTY_NOT_SET"},
      {0x80005006, "E_ADS_PROPERTY_NOT_SUPPORTED"}, {0x80005007, "E_ADS_PROPERTY_INVALID"},
      {0x80005008, "E_ADS_BAD_PARAMETER"},          {0x80005009, "E_ADS_OBJECT_UNBOUND"},
      {0x8000500A, "E_ADS_PROPERTY_NOT_MODIFIED"},  {0x8000500B, "E_ADS_PROPERTY_MODIFIED"},
      {0x8000500C, "E_ADS_CANT_CONVERT_DATATYPE"},  {0x8000500D, "E_ADS_PROPERTY_NOT_FOUND"},
      {0x8000500E, "E_ADS_OBJECT_EXISTS"},          {0x8000500F, "E_ADS_SCHEMA_VIOLATION"},
      {0x80005010, "E_ADS_COLUMN_NOT_SET"},         {0x80005014, "E_ADS_INVALID_FILTER"},
      {0x00005011, "S_ADS_ERRORSOCCURRED"},         {0x00005012, "S_ADS_NOMORE_ROWS"},
      {0x00005013, "S_ADS_NOMORE_COLUMNS"},
      // outside the table (only the success forms of 0x80005011 to 13 have rows)
      {0x80005012, "80005012"}, {0x80005015, "80005015"}, {0x00005000, "5000"},
      {0x80004005, "80004005"}, {0x00000000, "0"},        {0x80060005, "80060005"},
      {0x80070005, kDenied},    {0x00070005, kDenied},    {0x8007FFFF, ""},  // no text
      // at most 299 characters of a system text, none with an insert
      {0x80071111, std::string(299, 'x'), 512}, {0x80071111, std::string(99, 'x'), 100},
      {0x80072222, ""},                         {0x80073333, "Done at 100% of the quota.\n"},
      // cut to the length less one
      {0x80005000, "E_ADS_BAD_PATHNAME", 19}, {0x80005000, "E_ADS_BAD_PATHNAM", 18},
      {0x80005000, "E_ADS_BAD", 10},          {0x80005000, "", 1},
      {0x80004005, "8000", 5},                {0x80070005, kDenied.substr(0, 7), 8}};
  // clang-format on
  ASSERT_NE(kDenied, "");
  const auto previous = testing::replace_system_messages(&injected);
  for (const auto& row : rows) {
    txads_test::GuardedBuffer buffer(row.length);
    GetADSErrorText(Status(row.code), {buffer.data(), row.length});
    EXPECT_TRUE(buffer.guards_intact());
    EXPECT_EQ(buffer.raw(), row.text + std::string(size_t(row.length) - row.text.size(), '\0'))
        << std::hex << row.code << std::dec << " length " << row.length;
  }
  testing::replace_system_messages(previous);
}

TEST(SystemMessages, FindEveryTextOfTheirTable) {  // by binary search: the table must be sorted
  for (const SystemMessage* m = system_messages_begin(); m != system_messages_end(); ++m)
    EXPECT_STREQ(system_message(m->code), m->text) << m->code;
}

// A directory failure never reaches a caller as -1 with an empty error
// buffer: every LDAP result, the server's or libldap's own, maps to a code
// with a text (all rows and the default lie in this range).
TEST(SystemMessages, HaveATextForEveryMappedDirectoryFailure) {
  for (int ldap = -128; ldap < 256; ++ldap) {
    const Status status = directory::status_from_ldap(ldap);
    EXPECT_TRUE(status.ok() || *system_message(status.bits()) != '\0')
        << "LDAP result " << ldap << ": 0x" << std::hex << status.bits();
  }
}

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

// The call clock, which bounds a call's waits, runs from the outermost export
// on and leaves out the library's pauses (a long listing's 1 ms paces).
TEST(ExportFrame, TimesTheOutermostCallWithoutItsPauses) {
  EXPECT_FALSE(in_call());
  run_export([] {
    const uint64_t serial = call_serial();
    for (int i = 0; i < 50; ++i) pause_one_millisecond();
    run_export([&] { EXPECT_EQ(call_serial(), serial); });
    EXPECT_LT(call_elapsed(), std::chrono::milliseconds(40));
  });
  EXPECT_FALSE(in_call());
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
