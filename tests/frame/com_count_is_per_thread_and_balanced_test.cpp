// The per-thread COM count: the first initialisation on a thread gives S_OK,
// a nested one S_FALSE; each ComInit undoes exactly its own on every way out;
// threads never see each other's count.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "frame/com_init.h"

namespace txads {
namespace {

TEST(ComCount, FirstIsOkNestedIsFalse) {
  ASSERT_EQ(com_init_count(), 0);
  {
    ComInit outer;
    EXPECT_EQ(outer.status(), kOk);
    EXPECT_EQ(com_init_count(), 1);
    {
      ComInit inner;
      EXPECT_EQ(inner.status(), kFalse);
      EXPECT_EQ(com_init_count(), 2);
    }
    EXPECT_EQ(com_init_count(), 1);
  }
  EXPECT_EQ(com_init_count(), 0);
  ComInit again;
  EXPECT_EQ(again.status(), kOk) << "after full balance the next one is first again";
}

TEST(ComCount, IsBalancedWhenAnExceptionLeavesTheScope) {
  ASSERT_EQ(com_init_count(), 0);
  try {
    ComInit com;
    ComInit nested;
    throw std::runtime_error("out");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(com_init_count(), 0);
}

TEST(ComCount, IsKeptPerThread) {
  ComInit here;
  ASSERT_EQ(here.status(), kOk);
  Status other_first = kFail;
  Status other_nested = kFail;
  int other_count_after = -1;
  std::thread([&] {
    {
      ComInit first;
      ComInit nested;
      other_first = first.status();
      other_nested = nested.status();
    }
    other_count_after = com_init_count();
  }).join();
  EXPECT_EQ(other_first, kOk);
  EXPECT_EQ(other_nested, kFalse);
  EXPECT_EQ(other_count_after, 0);
  EXPECT_EQ(com_init_count(), 1);
}

TEST(ComCount, PlainCallsPairUpAndNeverGoBelowZero) {
  EXPECT_EQ(CoInitialize(), kOk);
  EXPECT_EQ(CoInitialize(), kFalse);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(com_init_count(), 0);
  CoUninitialize();  // unbalanced: ignored
  EXPECT_EQ(com_init_count(), 0);
  EXPECT_EQ(CoInitialize(), kOk);
  CoUninitialize();
}

}  // namespace
}  // namespace txads
