// TXADInit and TXADSetRecursFlag store their argument unchanged; any non-zero
// recursion flag switches recursion on, and the values hold for every thread.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <thread>

#include "frame/library_values.h"
#include "txads.h"

namespace txads {
namespace {

TEST(RecursionFlag, IsStoredUnchanged) {
  for (int flag : {5, 1, 0, -1, INT_MAX, INT_MIN}) {
    TXADSetRecursFlag(flag);
    EXPECT_EQ(recursion_flag.load(), flag);
  }
  TXADSetRecursFlag(0);
}

TEST(RecursionFlag, FiveSwitchesRecursionOnLikeOne) {
  struct Case {
    int flag;
    bool on;
  };
  for (const Case c :
       {Case{5, true}, Case{0, false}, Case{1, true}, Case{-3, true}, Case{0, false}}) {
    TXADSetRecursFlag(c.flag);
    EXPECT_EQ(recursion_enabled(), c.on) << c.flag;
  }
}

TEST(RecursionFlag, SetOnOneThreadHoldsOnAnother) {
  TXADSetRecursFlag(7);
  bool seen_on = false;
  std::thread([&] { seen_on = recursion_enabled(); }).join();
  EXPECT_TRUE(seen_on);
  std::thread([] { TXADSetRecursFlag(0); }).join();
  EXPECT_FALSE(recursion_enabled());
}

TEST(ParentWindow, IsStoredAndReplacedByEveryInit) {
  const HWND first = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x3a00007));
  const HWND second = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4c00012));
  EXPECT_EQ(TXADInit(first), 1);
  EXPECT_EQ(parent_window.load(), first);
  EXPECT_EQ(TXADInit(second), 1);
  EXPECT_EQ(parent_window.load(), second);
  EXPECT_EQ(TXADInit(nullptr), 1);
  EXPECT_EQ(parent_window.load(), nullptr);
}

}  // namespace
}  // namespace txads
