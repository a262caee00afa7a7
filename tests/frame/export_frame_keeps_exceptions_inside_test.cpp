// run_export is the C boundary: the worker's result comes back as it is, and
// any exception (out of memory above all) becomes the export's failure code.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <type_traits>

#include "frame/export_frame.h"

namespace txads {
namespace {

TEST(ExportFrame, ReturnsTheWorkersResult) {
  EXPECT_EQ(run_export(-1, [] { return 2; }), 2);
  EXPECT_EQ(run_export(-1, [] { return -3; }), -3);
}

TEST(ExportFrame, TurnsAnyExceptionIntoTheFailureCode) {
  EXPECT_EQ(run_export(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(run_export(-2, []() -> int { throw std::runtime_error("x"); }), -2);
  EXPECT_EQ(run_export(0, []() -> int { throw 42; }), 0);
}

TEST(ExportFrame, SwallowsExceptionsOfExportsWithoutResult) {
  bool ran = false;
  run_export([&] {
    ran = true;
    throw std::bad_alloc();
  });
  EXPECT_TRUE(ran);
}

TEST(ExportFrame, IsNoexcept) {
  EXPECT_TRUE(noexcept(run_export(-1, [] { return 1; })));
  EXPECT_TRUE(noexcept(run_export([] {})));
}

}  // namespace
}  // namespace txads
