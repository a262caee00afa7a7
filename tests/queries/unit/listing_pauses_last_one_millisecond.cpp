// The pause after each listed element, and the thread setting it borrows.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <chrono>

#include "frame/pause.h"

namespace txads::queries {
namespace {

TEST(ListingPausesLastOneMillisecond, EveryPauseLastsAtLeastOneMillisecond) {
  PreciseTimers precise;
  for (int i = 0; i < 50; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pause_one_millisecond();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1));
  }
}

TEST(ListingPausesLastOneMillisecond, ThreadTimerSlackIsRestoredAfterTheListing) {
  ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 70000UL, 0, 0, 0), 0);
  {
    PreciseTimers precise;
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), 1);
  }
  EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), 70000);
}

}  // namespace
}  // namespace txads::queries
