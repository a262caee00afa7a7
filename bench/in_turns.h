// Two sides timed against each other, taking turns to go first: on a
// machine whose speed drifts, neither side always meets the conditions
// that the other leaves behind.
#pragma once

#include <utility>

namespace txads_bench {

// Runs `a` and `b`, `a` first when `a_first`; their results, `a`'s first.
template <class A, class B>
auto in_turns(bool a_first, A&& a, B&& b) {
  if (a_first) {
    auto from_a = a();
    return std::pair{std::move(from_a), b()};
  }
  auto from_b = b();
  return std::pair{a(), std::move(from_b)};
}

}  // namespace txads_bench
