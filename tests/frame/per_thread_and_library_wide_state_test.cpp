// What belongs to the calling thread (its last error and that error's text,
// its COM count) stays with it; what is library-wide (parent window,
// recursion flag) holds for every thread; no exception leaves an export.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <thread>

#include "frame/com_init.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/last_error.h"
#include "frame/library_values.h"
#include "frame/system_messages.h"
#include "txads.h"

namespace txads {
namespace {

TEST(LastError, AndItsTextBelongToTheCallingThread) {
  SetLastError(5);
  EXPECT_EQ(GetLastErrorText(), system_message(5));
  uint32_t other_error = 99;
  std::string other_text = "unset";
  std::thread([&] {
    other_error = GetLastError();
    other_text = GetLastErrorText();
    SetLastError(1332);
  }).join();
  EXPECT_EQ(other_error, 0u);
  EXPECT_EQ(other_text, "");
  EXPECT_EQ(GetLastError(), 5u);
  SetLastError(0xFFFF);
  EXPECT_EQ(GetLastErrorText(), "") << "a code without text";
}

TEST(ComCount, IsOkFirstFalseNestedBalancedAndPerThread) {
  {
    ComInit outer;
    EXPECT_EQ(outer.status(), kOk);
    EXPECT_EQ(ComInit().status(), kFalse);
    Status other = kFail;
    std::thread([&] { other = ComInit().status(); }).join();
    EXPECT_EQ(other, kOk) << "another thread's first";
    try {
      ComInit nested;
      throw std::runtime_error("out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(com_init_count(), 1);
  }
  EXPECT_EQ(com_init_count(), 0);
  CoUninitialize();  // unbalanced: ignored
  EXPECT_EQ(ComInit().status(), kOk);
}

TEST(LibraryValues, SetOnOneThreadHoldOnAnother) {
  const struct {
    int flag;
    bool on;
  } rows[] = {{5, true}, {0, false}, {-3, true}, {1, true}, {0, false}};
  for (const auto& row : rows) {
    std::thread([&] { TXADSetRecursFlag(row.flag); }).join();
    EXPECT_EQ(recursion_enabled(), row.on) << row.flag;
  }
  const HWND window = reinterpret_cast<HWND>(uintptr_t{0x3a00007});
  std::thread([&] { EXPECT_EQ(TXADInit(window), 1); }).join();
  EXPECT_EQ(parent_window.load(), window);
  EXPECT_EQ(TXADInit(nullptr), 1);
  EXPECT_EQ(parent_window.load(), nullptr);
}

TEST(ExportFrame, TurnsAnyExceptionIntoTheFailureCode) {
  EXPECT_EQ(run_export(-1, [] { return 2; }), 2);
  EXPECT_EQ(run_export(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(run_export(0, []() -> int { throw 42; }), 0);
}

}  // namespace
}  // namespace txads
